#include "road/seg_server.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "../common/recorded_loading_screen.h"
#include "engine/cache.h"
#include "engine/gfx_render.h"
#include "engine/random.h"
#include "road/base_ctrl.h"
#include "road/seg_memory.h"
#include "seg_fixture.h"

namespace {

using seg_server_test = seg_test_t;

// The path of the renderer's shader held at `shader`.
std::string path_of(const seg_shader_t& shader) { return shader.shader ? shader.shader->path : ""; }

TEST_F(seg_server_test, a_fresh_server_is_empty_with_its_preset_colours)
{
    const seg_server_t server;
    EXPECT_FALSE(server.loaded());
    EXPECT_EQ(server.terrain_shader_count, 0);
    EXPECT_EQ(server.road_shaders, nullptr);
    EXPECT_EQ(server.light_colours[0], vec3_t(1.0f, 1.0f, 1.0f));
    EXPECT_EQ(server.light_colours[1], vec3_t(0.65f, 0.65f, 0.65f));
    EXPECT_EQ(server.light_colours[2], vec3_t(0.45f, 0.45f, 0.45f));
    EXPECT_EQ(server.target_frame.matrix, mat4_t::identity());
    EXPECT_EQ(server.find_city_at(vec3_t(0.0f, 0.0f, 0.0f)), -1);
}

TEST_F(seg_server_test, the_terrain_table_holds_terrains_transitions_and_14_blends_per_entry_behind_the_fallback)
{
    write_sample_road_segs();
    seg_server_t server;
    const int bytes = server.load();
    ASSERT_TRUE(server.loaded());
    EXPECT_GT(bytes, 0);
    EXPECT_TRUE(engine_log_has("Loading segment server data ...."));
    EXPECT_TRUE(engine_log_has("   - Precaching shaders ...."));
    EXPECT_TRUE(engine_log_has("\\ysegment server memory usage : " + std::to_string(bytes / 1024) + " kB"));

    EXPECT_EQ(server.road_shader_count, 2);
    EXPECT_EQ(server.sidewalk_count, 1);
    EXPECT_EQ(server.terrain_shader_count, 3);
    EXPECT_EQ(server.trans_shader_count, 3);
    EXPECT_EQ(server.blend_shader_count, 28);
    for (const seg_shader_t* array : {server.road_shaders, server.sidewalk_shaders, server.terrain_shaders})
        EXPECT_EQ(path_of(array[-1]), "/specials/notfound.shd");
    EXPECT_EQ(path_of(server.road_shaders[1]), "/shaders/road/gravel.shd");
    EXPECT_EQ(path_of(server.sidewalk_shaders[0]), "/shaders/road/pavement.shd");
    EXPECT_EQ(path_of(server.terrain_shaders[2]), "/shaders/terrain/rock.shd");
    EXPECT_EQ(path_of(server.terrain_shaders[3]), "/shaders/trans/gravel_rock.shd");
    EXPECT_EQ(path_of(server.terrain_shaders[6]), "/shaders/blend/grass_sand_1.shd");
    EXPECT_EQ(path_of(server.terrain_shaders[19]), "/shaders/blend/grass_sand_14.shd");
    EXPECT_EQ(path_of(server.terrain_shaders[20]), "/shaders/blend/rock_sand_1.shd");
    EXPECT_EQ(path_of(server.terrain_shaders[33]), "/shaders/blend/rock_sand_14.shd");
    EXPECT_EQ(server.arrow_packets[2].packet, 393u);
    EXPECT_EQ(path_of(server.arrow_packets[2].shader), "/shaders/signs/arrow_sr.shd");
    EXPECT_EQ(server.arrow_packets[3].positions - server.arrow_packets[0].positions, 3 * 600);

    server.unload();
    EXPECT_FALSE(server.loaded());
    EXPECT_EQ(server.terrain_shader_count, 0);
    EXPECT_EQ(server.terrain_shaders, nullptr);
    EXPECT_TRUE(cache_leak_report().empty());
}

TEST_F(seg_server_test, the_count_pass_moves_the_loading_screen_one_step_per_reader_before_anything_loads)
{
    recorded_loading_screen_t screen;
    loading_screen_install(&screen);
    loading_screen_open(1);
    write_sample_road_segs();
    write_data_file("defs/seg_server/road_props.def", "roads { road_count = 2 }");
    write_data_file("defs/seg_server/railings.def", "railings { railing_count = 3 }");
    {
        seg_server_t server;
        server.load();
        EXPECT_EQ(server.road_props.size(), 2u);
        EXPECT_EQ(server.railings.size(), 3u);
    }
    const std::vector<std::string> count_pass = {"0/11", "1/11", "2/11", "3/11", "4/11", "5/11",
                                                 "6/11", "7/11", "8/11", "9/11", "10/11"};
    ASSERT_GE(screen.steps.size(), count_pass.size());
    EXPECT_EQ(std::vector<std::string>(screen.steps.begin(), screen.steps.begin() + 11), count_pass);
    // The full reads come after it: the road properties report their own two steps.
    EXPECT_NE(std::find(screen.steps.begin() + 11, screen.steps.end(), "2/2"), screen.steps.end());

    // Without road_segs.def nothing is counted.
    screen.steps.clear();
    std::filesystem::remove(data_root_ / "defs/seg_server/road_segs.def");
    {
        seg_server_t server;
        server.load();
    }
    EXPECT_TRUE(screen.steps.empty());
    loading_screen_close();
    loading_screen_install(nullptr);
}

TEST_F(seg_server_test, a_road_meets_a_terrain_through_its_first_transition_or_the_terrain_itself)
{
    write_sample_road_segs();
    seg_server_t server;
    ASSERT_GT(server.load(), 0);
    struct case_t {
        int32_t road, terrain, expected;
    };
    const case_t cases[] = {
        {0, 0, 3 + 1},              // asphalt on grass: the first of the two that name both
        {1, 2, 3 + 0},              // gravel on rock
        {0, 1, 1},                  // asphalt on sand has no transition: sand itself
        {1, 0, 0},     {2, 0, -1},  // out of range: the fallback
        {0, 3, -1},    {-1, 0, -1},
    };
    for (const case_t& c : cases)
        EXPECT_EQ(server.terrain_trans_shader(c.road, c.terrain), c.expected) << c.road << " on " << c.terrain;
}

TEST_F(seg_server_test, a_blend_runs_forward_through_its_files_and_backward_through_the_reversed_ones)
{
    write_sample_road_segs();
    seg_server_t server;
    ASSERT_GT(server.load(), 0);
    const int32_t grass = 0, sand = 1, rock = 2;
    const int32_t grass_sand = 3 + 3, rock_sand = 3 + 3 + 14;  // first file of each entry
    for (int32_t k = 1; k <= 14; ++k) {
        EXPECT_EQ(server.terrain_blend_shader(grass, sand, k), grass_sand + k - 1) << k;
        EXPECT_EQ(server.terrain_blend_shader(sand, grass, k), grass_sand + 15 - k - 1) << k;
        EXPECT_EQ(server.terrain_blend_shader(sand, rock, k), rock_sand + 15 - k - 1) << k;
        EXPECT_EQ(server.terrain_blend_shader(grass, rock, k), grass) << k;  // no file: stays grass
        EXPECT_EQ(server.terrain_blend_shader(rock, rock, k), rock) << k;
    }
    // The ends are the two terrains whatever the table holds.
    server.blend_table[(grass * 3 + sand) * 14 + 0] = 5;
    EXPECT_EQ(server.terrain_blend_shader(grass, sand, 0), grass);
    EXPECT_EQ(server.terrain_blend_shader(grass, sand, 15), sand);
    EXPECT_EQ(server.terrain_blend_shader(grass, rock, 15), rock);
    for (const int32_t step : {-1, 16})
        EXPECT_EQ(server.terrain_blend_shader(grass, sand, step), -1);
    EXPECT_EQ(server.terrain_blend_shader(3, sand, 0), -1);
}

TEST_F(seg_server_test, the_rotations_turn_about_the_vertical_by_720_times_the_seeded_draws)
{
    write_sample_road_segs();
    seg_server_t first;
    seg_server_t second;
    ASSERT_GT(first.load(), 0);
    sys_rand();  // the engine's own draws do not disturb the server's sequence
    ASSERT_GT(second.load(), 0);
    randomizer_t random(666666);
    for (int32_t i = 0; i < seg_rotation_count; ++i) {
        quat_t expected;
        expected.set(vec3_t(0.0f, 1.0f, 0.0f), 720.0f * random.rand());
        EXPECT_EQ(first.rotations[i], expected) << i;
        EXPECT_EQ(second.rotations[i], expected) << i;
        EXPECT_EQ(first.rotations[i].x, 0.0f);
        EXPECT_EQ(first.rotations[i].z, 0.0f);
    }
}

TEST_F(seg_server_test, the_memory_report_shows_whole_kilobytes_truncated)
{
    const std::pair<int, const char*> cases[] = {
        {0, "\\ysegment server memory usage : 0 kB"},
        {1023, "\\ysegment server memory usage : 0 kB"},
        {1024, "\\ysegment server memory usage : 1 kB"},
        {5000, "\\ysegment server memory usage : 4 kB"},
    };
    for (const auto& [bytes, line] : cases) {
        seg_memory_report(bytes);
        EXPECT_TRUE(engine_log_has(line)) << bytes;
    }
}

TEST_F(seg_server_test, unusable_road_segs_leave_the_server_empty_and_report_nothing_held)
{
    struct case_t {
        const char* what;
        const char* file;  // null: no file at all
        const char* message;
    };
    const case_t cases[] = {
        {"missing file", nullptr, "has no object \"road_segs\""},
        {"no object", "other { road_shader_count = 1 }", "has no object \"road_segs\""},
        {"bad syntax", "road_segs { road_shader_count = }", "has no object \"road_segs\""},
        {"negative count", "road_segs { sidewalk_count = -1 }", "\"sidewalk_count\" is -1"},
        {"huge count", "road_segs { ter_trans_count = 99999999 }", "\"ter_trans_count\" is 99999999"},
        {"block too large", "road_segs { terrain_shader_count = 65536 }", "Not enough memory for the segment"},
    };
    for (const case_t& c : cases) {
        if (c.file)
            write_road_segs(c.file);
        else
            std::filesystem::remove(data_root_ / "defs/seg_server/road_segs.def");
        write_data_file("defs/cities/a.def", "city { real_width = 10 }");
        const size_t reasons = engine_log_matching(c.message).size();
        const size_t reports = engine_log_matching("memory usage : 0 kB").size();
        seg_server_t server;
        EXPECT_EQ(server.load(), 0) << c.what;
        EXPECT_FALSE(server.loaded()) << c.what;
        EXPECT_EQ(server.terrain_shader_count + server.sidewalk_count + server.city_count, 0) << c.what;
        EXPECT_EQ(server.terrain_trans_shader(0, 0), -1) << c.what;
        EXPECT_EQ(engine_log_matching(c.message).size(), reasons + 1) << c.what;
        EXPECT_EQ(engine_log_matching("memory usage : 0 kB").size(), reports + 1) << c.what;
        EXPECT_TRUE(cache_leak_report().empty()) << c.what;
    }
}

TEST_F(seg_server_test, left_out_shader_keys_and_unnamed_blends_stand_as_the_fallback)
{
    write_road_segs(R"(road_segs {
    road_shader_count = 2
    road_shader0 = /shaders/road/asphalt.shd
    terrain_shader_count = 1
    terrain_shader0 = /shaders/terrain/grass.shd
    ter_trans_count = 1
    tt0 = grass
})");
    seg_server_t server;
    ASSERT_GT(server.load(), 0);
    EXPECT_EQ(path_of(server.road_shaders[1]), "/specials/notfound.shd");
    EXPECT_EQ(path_of(server.terrain_shaders[1 + 13]), "/specials/notfound.shd");
    EXPECT_TRUE(engine_log_has("road_segs.def has no \"road_shader1\"; the fallback shader stands for it"));
    EXPECT_TRUE(engine_log_has("road_segs.def: \"tt0\" does not name two terrains; the fallback shader stands for "
                               "its blend"));
}

TEST_F(seg_server_test, a_second_load_keeps_what_the_first_loaded)
{
    write_sample_road_segs();
    seg_server_t server;
    const int bytes = server.load();
    const seg_shader_t* const shaders = server.terrain_shaders;
    EXPECT_EQ(server.load(), bytes);
    EXPECT_EQ(server.terrain_shaders, shaders);
    EXPECT_TRUE(engine_log_has("The segment server is loaded already; it is not loaded again"));
}

}  // namespace

namespace {

TEST_F(seg_server_test, a_map_controller_lights_the_models_of_the_server_it_loaded_until_its_destroy)
{
    seg_counted_shaders_t shaders;
    write_sample_road_segs();
    base_ctrl_e ctrl;
    ctrl.seg_server = new seg_server_t;
    ASSERT_EQ(ctrl.init(-10), 0);
    ASSERT_EQ(ctrl.init(0), 0);
    ASSERT_TRUE(ctrl.seg_server->loaded());
    EXPECT_EQ(ctrl.seg_server->light_source(), &ctrl);
    // Outside a world there are no lights to answer.
    EXPECT_EQ(ctrl.static_model_lights(), nullptr);
    ctrl.destroy(0);
    EXPECT_EQ(ctrl.seg_server->light_source(), nullptr);
    ctrl.destroy(10);
}

}  // namespace
