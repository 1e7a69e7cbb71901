#include "road/aux_segment.h"

#include "engine/cache.h"
#include "engine/gfx_record.h"
#include "road_geometry_fixture.h"

namespace {

class aux_segment_test : public road_geometry_test_t {
protected:
    // A wall 300 high and 500 long as aux model 0, and an aux edge from `from` to `to` along it.
    void SetUp() override
    {
        road_geometry_test_t::SetUp();
        const vec3_t positions[4] = {{0, 0, 0}, {0, 300, 0}, {0, 0, 500}, {0, 300, 500}};
        const vec3_t normals[4] = {{1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}};
        const float uvs[8] = {0, 0, 1, 0, 0, 1, 1, 1};
        const uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
        psm_part_t part{};
        part.name = "wall";
        part.vertex_count = 4;
        part.positions = positions;
        part.normals = normals;
        part.uvs = uvs;
        part.index_count = 6;
        part.indices = indices;
        aux_model_t model;
        ASSERT_TRUE(
            road_section_import(part, {true, true, false, false, true, true, 0.0f}, model.part, "wall", "wall"));
        ctrl.seg_server->aux_models.push_back(model);
    }

    map_aux_edge_t aux_edge(const vec3_t& from, const vec3_t& to, const int32_t model = 0)
    {
        map_aux_edge_t edge{};
        edge.model = model;
        edge.material = -1;
        edge.nodes[0] = ctrl.add_aux_node(from);
        edge.nodes[1] = ctrl.add_aux_node(to);
        const vec3_t direction = (to - from).normalized();
        ctrl.aux_nodes[edge.nodes[0]].vector = direction;
        ctrl.aux_nodes[edge.nodes[1]].vector = direction;
        edge.length = (to - from).length();
        return edge;
    }
};

TEST_F(aux_segment_test, an_aux_edge_is_swept_in_pieces_ending_on_its_second_node)
{
    aux_segment_t slot;
    ASSERT_TRUE(slot.build(ctrl, aux_edge({0, 0, 0}, {0, 0, -1200})));
    // 1200 / 500 gives three pieces: four vertices, then two more per piece.
    EXPECT_EQ(slot.vertex_count, 4 + 2 * 2);
    EXPECT_EQ(slot.index_count, 6 * 3);
    float last = 0.0f;
    for (int32_t v = 0; v < slot.vertex_count; ++v)
        last = std::min(last, slot.positions[v].z);
    EXPECT_FLOAT_EQ(last, -1200.0f);
    EXPECT_EQ(slot.centre, vec3_t(0, 0, -600));
    slot.release(ctrl);
    EXPECT_EQ(ctrl.segment_blocks.live(), 0u);
}

TEST_F(aux_segment_test, edges_without_a_model_or_a_length_or_room_get_no_mesh)
{
    aux_segment_t slot;
    EXPECT_FALSE(slot.build(ctrl, aux_edge({0, 0, 0}, {0, 0, -1000}, -1)));
    map_aux_edge_t empty = aux_edge({0, 0, 0}, {0, 0, -1000});
    empty.length = 0.0f;
    EXPECT_FALSE(slot.build(ctrl, empty));
    // 2000 pieces would need 2 x (16 x 4002 + 12000) bytes: more than one block.
    EXPECT_FALSE(slot.build(ctrl, aux_edge({0, 0, 0}, {0, 0, -1000000})));
    ctrl.seg_server->aux_models[0].part.length = 0.0f;
    EXPECT_FALSE(slot.build(ctrl, aux_edge({0, 0, 0}, {0, 0, -1000})));
    EXPECT_EQ(slot.vertex_count, 0);
    EXPECT_EQ(ctrl.segment_blocks.live(), 0u);
}

// A material given as a lone shader is lit: its mesh carries the wall's normals turned along the edge
// and is shaded by the world's light; one with further fields is drawn without normals or light.
TEST_F(aux_segment_test, a_lit_material_sends_turned_normals_and_the_light_an_unlit_one_neither)
{
    seg_fallback_array_t<seg_flagged_shader_t>& materials = ctrl.seg_server->aux_shaders;
    materials.reset(2);
    materials[-1].flag = 1;
    materials[0].flag = 1;
    materials[1].flag = 0;
    r_light_t light;
    c_item_t item{};
    item.object = &light;
    const std::vector<c_item_t*> lights{&item};
    struct case_t {
        int32_t material;
        bool lit;
    };
    for (const case_t c : {case_t{0, true}, case_t{1, false}}) {
        SCOPED_TRACE(c.material);
        aux_segment_t slot;
        // Along +X, so the wall's normal (1, 0, 0) of a piece heading -Z turns to face -Z or +Z.
        map_aux_edge_t edge = aux_edge({0, 0, 0}, {1000, 0, 0});
        edge.material = c.material;
        ASSERT_TRUE(slot.build(ctrl, edge));
        EXPECT_EQ(slot.lit, c.lit);
        const size_t before = gfx_record_current().protos.size();
        slot.draw(&lights);
        const std::vector<gfx_recorded_proto_t>& protos = gfx_record_current().protos;
        ASSERT_EQ(protos.size(), before + 1);
        const gfx_recorded_proto_t& drawn = protos.back();
        EXPECT_EQ(drawn.vertex_declaration, "aux_segment_vpd_vertex");
        EXPECT_EQ(drawn.lit_by_light, c.lit);
        EXPECT_EQ(drawn.geometry.normals.empty(), !c.lit);
        if (c.lit) {
            ASSERT_EQ(drawn.geometry.normals.size(), static_cast<size_t>(3 * slot.vertex_count));
            EXPECT_NEAR(std::fabs(drawn.geometry.normals[2]), 1.0f, 1e-5f);
        }
        slot.release(ctrl);
    }
}

}  // namespace
