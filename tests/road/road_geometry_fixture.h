#pragma once
#include <vector>

#include "road/base_ctrl.h"
#include "road/road_section.h"
#include "road_fixture.h"

// A map controller that counts what its render slots tell it.
class counting_ctrl_e : public base_ctrl_e {
public:
    void on_segment_built(int32_t edge) override { built.push_back(edge); }
    void on_segment_freed(int32_t edge) override { freed.push_back(edge); }
    void on_instance_placed(board_instance_t& board) override
    {
        base_ctrl_e::on_instance_placed(board);
        placed_boards.push_back(board.sign);
    }
    void on_instance_removed(board_instance_t& board) override
    {
        base_ctrl_e::on_instance_removed(board);
        removed_boards.push_back(board.sign);
    }
    std::vector<int32_t> built;
    std::vector<int32_t> freed;
    // The sign records of the boards placed and removed, in order.
    std::vector<int32_t> placed_boards;
    std::vector<int32_t> removed_boards;
};

// A road test with a controller of a few render slots, a segment server holding one flat road
// definition (800 wide, 1000 long, its collision piece the same quad) and helpers to lay edges.
class road_geometry_test_t : public road_test_t {
protected:
    // Half the road's width and the definition's length.
    static constexpr float half_width = 400.0f;
    static constexpr float def_length = 1000.0f;

    void SetUp() override
    {
        road_test_t::SetUp();
        ctrl.segment_slot_count = 4;
        ctrl.seg_server = new seg_server_t;
        ASSERT_EQ(ctrl.init(-10), 0);
        ASSERT_EQ(ctrl.init(0), 0);
        add_flat_road_def();
    }

    void TearDown() override
    {
        ctrl.destroy(0);
        ctrl.destroy(10);
        road_test_t::TearDown();
    }

    // A flat quad across the road from t 0 to t 1, as a model part: two triangles of surface word 7.
    struct flat_quad_t {
        const vec3_t positions[4] = {{-half_width, 0.0f, 0.0f},
                                     {half_width, 0.0f, 0.0f},
                                     {-half_width, 0.0f, def_length},
                                     {half_width, 0.0f, def_length}};
        const float uvs[8] = {0, 0, 1, 0, 0, 1, 1, 1};
        const uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
        const uint16_t words[2] = {7, 7};

        // The part named `name` over this quad's arrays (valid while the quad lives).
        psm_part_t part(const char* name) const
        {
            psm_part_t out{};
            out.name = name;
            out.vertex_count = 4;
            out.positions = positions;
            out.uvs = uvs;
            out.index_count = 6;
            out.indices = indices;
            out.triangle_words = words;
            return out;
        }
    };

    // The flat quad imported as the road readers import a model.
    void add_flat_road_def()
    {
        const flat_quad_t quad;
        const psm_part_t part = quad.part("road");
        road_def_t def;
        def.part_count = 1;
        ASSERT_TRUE(
            road_section_import(part, {false, true, false, true, true, false, 0.0f}, def.parts[0], "flat", "road"));
        ASSERT_TRUE(
            road_section_import(part, {false, false, true, true, true, false, 0.0f}, def.collision, "flat", "coll"));
        def.bytes = def.parts[0].bytes() + def.collision.bytes();
        ctrl.seg_server->road_defs.push_back(def);
    }

    // Railing 0: a barrier 80 high standing on the road's edge, with begin and end pieces of the same
    // shape; render and collision pieces alike.
    void add_railing()
    {
        const vec3_t positions[4] = {{0, 0, 0}, {0, 80, 0}, {0, 0, def_length}, {0, 80, def_length}};
        const vec3_t normals[4] = {{-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}};
        const float uvs[8] = {0, 0, 1, 0, 0, 1, 1, 1};
        const uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
        psm_part_t part{};
        part.name = "rail";
        part.vertex_count = 4;
        part.positions = positions;
        part.normals = normals;
        part.uvs = uvs;
        part.index_count = 6;
        part.indices = indices;
        railing_def_t railing;
        for (int32_t piece = 0; piece < railing_pieces; ++piece) {
            ASSERT_TRUE(road_section_import(part, {true, true, false, false, true, true, 0.0f}, railing.render[piece],
                                            "rail", "rail"));
            ASSERT_TRUE(road_section_import(part, {false, false, false, false, true, false, 0.0f},
                                            railing.collision[piece], "rail", "rail"));
        }
        railing.max_v = 1.0f;
        ctrl.seg_server->railings.push_back(railing);
    }

    // A node at `position` heading along `direction`.
    int32_t node(const vec3_t& position, const vec3_t& direction)
    {
        const int32_t index = ctrl.add_node(position);
        ctrl.nodes[index].direction = direction;
        return index;
    }

    // A straight Road edge from `from` to `to` along -z or wherever they lie, with strips of
    // `first_width` and `second_width` cells; linked to its nodes.
    int32_t road_edge(const vec3_t& from, const vec3_t& to, int32_t first_width = 2, int32_t second_width = 3)
    {
        const vec3_t direction = (to - from).normalized();
        const int32_t start = node(from, direction);
        const int32_t end = node(to, direction);
        const int32_t index = ctrl.add_edge();
        map_edge_t& edge = ctrl.edges[index];
        edge.kind = map_edge_road;
        edge.definition = 0;
        edge.road_type = -1;
        edge.segment_slot = -1;
        edge.nodes[0] = start;
        edge.nodes[1] = end;
        edge.nodes[2] = edge.nodes[3] = -1;
        for (map_edge_side_t& side : edge.sides)
            side = map_edge_side_t{-1, -1, -1, -1, 0, 1.0f, -1};
        edge.sides[0].strip_width = first_width;
        edge.sides[1].strip_width = second_width;
        edge.flags = 2u << 4 | 2u << 8;  // no terrain noise: heights are the profiles' alone
        edge.centre_word = -1;
        edge.length = (to - from).length();
        edge.sign = edge.stamp = edge.semaphore = -1;
        edge.bounds.set_empty();
        const float reach = half_width + 400.0f * 8;
        const float low[3] = {std::min(from.x, to.x) - reach, std::min(from.y, to.y) - reach,
                              std::min(from.z, to.z) - reach};
        const float high[3] = {std::max(from.x, to.x) + reach, std::max(from.y, to.y) + reach,
                               std::max(from.z, to.z) + reach};
        edge.bounds.add_box(low, high);
        ctrl.nodes[start].links[1] = index;
        ctrl.nodes[end].links[0] = index;
        return index;
    }

    // A five-axis box around `centre` reaching `reach` on every side.
    static cd_bounds_t box_at(const vec3_t& centre, float reach)
    {
        const float low[3] = {centre.x - reach, centre.y - reach, centre.z - reach};
        const float high[3] = {centre.x + reach, centre.y + reach, centre.z + reach};
        cd_bounds_t box;
        box.set_empty();
        box.add_box(low, high);
        return box;
    }

    counting_ctrl_e ctrl;
};
