#include <string>

#include "engine/cache.h"
#include "engine/gfx_view.h"
#include "engine/host.h"
#include "engine/vfs.h"
#include "common/local_def.h"
#include "../frame/frame_fixture.h"

namespace {

int screen_height = 480;

// Stands in for the engine's graphics parameters with a chosen screen height.
void fake_params(gfx_params_t* out)
{
    *out = gfx_params_t{};
    out->width = 640;
    out->height = screen_height;
}

const char* const local_def = "translate {\n"
                              "    ui_warning = Warning\n"
                              "    ui_blank = \"\"\n"
                              "    __fnt_mid = unsized\n"
                              "    __fnt_mid_0 = mid0\n"
                              "    __fnt_mid_1 = mid1\n"
                              "    __fnt_mid_2 = mid2\n"
                              "    __fnt_mid_3 = mid3\n"
                              "    __FNT_BIG_3 = big3\n"
                              "    __other = other\n"
                              "}\n"
                              "// A later area's block: its keys are found too, the first block's win.\n"
                              "translate {\n"
                              "    ui_map_title = Map\n"
                              "    ui_warning = Later\n"
                              "}\n";

}  // namespace

class translate_test : public frame_test_t {
protected:
    void TearDown() override
    {
        release_local_def();
        frame_test_t::TearDown();
    }
};

TEST_F(translate_test, font_keys_take_the_suffix_of_the_screen_height)
{
    write_data_file("scripts/local.def", local_def);
    ASSERT_NE(load_local_def(), nullptr);
    api::gfx_get_params = fake_params;
    const struct {
        const char* key;
        int height;
        const char* shown;
    } cases[] = {
        {"__fnt_mid", 480, "mid0"},
        {"__fnt_mid", 599, "mid0"},
        {"__fnt_mid", 600, "mid1"},
        {"__fnt_mid", 719, "mid1"},
        {"__fnt_mid", 720, "mid2"},
        {"__fnt_mid", 768, "mid2"},
        {"__fnt_mid", 1023, "mid2"},
        {"__fnt_mid", 1024, "mid3"},
        {"__FNT_BIG", 1080, "big3"},  // the suffix goes onto the key as given
        // Only the three font keys are sized; the comparison covers the whole key.
        {"__fnt_mid_1", 480, "mid1"},
        {"__fnt_midx", 1024, "__fnt_midx"},
        {"__other", 480, "other"},
        {"ui_map_title", 480, "Map"},
        {"ui_warning", 480, "Warning"},
        // Keys without a value in the pool show themselves.
        {"__fnt_sml", 768, "__fnt_sml"},
    };
    for (const auto& c : cases) {
        screen_height = c.height;
        EXPECT_STREQ(translate(c.key), c.shown) << c.key << " at " << c.height;
    }
}

TEST_F(translate_test, translation_survives_the_cache_freeing_its_memory)
{
    write_data_file("scripts/local.def", local_def);
    ASSERT_NE(load_local_def(), nullptr);
    api::mm_mem_free_all(-1);  // what a change of graphics mode does
    EXPECT_STREQ(translate("ui_warning"), "Warning");
    EXPECT_NE(load_local_def(), nullptr);
}

TEST_F(translate_test, a_missing_or_empty_value_shows_the_key)
{
    write_data_file("scripts/local.def", local_def);
    ASSERT_NE(load_local_def(), nullptr);
    EXPECT_STREQ(translate("ui_warning"), "Warning");
    EXPECT_STREQ(translate("ui_blank"), "ui_blank");
    EXPECT_STREQ(translate("ui_unknown"), "ui_unknown");
    EXPECT_EQ(translate(nullptr), nullptr);
}

TEST_F(translate_test, without_local_definitions_every_key_shows_itself)
{
    EXPECT_EQ(load_local_def(), nullptr);
    EXPECT_FALSE(engine_log_matching("/scripts/local.def").empty());
    EXPECT_STREQ(translate("ui_warning"), "ui_warning");

    write_data_file("scripts/local.def", "other { ui_warning = Warning }\n");
    ASSERT_NE(load_local_def(), nullptr);
    EXPECT_STREQ(translate("ui_warning"), "ui_warning");
}

TEST_F(translate_test, the_pool_is_held_once_and_given_back)
{
    write_data_file("scripts/local.def", local_def);
    def_pool_t* const pool = load_local_def();
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(load_local_def(), pool);
    EXPECT_EQ(cache_leak_report().size(), 1u);
    release_local_def();
    EXPECT_TRUE(cache_leak_report().empty());
    EXPECT_STREQ(translate("ui_warning"), "ui_warning");
}

TEST_F(translate_test, the_sample_games_local_definitions_translate)
{
    host_settings().data_root = std::string(KAVRENTA_SOURCE_DIR) + "/data";
    engine_reset();
    ASSERT_TRUE(vfs_init_from_host());
    ASSERT_TRUE(bind_engine_for_tests());
    ASSERT_NE(load_local_def(), nullptr);
    EXPECT_STREQ(translate("ui_warning"), "Warning");
    EXPECT_STRNE(translate("__fnt_mid"), "__fnt_mid");
}
