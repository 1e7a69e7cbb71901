#include "ui/components/splash.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/entity_reg.h"
#include "engine/gfx_record.h"
#include "engine/snd_record.h"
#include "engine/ui.h"
#include "engine_testing/test_entity_type.h"
#include "engine_testing/ui_driver.h"
#include "common/game_context.h"
#include "frame/type_registry.h"
#include "../../frame/frame_fixture.h"
#include "ui/components/ui_comp_progress.h"

namespace {

// A text with the property "text", as the loading screen's text component has.
class splash_text_t : public ui_view_t {
public:
    static const evalue_def_t evd_text;
    const evalue_def_t* get_evalue_root() const override { return &evd_text; }
    dstring_t text;
};
const evalue_def_t splash_text_t::evd_text =
    evalue_member("text", evalue_dstring, sizeof(dstring_t), evalue_bind<&splash_text_t::text>, &ui_view_t::evd_id);

// A bar with the property "value" (the filled fraction), as the loading screen's progress bar has.
class splash_bar_t : public ui_view_t {
public:
    static const evalue_def_t evd_value;
    const evalue_def_t* get_evalue_root() const override { return &evd_value; }
    float value = -1.0f;
};
const evalue_def_t splash_bar_t::evd_value =
    evalue_member("value", evalue_real, sizeof(float), evalue_bind<&splash_bar_t::value>, &ui_view_t::evd_id);

// The splash window: the text 100 and the bar 110 inside a group, as a real screen nests them.
constexpr const char* splash_script = R"(
entity ui.window {
    rect = 0 1024 768 0;
    entity ui.comp.group {
        id = 10;
        rect = 0 1024 768 0;
        entity ui.comp.test.splash_text { id = 100; rect = 100 900 300 250; }
        entity ui.comp.test.splash_bar { id = 110; rect = 100 900 200 180; }
    }
}
)";

// A splash of a picture alone: neither a text nor a bar.
constexpr const char* bare_script = "entity ui.window { rect = 0 1024 768 0; }\n";

class splash_test : public frame_test_t {
protected:
    void SetUp() override
    {
        frame_test_t::SetUp();
        static const entity_reg_t text_type = test_entity_type<splash_text_t>("ui.comp.test.splash_text");
        static const entity_reg_t bar_type = test_entity_type<splash_bar_t>("ui.comp.test.splash_bar");
        for (const entity_reg_t* type : {&text_type, &bar_type}) {
            if (!entity_find_type(type->type_name)) {
                ASSERT_TRUE(entity_register(type));
            }
        }
        write_data_file("ui/splash.esc", splash_script);
    }

    static std::string text() { return static_cast<splash_text_t*>(find(100))->text.c_str(); }
    static float bar() { return static_cast<splash_bar_t*>(find(110))->value; }
    static ui_view_t* find(const int id)
    {
        ui_view_t* view = ui_driver_find(splash_window(), id);
        EXPECT_NE(view, nullptr) << id;
        return view;
    }
};

TEST_F(splash_test, show_opens_the_window_starts_the_bar_and_draws_one_frame_with_loading_sounds)
{
    const int frames = gfx_record_frames();
    splash_show(4);
    ASSERT_NE(splash_window(), nullptr);
    EXPECT_EQ(ui_wget("splash", "start"), splash_window());
    EXPECT_EQ(text(), "@@ui_starting@@");
    EXPECT_FLOAT_EQ(bar(), 0.0f);
    EXPECT_EQ(gfx_record_frames(), frames + 1);
    EXPECT_EQ(snd_record_current_tag(), 20);
    EXPECT_TRUE(snd_record_tag_enabled(20));
    EXPECT_FALSE(snd_record_tag_enabled(10));
}

TEST_F(splash_test, each_refresh_is_one_stage_and_progress_fills_within_the_stage)
{
    splash_show(4);
    loading_screen_refresh("@@ui_loading_map@@");
    EXPECT_EQ(text(), "@@ui_loading_map@@");
    EXPECT_FLOAT_EQ(bar(), 0.25f);
    loading_screen_progress(1, 2);
    EXPECT_FLOAT_EQ(bar(), 0.375f) << "half of the second of four stages";
    loading_screen_progress(2, 2);
    EXPECT_FLOAT_EQ(bar(), 0.5f);
    loading_screen_progress(1, 0);
    EXPECT_FLOAT_EQ(bar(), 0.25f) << "no part count: the start of the stage";
    for (int i = 0; i < 6; ++i)
        loading_screen_refresh("@@ui_more@@");
    EXPECT_FLOAT_EQ(bar(), 1.0f) << "more stages than announced keep the bar full";
}

TEST_F(splash_test, a_splash_of_unknown_length_fills_at_the_first_stage)
{
    splash_show(0);
    EXPECT_FLOAT_EQ(bar(), 0.0f);
    loading_screen_progress(1, 2);
    EXPECT_FLOAT_EQ(bar(), 0.5f);
    loading_screen_refresh("@@ui_done@@");
    EXPECT_FLOAT_EQ(bar(), 1.0f);
    splash_show(-3);
    loading_screen_refresh("@@ui_again@@");
    EXPECT_FLOAT_EQ(bar(), 0.0f) << "a second show restarts the stages in the open window";
}

TEST_F(splash_test, hide_removes_the_window_restores_game_sounds_and_stops_the_loading_screen)
{
    splash_show(2);
    const int frames = gfx_record_frames();
    splash_hide();
    EXPECT_EQ(splash_window(), nullptr);
    EXPECT_EQ(ui_wget("splash", "start"), nullptr);
    EXPECT_EQ(snd_record_current_tag(), 10);
    EXPECT_TRUE(snd_record_tag_enabled(10));
    EXPECT_FALSE(snd_record_tag_enabled(20));
    loading_screen_refresh("@@ui_late@@");
    loading_screen_progress(1, 2);
    splash_hide();
    EXPECT_EQ(gfx_record_frames(), frames) << "nothing is drawn without a splash";
}

TEST_F(splash_test, releasing_the_game_context_removes_the_splash)
{
    game_context_create();
    splash_show(3);
    game_context_release();
    EXPECT_EQ(ui_wget("splash", "start"), nullptr);
    EXPECT_EQ(splash_window(), nullptr);
}

TEST_F(splash_test, a_window_removed_elsewhere_is_opened_again)
{
    splash_show(2);
    ui_wremove(splash_window());
    EXPECT_EQ(splash_window(), nullptr);
    splash_show(2);
    EXPECT_NE(ui_wget("splash", "start"), nullptr);
    EXPECT_EQ(text(), "@@ui_starting@@");
}

TEST_F(splash_test, a_splash_without_text_or_bar_still_draws_its_frames_without_complaint)
{
    write_data_file("ui/splash.esc", bare_script);
    const int frames = gfx_record_frames();
    splash_show(2);
    loading_screen_refresh("@@ui_loading_map@@");
    loading_screen_progress(1, 2);
    EXPECT_EQ(gfx_record_frames(), frames + 3);
    EXPECT_TRUE(engine_log_matching("splash").empty());
}

TEST_F(splash_test, a_progress_bar_is_filled_to_the_stages_done)
{
    const entity_reg_t* const rows = entity_type_rows();
    for (int i = 0; i < entity_type_row_count(); ++i)
        if (std::string(rows[i].type_name) == "ui.comp.progress" && !entity_find_type(rows[i].type_name)) {
            ASSERT_TRUE(entity_register(&rows[i]));
        }
    write_data_file("ui/splash.esc", "entity ui.window { rect = 0 1024 768 0;\n"
                                     "    entity ui.comp.progress { id = 110; rect = 100 900 60 40; }\n}\n");
    splash_show(4);
    auto* const bar = dynamic_cast<ui_comp_progress_t*>(find(110));
    ASSERT_NE(bar, nullptr);
    EXPECT_FLOAT_EQ(bar->vertices[3][0], 100.0f) << "the first stage starts empty";
    loading_screen_refresh("@@ui_loading_map@@");
    loading_screen_progress(1, 2);
    EXPECT_FLOAT_EQ(bar->vertices[3][0], 400.0f) << "half of the second of four stages";
    EXPECT_FLOAT_EQ(bar->vertices[0][0], 100.0f);
}

TEST_F(splash_test, a_missing_splash_script_is_reported_and_nothing_is_drawn)
{
    write_data_file("ui/splash.esc", "entity ui.comp.group { }\n");
    const int frames = gfx_record_frames();
    splash_show(2);
    EXPECT_EQ(splash_window(), nullptr);
    EXPECT_EQ(engine_log_matching("[splash] cannot open the splash window").size(), 1u);
    loading_screen_refresh("@@ui_loading_map@@");
    EXPECT_EQ(gfx_record_frames(), frames);
}

}  // namespace
