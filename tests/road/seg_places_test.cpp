#include <filesystem>
#include <string>

#include "engine/cache.h"
#include "engine/psm.h"
#include "common/engine_api.h"
#include "road/base_ctrl.h"
#include "road/seg_server.h"
#include "seg_fixture.h"

namespace {

using seg_places_test = seg_test_t;

// A map controller that makes its segment server at phase -10, as the game's and the editor's do.
class server_ctrl_e : public base_ctrl_e {
public:
    int init(const int phase) override
    {
        if (phase == -10 && !seg_server)
            seg_server = new seg_server_t;
        return base_ctrl_e::init(phase);
    }
};

// The name of trader `id`.
std::string trader_name(const seg_server_t& server, const int32_t id) { return server.traders[id].name; }

TEST_F(seg_places_test, a_city_spans_its_position_plus_and_minus_its_whole_half_sizes)
{
    write_sample_road_segs();
    write_data_file("defs/cities/varn.def", R"(city {
    real_pos = 1000,50,2000
    real_width = 301
    real_height = 101
    start_pos = 1010,55,1990
    start_rot = 45.5
})");
    seg_server_t server;
    ASSERT_GT(server.load(), 0);
    ASSERT_EQ(server.city_count, 1);
    const city_area_t& city = server.cities[0];
    EXPECT_EQ(city.x_min, 850.0f);
    EXPECT_EQ(city.x_max, 1150.0f);
    EXPECT_EQ(city.z_min, 1950.0f);
    EXPECT_EQ(city.z_max, 2050.0f);
    EXPECT_EQ(city.y, 50.0f);
    EXPECT_EQ(city.start_position, vec3_t(1010.0f, 55.0f, 1990.0f));
    EXPECT_EQ(city.start_rotation, 45.5f);

    struct case_t {
        vec3_t point;
        int32_t expected;
    };
    const case_t cases[] = {
        {vec3_t(1000.0f, -900.0f, 2000.0f), 0},  // height does not matter
        {vec3_t(850.0f, 0.0f, 2050.0f), 0},      // edges belong to the city
        {vec3_t(849.9f, 0.0f, 2000.0f), -1},
        {vec3_t(1000.0f, 0.0f, 2050.1f), -1},
    };
    for (const case_t& c : cases)
        EXPECT_EQ(server.find_city_at(c.point), c.expected) << c.point.x << ", " << c.point.z;
}

TEST_F(seg_places_test, a_city_file_without_its_object_gives_a_zero_city_and_folders_are_not_cities)
{
    write_sample_road_segs();
    write_data_file("defs/cities/empty.def", "town { real_width = 500 }");
    std::filesystem::create_directories(data_root_ / "defs/cities/old");
    seg_server_t server;
    ASSERT_GT(server.load(), 0);
    ASSERT_EQ(server.city_count, 1);
    EXPECT_EQ(server.cities[0].x_min, 0.0f);
    EXPECT_EQ(server.cities[0].x_max, 0.0f);
    EXPECT_EQ(server.cities[0].start_position, vec3_t(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(server.find_city_at(vec3_t(0.0f, 0.0f, 0.0f)), 0);
}

TEST_F(seg_places_test, the_place_names_are_the_cities_names_in_city_order)
{
    write_sample_road_segs();
    const auto city = [](const char* name, const int x) {
        return std::string("city {\n") + (name ? std::string("    name = ") + name + "\n" : "") +
               "    real_pos = " + std::to_string(x) + ",0,0\n    real_width = 100\n    real_height = 100\n}";
    };
    write_data_file("defs/cities/harbour.def", city("\"Kingsbridge Harbour\"", 0));
    write_data_file("defs/cities/mill.def", city("Mill", 1000));
    write_data_file("defs/cities/nameless.def", city(nullptr, 2000));
    seg_server_t server;
    ASSERT_GT(server.load(), 0);
    ASSERT_EQ(server.place_names.size(), 3u);
    // Named by the city that holds each place; a name too long for a place name is cut, reported; a
    // city without a name goes by its file's.
    const std::pair<int, const char*> places[] = {{0, "Kingsbridge"}, {1000, "Mill"}, {2000, "nameless"}};
    for (const auto& [x, name] : places) {
        const int32_t index = server.find_city_at(vec3_t(static_cast<float>(x), 0.0f, 0.0f));
        ASSERT_GE(index, 0);
        EXPECT_STREQ(server.place_names[static_cast<size_t>(index)].name, name);
    }
    EXPECT_EQ(engine_log_matching("is cut to 11 characters").size(), 1u);
    server.unload();
    EXPECT_TRUE(server.place_names.empty());
}

TEST_F(seg_places_test, traders_sit_at_their_ids_skipping_bang_files_folders_and_ids_out_of_range)
{
    write_sample_road_segs();
    write_data_file("defs/traders/alpha.def", "trader { id = 1\n label_shd = /shaders/labels/alpha.shd }");
    write_data_file("defs/traders/!draft.def", "trader { id = 0 }");
    std::filesystem::create_directories(data_root_ / "defs/traders/archive");
    write_data_file("defs/traders/nameless.def", "merchant { id = 1 }");
    write_data_file("defs/traders/stray.def", "trader { id = 3 }");
    write_data_file("defs/traders/lost.def", "trader { id = -1 }");
    seg_server_t server;
    ASSERT_GT(server.load(), 0);
    EXPECT_EQ(server.trader_count, 4);
    EXPECT_EQ(trader_name(server, 0), "nameless.def");  // no "trader" object: record 0, no label
    EXPECT_EQ(server.traders[0].label.shader, nullptr);
    EXPECT_EQ(trader_name(server, 1), "alpha.def");
    EXPECT_STREQ(server.traders[1].label.shader->path, "/shaders/labels/alpha.shd");
    EXPECT_EQ(trader_name(server, 3), "stray.def");
    EXPECT_EQ(trader_name(server, 2), "");
    EXPECT_TRUE(engine_log_has("/defs/traders/lost.def: trader id -1 is not from 0 to 3; the trader is left out"));
}

TEST_F(seg_places_test, the_last_of_two_traders_with_one_id_keeps_it_and_the_first_label_goes_back)
{
    const seg_counted_shaders_t shaders;
    write_sample_road_segs();
    write_data_file("defs/traders/one.def", "trader { id = 0\n label_shd = /shaders/labels/one.shd }");
    write_data_file("defs/traders/two.def", "trader { id = 0\n label_shd = /shaders/labels/two.shd }");
    seg_server_t server;
    ASSERT_GT(server.load(), 0);
    const std::string kept = trader_name(server, 0);
    const std::string other = kept == "one.def" ? "two.def" : "one.def";
    EXPECT_TRUE(kept == "one.def" || kept == "two.def");
    EXPECT_EQ(seg_counted_shaders_t::refs(("/shaders/labels/" + kept.substr(0, 3) + ".shd").c_str()), 1);
    EXPECT_EQ(seg_counted_shaders_t::refs(("/shaders/labels/" + other.substr(0, 3) + ".shd").c_str()), 0);
}

TEST_F(seg_places_test, unload_gives_back_every_shader_the_server_took)
{
    const seg_counted_shaders_t shaders;
    write_sample_road_segs();
    write_data_file("defs/traders/alpha.def", "trader { id = 0\n label_shd = /shaders/labels/alpha.shd }");
    seg_server_t server;
    ASSERT_GT(server.load(), 0);
    EXPECT_NE(server.terrain_shaders[-1].item, nullptr);
    // The spare entry of the terrain, transition, blend, railing and aux-model shader tables.
    EXPECT_EQ(seg_counted_shaders_t::refs("/specials/notfound.shd"), 5);
    EXPECT_EQ(seg_counted_shaders_t::refs("/shaders/blend/rock_sand_7.shd"), 1);
    EXPECT_EQ(seg_counted_shaders_t::refs("/shaders/signs/arrow_l.shd"), 1);
    EXPECT_EQ(seg_counted_shaders_t::refs("/shaders/labels/alpha.shd"), 1);
    server.unload();
    EXPECT_TRUE(cache_leak_report().empty());
    EXPECT_EQ(seg_counted_shaders_t::refs("/specials/notfound.shd"), 0);
}

TEST_F(seg_places_test, the_map_controller_loads_its_server_at_phase_0_unloads_it_at_destroy_and_deletes_it_at_10)
{
    write_sample_road_segs();
    server_ctrl_e ctrl;
    ASSERT_EQ(ctrl.init(-10), 0);
    ASSERT_NE(ctrl.seg_server, nullptr);
    EXPECT_FALSE(ctrl.seg_server->loaded());
    ASSERT_EQ(ctrl.init(0), 0);
    EXPECT_TRUE(ctrl.seg_server->loaded());
    EXPECT_EQ(ctrl.seg_server->terrain_shader_count, 3);
    ctrl.destroy(0);
    ASSERT_NE(ctrl.seg_server, nullptr);
    EXPECT_FALSE(ctrl.seg_server->loaded());
    ctrl.destroy(10);
    EXPECT_EQ(ctrl.seg_server, nullptr);
    EXPECT_TRUE(cache_leak_report().empty());
}

}  // namespace

namespace {

TEST_F(seg_places_test, the_sample_game_loads_whole_with_every_start_inside_its_city)
{
    const std::filesystem::path sample = std::filesystem::path(KAVRENTA_SOURCE_DIR) / "data/defs";
    std::filesystem::create_directories(data_root_ / "defs");
    for (const char* folder : {"seg_server", "cities", "traders"})
        std::filesystem::copy(sample / folder, data_root_ / "defs" / folder,
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
    for (const char* folder : {"models", "prefabs", "brushes", "ui"})
        std::filesystem::copy(sample.parent_path() / folder, data_root_ / folder,
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
    seg_server_t server;
    ASSERT_GT(server.load(), 0);
    EXPECT_TRUE(engine_log_matching("road_segs.def").empty());
    for (const std::string& line : engine_log_matching("/defs/"))
        ADD_FAILURE() << line;
    EXPECT_EQ(server.blend_shader_count, 28);
    ASSERT_EQ(server.city_count, 3);
    for (int32_t i = 0; i < server.city_count; ++i)
        EXPECT_EQ(server.find_city_at(server.cities[i].start_position), i);
    ASSERT_EQ(server.trader_count, 3);
    for (int32_t i = 0; i < server.trader_count; ++i)
        EXPECT_NE(server.traders[i].label.shader, nullptr) << i;
    EXPECT_EQ(server.road_props.size(), 2u);
    // Asphalt meets grass and gravel meets rock through their transitions.
    EXPECT_EQ(server.terrain_trans_shader(0, 0), 3);
    EXPECT_EQ(server.terrain_trans_shader(1, 2), 5);
    // The map's road, city road, crossing (three lanes from each arm, lights), loading dock and the
    // prefabs laid into roads (three stations, a stretch and its road works).
    ASSERT_EQ(server.road_defs.size(), 1u);
    EXPECT_EQ(server.road_defs[0].part_count, 1);
    EXPECT_GT(server.road_defs[0].parts[0].repeat_vertex_count, 0);
    ASSERT_EQ(server.city_road_defs.size(), 1u);
    EXPECT_EQ(server.city_road_defs[0].part_count, 2);
    ASSERT_EQ(server.prefab_table[seg_crosses].size(), 1u);
    EXPECT_EQ(server.prefab_table[seg_crosses][0].curves.size(), 12u);
    EXPECT_EQ(server.prefab_table[seg_crosses][0].light_places.size(), 4u);
    EXPECT_EQ(server.prefab_table[seg_crosses][0].nodes[2].slots[0][0], 6);
    ASSERT_EQ(server.prefab_table[seg_prefabs].size(), 5u);
    for (int32_t kind = 0; kind < 3; ++kind)
        EXPECT_NE(server.prefab_table[seg_prefabs][static_cast<size_t>(kind)].stations[0].kind, 0) << kind;
    EXPECT_EQ(server.prefab_table[seg_prefabs][2].stations[0].kind, 7);
    EXPECT_EQ(server.railings.size(), 1u);
    EXPECT_EQ(server.aux_models.size(), 1u);
    EXPECT_EQ(server.veg_looks.size(), 1u);
    EXPECT_EQ(server.profiles.size(), 1u);
    ASSERT_EQ(server.prefab_table[seg_forks].size(), 1u);
    EXPECT_EQ(server.prefab_table[seg_forks][0].curves.size(), 3u);
    EXPECT_EQ(server.prefab_table[seg_forks][0].docks.size(), 1u);
    ASSERT_EQ(server.tr_lights.size(), 1u);
    EXPECT_EQ(server.tr_lights[0].group_count, 1);
    for (const std::string& line : engine_log_matching("/prefabs/"))
        ADD_FAILURE() << line;
    // The scenery: two buildings of their own widths, a lamp with its light, a sign, the brush's cells
    // and the headquarters.
    ASSERT_EQ(server.cityblock_models.size(), 2u);
    EXPECT_EQ(server.cityblock_models[1].width, 1500);
    ASSERT_EQ(server.cityblock_looks.size(), 1u);
    EXPECT_EQ(server.cityblock_looks[0].kind_count, 2);
    EXPECT_EQ(server.cityblock_looks[0].kinds[1].model, 1);
    EXPECT_EQ(server.cityblock_lamps[0].light_count, 1);
    EXPECT_EQ(server.freeitem_models[0].animation, -1);
    EXPECT_EQ(server.sign_models[0].board_count, 1);
    EXPECT_GE(server.sign_models[0].arrow_parts[0], 0);
    EXPECT_NE(server.sign_boards[0].shaders[1].shader, nullptr);
    EXPECT_STREQ(server.sign_texts[1].text, "Halvik");
    ASSERT_EQ(server.brushes.size(), 1u);
    EXPECT_EQ(server.brushes[0].width * server.brushes[0].height, 6);
    EXPECT_EQ(server.brushes[0].cells[2], 15);
    EXPECT_EQ(server.sky_shaders.size(), 2u);
    EXPECT_NE(server.hq_models[2], nullptr);
    // The signs name the cities; the mover's look dresses every drawn part of its yard gate model (all
    // but its collision part).
    ASSERT_EQ(server.place_names.size(), 3u);
    EXPECT_STREQ(server.place_names[1].name, "Halvik");
    EXPECT_EQ(server.freeitem_looks[0].model_count, api::psm_get_info(server.freeitem_models[0].model)->part_count - 1);
    for (const std::string& line : engine_log_matching("/models/"))
        ADD_FAILURE() << line;
    server.unload();
}

}  // namespace
