#include "editor/edit_ini.h"

#include <gtest/gtest.h>

TEST(edit_ini, written_and_read_back_restores_every_field_in_1008_bytes)
{
    edit_ini_t ini;
    ini.mode = 10;
    ini.sub_mode = 6;
    ini.stamp_definition = 3;
    ini.stamp_shader = 4;
    ini.node_height = 120;
    ini.aux_node_height = -30;
    ini.item_height = 77;
    ini.defaults.edges[edit_default_road].definition = 5;
    ini.defaults.edges[edit_default_cross].flags = 2;
    ini.defaults.aux_edge.model = 9;
    ini.defaults.stamps[2] = map_stamp_t{1, 2, 3, 4};
    const std::vector<uint8_t> bytes = edit_ini_write(ini);
    ASSERT_EQ(bytes.size(), 1008u);
    // The mode words stand at 980 and 984, little-endian.
    EXPECT_EQ(bytes[980], 10);
    EXPECT_EQ(bytes[984], 6);
    edit_ini_t back;
    std::string error;
    ASSERT_TRUE(edit_ini_read(bytes, back, error)) << error;
    EXPECT_EQ(back.mode, 10);
    EXPECT_EQ(back.sub_mode, 6);
    EXPECT_EQ(back.stamp_definition, 3);
    EXPECT_EQ(back.stamp_shader, 4);
    EXPECT_EQ(back.node_height, 120);
    EXPECT_EQ(back.aux_node_height, -30);
    EXPECT_EQ(back.item_height, 77);
    EXPECT_EQ(back.defaults.edges[edit_default_road].definition, 5);
    EXPECT_EQ(back.defaults.edges[edit_default_cross].flags, 2u);
    EXPECT_EQ(back.defaults.aux_edge.model, 9);
    EXPECT_EQ(back.defaults.stamps[2].column, 4);
    EXPECT_EQ(edit_ini_write(back), bytes);
}

TEST(edit_ini, a_short_or_foreign_file_is_refused_and_changes_nothing)
{
    const std::vector<uint8_t> good = edit_ini_write(edit_ini_t{});
    struct case_t {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<uint8_t> bad_mode = good;
    bad_mode[980] = 8;
    std::vector<uint8_t> bad_sub_mode = good;
    bad_sub_mode[984] = 9;
    std::vector<uint8_t> bad_kind = good;
    bad_kind[0] = 3;
    const case_t cases[] = {{"empty", {}},
                            {"short", std::vector<uint8_t>(good.begin(), good.begin() + 1004)},
                            {"long",
                             [&] {
                                 auto longer = good;
                                 longer.push_back(0);
                                 return longer;
                             }()},
                            {"mode 8", bad_mode},
                            {"sub-mode 9", bad_sub_mode},
                            {"a Cross in the Road's place", bad_kind}};
    for (const case_t& c : cases) {
        edit_ini_t ini;
        ini.mode = 2;
        std::string error;
        EXPECT_FALSE(edit_ini_read(c.bytes, ini, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        EXPECT_EQ(ini.mode, 2) << c.what;
    }
}

TEST(edit_defaults, each_kind_starts_from_the_template_with_its_own_sides)
{
    const edit_defaults_t defaults;
    EXPECT_EQ(defaults.edges[edit_default_road].kind, map_edge_road);
    EXPECT_EQ(defaults.edges[edit_default_city_road].kind, map_edge_city_road);
    EXPECT_EQ(defaults.edges[edit_default_road].sides[0].profile, 0);
    EXPECT_EQ(defaults.edges[edit_default_fork].sides[0].profile, -1);
    EXPECT_EQ(defaults.edges[edit_default_cross].sides[0].strip_width, 0);
    EXPECT_EQ(defaults.edges[edit_default_prefab].sides[1].strip_width, 8);
    EXPECT_EQ(defaults.edges[edit_default_prefab].flags, 272u);
    EXPECT_EQ(defaults.edges[edit_default_prefab].sides[1].height_scale, 5.0f);
    EXPECT_EQ(defaults.edges[edit_default_prefab].stamp, -1);
    EXPECT_FALSE(defaults.has_stamps());
}
