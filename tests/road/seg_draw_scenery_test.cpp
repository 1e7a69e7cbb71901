#include <cmath>
#include <vector>

#include "engine/gfx_record.h"
#include "engine/psm_record.h"
#include "common/engine_api.h"
#include "physics/cd_geo_box.h"
#include "physics/cd_geo_mesh.h"
#include "physics/phys_body.h"
#include "road/polygon_clip.h"
#include "road/road_network.h"
#include "road/seg_server.h"
#include "seg_fixture.h"

namespace {

// A model of two drawn parts and a collision part.
constexpr const char* two_part_model = R"(psm 1
part walls { positions { 0 0 0 1 0 0 0 1 0 } indices { 0 1 2 } }
part zcoll { positions { 0 0 0 1 0 0 0 1 0 } indices { 0 1 2 } }
part roof { positions { 0 1 0 1 1 0 0 2 0 } indices { 0 1 2 } }
)";

// A server holding, by hand, a two-part model for buildings, free items and signs, with a day and a
// night shader for each of its parts.
class seg_scenery_draw_test : public seg_test_t {
protected:
    void SetUp() override
    {
        seg_test_t::SetUp();
        write_data_file("models/two.psm", two_part_model);
        for (const char* path :
             {"/shaders/day0.shd", "/shaders/night0.shd", "/shaders/day1.shd", "/shaders/night1.shd"})
            shaders.push_back(seg_shader_take(path));
        const seg_shader_pair_t pairs[2] = {{shaders[0], shaders[1]}, {shaders[2], shaders[3]}};
        server.cityblock_models.push_back({load(), 1000});
        server.cityblock_shaders.assign(pairs, pairs + 2);
        cityblock_look_t look;
        look.kind_count = 1;
        look.kinds[0].model = 0;
        look.kinds[0].shaders[0] = 0;
        look.kinds[0].shaders[1] = 1;
        look.kinds[0].weight = 1.0f;
        server.cityblock_looks.push_back(look);
        server.freeitem_models.resize(1);
        server.freeitem_models[0].model = load();
        server.freeitem_shaders.assign(pairs, pairs + 2);
        freeitem_look_t item_look;
        item_look.model_count = 2;
        item_look.models[0] = 0;
        item_look.models[1] = 1;
        server.freeitem_looks.push_back(item_look);
    }
    void TearDown() override
    {
        server.unload();
        for (seg_shader_t& shader : shaders)
            seg_shader_give_back(shader);
        seg_test_t::TearDown();
    }
    psm_t* load() { return api::psm_alloc("/models/two.psm", 0, 0, 0); }
    // The shaders the parts were drawn with since the last clear, in order.
    static std::vector<const void*> drawn_shaders()
    {
        std::vector<const void*> out;
        for (const psm_draw_record_t& record : psm_draw_records())
            out.push_back(record.shader);
        return out;
    }

    seg_server_t server;
    std::vector<seg_shader_t> shaders;
};

TEST_F(seg_scenery_draw_test, city_blocks_draw_their_ground_and_their_stretched_buildings_by_day_and_night)
{
    road_network_t network;
    map_cityblock_t& block = network.cityblocks[network.add_cityblock()];
    block.point_count = 4;
    const vec3_t corners[4] = {{0, 0, 0}, {3000, 0, 0}, {3000, 0, 3000}, {0, 0, 3000}};
    for (int i = 0; i < 4; ++i)
        block.points[i] = corners[i];
    block.shader = -1;
    city_block_instance_t* built = server.acquire_city_block(0, block);
    ASSERT_EQ(built->building_count, 1);
    built->stretch[0] = 2.5f;

    psm_clear_draw_records();
    server.draw_lights(network.cityblocks, false);
    const gfx_frame_record_t& frame = gfx_record_current();
    ASSERT_EQ(frame.data.size(), 1u);
    EXPECT_EQ(frame.data[0].primitive, gfx_triangle_fan);
    EXPECT_EQ(frame.data[0].geometry.vertex_count(), 4);
    EXPECT_EQ(drawn_shaders(), (std::vector<const void*>{shaders[0].shader, shaders[2].shader}));
    // The stretch lengthens the building along its model's z axis, whatever its turn.
    const float* world = psm_draw_records()[0].world;
    EXPECT_NEAR(std::sqrt(world[2] * world[2] + world[6] * world[6] + world[10] * world[10]), 2.5f, 1e-4f);
    EXPECT_NEAR(std::sqrt(world[0] * world[0] + world[4] * world[4] + world[8] * world[8]), 1.0f, 1e-4f);

    psm_clear_draw_records();
    server.draw_lights(network.cityblocks, true);
    EXPECT_EQ(drawn_shaders(), (std::vector<const void*>{shaders[1].shader, shaders[3].shader}));
    server.release_city_block(block);
}

TEST_F(seg_scenery_draw_test, movers_and_shown_free_items_take_their_looks_shaders)
{
    quat_t none;
    const uint32_t handle = server.add_mover(0, 0);
    server.place_mover(handle, {10, 0, 0}, none);
    psm_clear_draw_records();
    server.draw_objects(true);
    EXPECT_EQ(drawn_shaders(), (std::vector<const void*>{shaders[1].shader, shaders[3].shader}));
    EXPECT_FLOAT_EQ(psm_draw_records()[0].world[3], 10.0f);
    server.remove_mover(handle);
    EXPECT_EQ(server.mover_of(handle), nullptr);

    road_network_t network;
    for (int i = 0; i < 2; ++i) {
        map_freeitem_t& item = network.freeitems[network.add_freeitem()];
        item.model = 0;
        item.look = 0;
        item.position = {0, 0, -500.0f * static_cast<float>(i + 1)};
    }
    server.show_free_item(network.freeitems, 0);
    server.show_free_item(network.freeitems, 1);
    server.hide_free_item(network.freeitems, 1);
    psm_clear_draw_records();
    server.draw_free_items(network.freeitems, false);
    EXPECT_EQ(drawn_shaders(), (std::vector<const void*>{shaders[0].shader, shaders[2].shader}));
    EXPECT_FLOAT_EQ(psm_draw_records()[0].world[11], -500.0f);
    // A look of another number of shaders than the model has parts leaves the model white.
    server.freeitem_looks[0].model_count = 1;
    psm_clear_draw_records();
    server.draw_free_items(network.freeitems, false);
    EXPECT_EQ(drawn_shaders(), (std::vector<const void*>{nullptr, nullptr}));
    EXPECT_TRUE(engine_log_matching("doesn't match").empty());
    server.add_mover(0, 0);
    EXPECT_EQ(engine_log_matching("doesn't match").size(), 1u);
}

TEST_F(seg_scenery_draw_test, a_board_is_a_loose_instance_drawn_where_the_box_carrying_it_is)
{
    sign_model_t sign;
    sign.model = load();
    sign.flag = 1;
    sign.billboard_sizes[0] = {200, 100, 10};
    sign.billboard_centres[0] = {0, 300, 0};
    server.sign_models.push_back(sign);
    sign_board_def_t board_def;
    board_def.model = 0;
    board_def.shaders[0] = shaders[0];
    server.sign_boards.push_back(board_def);

    board_instance_node_t* const node = server.add_board_instance(0);
    ASSERT_NE(node, nullptr);
    board_instance_t& board = node->value();
    ASSERT_EQ(server.loose_instances, std::vector<loose_instance_t*>{&board});
    EXPECT_EQ(board.boxes[0], vec3_t(200, 100, 10));
    EXPECT_EQ(board.box_centres[0], vec3_t(0, 300, 0));
    board.position = {100, 0, 0};

    // Carried by a box, it stands where the box is, its billboard's centre back to its own origin.
    cd_geo_box_t box({500, 400, 5}, nullptr, 0, 0);
    phys_body_t body;
    body.set_geom(&box);
    box.set_position({4000, 50, 0});
    board.body = &body;
    for (const uint32_t flags : {board_model_flag, board_model_flag | board_attached}) {
        board.flags = flags;
        psm_clear_draw_records();
        server.draw_objects(false);
        ASSERT_FALSE(psm_draw_records().empty());
        const float* world = psm_draw_records()[0].world;
        const bool carried = flags & board_attached;
        EXPECT_EQ(vec3_t(world[3], world[7], world[11]), carried ? vec3_t(4000, -250, 0) : vec3_t(100, 0, 0));
    }
    board.body = nullptr;
    body.clear_geom();
    server.remove_board_instance(node);
    EXPECT_TRUE(server.loose_instances.empty());
}

// A flat square of ground `cells` cells of `size` on a side, centred on the origin at height 0.
struct flat_ground_t {
    flat_ground_t(const int cells, const float size) : mesh(1)
    {
        const float half = static_cast<float>(cells) * size * 0.5f;
        for (int z = 0; z <= cells; ++z)
            for (int x = 0; x <= cells; ++x)
                vertices.emplace_back(static_cast<float>(x) * size - half, 0.0f, static_cast<float>(z) * size - half);
        const auto at = [cells](const int x, const int z) { return static_cast<uint16_t>(z * (cells + 1) + x); };
        for (int z = 0; z < cells; ++z)
            for (int x = 0; x < cells; ++x)
                for (const uint16_t i :
                     {at(x, z), at(x + 1, z), at(x, z + 1), at(x, z + 1), at(x + 1, z), at(x + 1, z + 1)})
                    indices.push_back(i);
        mesh.build_begin(0);
        mesh.build_mesh(vertices.data(), static_cast<uint32_t>(vertices.size()), indices.data(),
                        static_cast<uint32_t>(indices.size()), nullptr, 0, nullptr, 0);
        mesh.build_end(10.0f, 4);
    }
    std::vector<vec3_t> vertices;
    std::vector<uint16_t> indices;
    cd_geo_mesh_t mesh;
};

TEST_F(seg_scenery_draw_test, street_lights_near_at_night_lay_a_pool_cut_to_the_cube_around_the_light)
{
    cityblock_lamp_t lamp;
    lamp.model = load();
    lamp.decal = shaders[2];
    lamp.light_count = 1;
    lamp.lights[0] = {0, 500, 0};
    server.cityblock_lamps.push_back(lamp);
    flat_ground_t ground(4, 10000.0f);
    server.pool_ground = &ground.mesh;
    quat_t none;
    light_instance_t& near = server.add_light({0, 0, -3000}, none, 0)->value();
    light_instance_t& far = server.add_light({0, 0, -30000}, none, 0)->value();

    server.draw_objects(false);
    EXPECT_FALSE(near.pool_built);
    server.draw_objects(true);
    EXPECT_TRUE(near.pool_built);
    EXPECT_FALSE(far.pool_built);
    ASSERT_FALSE(near.pool.empty());
    EXPECT_EQ(near.pool.size() % 3, 0u);
    float area = 0.0f;
    for (size_t i = 0; i < near.pool.size(); i += 3) {
        const vec3_t e1 = near.pool[i + 1] - near.pool[i];
        const vec3_t e2 = near.pool[i + 2] - near.pool[i];
        area += 0.5f * e1.cross(e2).length();
    }
    // The ground under the light, cut to 2048 by 2048.
    EXPECT_NEAR(area, 2048.0f * 2048.0f, 1.0f);
    for (const vec3_t& v : near.pool)
        EXPECT_TRUE(std::fabs(v.x) <= 1024.0f && std::fabs(v.z + 3000.0f) <= 1024.0f) << v.x << " " << v.z;
    const gfx_frame_record_t& frame = gfx_record_current();
    ASSERT_FALSE(frame.data.empty());
    EXPECT_EQ(frame.data.back().shader, shaders[2].shader);
    EXPECT_EQ(frame.data.back().geometry.colours.front(), 0xFFFFFFFFu);

    // A fine ground gives more triangles than a pool keeps: it stops at 1024 vertices, whole triangles.
    flat_ground_t fine(64, 100.0f);
    server.pool_ground = &fine.mesh;
    light_instance_t& crowded = server.add_light({0, 0, 0}, none, 0)->value();
    server.draw_objects(true);
    EXPECT_TRUE(crowded.pool_built);
    EXPECT_LE(crowded.pool.size(), 1024u);
    EXPECT_GT(crowded.pool.size(), 900u);
    server.pool_ground = nullptr;
}

TEST(polygon_clip_test, a_polygon_keeps_what_lies_on_the_kept_side_of_an_axis_plane)
{
    const std::vector<vec3_t> triangle = {{0, 0, 0}, {10, 0, 0}, {0, 0, 10}};
    struct case_t {
        float value;
        bool keep_below;
        size_t vertices;
    } cases[] = {{20, true, 3}, {-5, true, 0}, {5, true, 4}, {5, false, 3}, {0, false, 3}};
    for (const case_t& c : cases) {
        const std::vector<vec3_t> clipped = clip_polygon_axis(triangle, 0, c.value, c.keep_below);
        EXPECT_EQ(clipped.size(), c.vertices) << c.value << " " << c.keep_below;
        for (const vec3_t& v : clipped)
            EXPECT_TRUE(c.keep_below ? v.x <= c.value : v.x >= c.value);
    }
    EXPECT_EQ(segment_axis_cross({0, 0, 0}, {10, 10, 0}, 0, 2.5f), vec3_t(2.5f, 2.5f, 0));
}

}  // namespace
