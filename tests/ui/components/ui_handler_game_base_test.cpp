#include "ui/components/ui_handler_game_base.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/cache.h"
#include "engine/entity_reg.h"
#include "engine/pml_draw.h"
#include "engine/snd_record.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "engine_testing/engine_test.h"
#include "engine_testing/ui_driver.h"
#include "common/engine_api.h"
#include "common/type_create.h"
#include "ui/components/ui_click_sound.h"

namespace {

// A game window handler as the screens derive it.
class test_game_handler_t : public ui_handler_game_base_t {
public:
    const char* get_default_name() const override { return "ui.handler.test.game"; }
    virtual const char* get_type_name() const { return "ui.handler.test.game"; }
};

// A quick-help line: a text "value" whose setting raises its change mark.
class help_line_t : public ui_view_t {
public:
    static const evalue_def_t evd_value;
    const evalue_def_t* get_evalue_root() const override { return &evd_value; }
    dstring_t value;
    uint8_t line_status = 0;
};
const evalue_def_t help_line_t::evd_value =
    evalue_member("value", evalue_dstring, sizeof(dstring_t), evalue_bind<&help_line_t::value>, &ui_view_t::evd_id,
                  nullptr, evalue_bind_status<&help_line_t::line_status>);

// A component that draws one image item (its id as the item's id) every frame, so the colour it is
// drawn with tells the window's opacity, and records the notifications it gets.
class swatch_t : public ui_view_t {
public:
    void handler() override
    {
        ui_view_t::handler();
        pml_buffer_t buffer(pml_item_bytes);
        buffer.insert("swatch")->id = id;
        pml_buffer_flush(buffer, 0, 0);
    }
    void notify(const int code) override
    {
        ui_driver_trace_add("notify " + std::to_string(id) + " " + std::to_string(code));
    }
};

// A group that hands none of its components out.
class private_group_t : public ui_group_t {
public:
    bool public_component(const ui_view_t*) const override { return false; }
};

template <typename type_t> entity_t* create_test(void* memory) { return memory ? new (memory) type_t : new type_t; }
template <typename type_t> void destroy_test(entity_t* object, const bool in_place)
{
    if (in_place)
        static_cast<type_t*>(object)->~type_t();
    else
        delete static_cast<type_t*>(object);
}
template <typename type_t> constexpr entity_reg_t test_type(const char* name)
{
    return entity_reg_t{name, 0, {0, 0, 0}, sizeof(type_t), create_test<type_t>, destroy_test<type_t>};
}

// A game window: swatch `swatch` (with help text), a swatch without help text (id swatch + 1) and the
// help line, under `handler`.
std::string game_script(const int swatch, const char* handler = "ui.handler.test.game")
{
    return "entity " + std::string(handler) + " { }\n" + R"(entity ui.window {
    rect = 0 1024 768 0;
    entity ui.comp.test.swatch { id = )" +
           std::to_string(swatch) + R"(; rect = 100 200 600 500; tooltip = "@@qh_new_career@@"; }
    entity ui.comp.test.swatch { id = )" +
           std::to_string(swatch + 1) + R"(; rect = 300 400 600 500; }
    entity ui.comp.test.help_line { id = 999; rect = 0 1024 40 0; }
}
)";
}

class ui_handler_game_base_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
        static const entity_reg_t types[] = {
            test_type<help_line_t>("ui.comp.test.help_line"), test_type<swatch_t>("ui.comp.test.swatch"),
            test_type<private_group_t>("ui.comp.test.private_group"),
            registered_type<test_game_handler_t>("ui.handler.test.game", 0, destroy_registered)};
        for (const entity_reg_t& type : types)
            if (!entity_find_type(type.type_name)) {
                ASSERT_TRUE(entity_register(&type));
            }
        ui_driver_register_trace_handler();
        write_data_file("sounds/ui/click.ogg", std::string(1600, 'c'));
        write_data_file("ui/a.esc", game_script(10));
        write_data_file("ui/b.esc", game_script(20));
    }

    // Inserts a window from "/ui/<name>.esc" in group "test".
    static c_item_t* insert(const char* name, const bool shown)
    {
        return ui_winsert("test", name, 0, ("/ui/" + std::string(name) + ".esc").c_str(), shown);
    }
    static test_game_handler_t& handler_of(c_item_t* window)
    {
        return *static_cast<test_game_handler_t*>(ui_driver_window(window)->handler_item->object);
    }
    static bool visible(c_item_t* window) { return ui_driver_window(window)->visible; }
    static std::string help_line(c_item_t* window) { return ui_driver_get(ui_driver_find(window, 999), "value"); }
    static uint8_t& help_mark(c_item_t* window)
    {
        return static_cast<help_line_t*>(ui_driver_find(window, 999))->line_status;
    }

    // One frame of `seconds`, the UI's frame pass included; what was drawn is kept until the next one.
    static void frame(const double seconds)
    {
        engine_run_frames(1, seconds);
        pml_draw_clear();
        ui_process();
    }
    // The colours swatch `id` was drawn with in the last frame, in order.
    static std::vector<unsigned> drawn(const int id)
    {
        std::vector<unsigned> colours;
        for (const pml_drawn_t& item : pml_drawn())
            if (item.item.id == id)
                colours.push_back(item.drawn_color);
        return colours;
    }
    static int plays()
    {
        snd_state_t state;
        return snd_record_state(ui_click_sound(), state) ? state.plays : -1;
    }
    static void send(c_item_t* window, const int id, const int code)
    {
        ui_view_t* view = ui_driver_find(window, id);
        ui_press_param_t pressed{1};
        view->action(view, code, &pressed);
    }
};

TEST_F(ui_handler_game_base_test, a_new_handler_fades_clicks_and_has_no_fade_or_help_state)
{
    c_item_t* a = insert("a", false);
    ASSERT_NE(a, nullptr);
    const test_game_handler_t& handler = handler_of(a);
    EXPECT_EQ(handler.fade_enabled, 1u);
    EXPECT_EQ(handler.fade_state, 0);
    EXPECT_EQ(handler.fade_target, nullptr);
    EXPECT_EQ(handler.fade_show_param, 0u);
    EXPECT_EQ(handler.fade_alpha, 0.0f);
    EXPECT_EQ(handler.click_muted, 0u);
    EXPECT_EQ(handler.help_view, nullptr);
    EXPECT_EQ(handler.help_shown + handler.show_flag + handler.fading, 0);
    EXPECT_STREQ(handler.get_type_name(), "ui.handler.test.game");
    EXPECT_EQ(help_line(a), " ") << "creating the window blanks its help line";
    EXPECT_TRUE(help_mark(a) & evalue_changed);
}

TEST_F(ui_handler_game_base_test, click_sound_is_loaded_by_the_first_window_and_freed_with_the_last)
{
    c_item_t* a = insert("a", true);
    snd_sound_t* const sound = ui_click_sound();
    ASSERT_NE(sound, nullptr);
    snd_state_t state;
    ASSERT_TRUE(snd_record_state(sound, state));
    EXPECT_EQ(state.path, "/sounds/ui/click.ogg");
    EXPECT_EQ(state.flags, 0u);
    EXPECT_EQ(state.tag, 20);

    c_item_t* b = insert("b", false);
    EXPECT_EQ(ui_click_sound(), sound) << "the second window shares the sound";
    EXPECT_EQ(snd_record_live(), 1);
    EXPECT_EQ(ui_click_sound_users(), 2);

    ui_wremove(a);
    EXPECT_EQ(ui_click_sound(), sound);
    EXPECT_EQ(snd_record_live(), 1);
    ui_wremove(b);
    EXPECT_EQ(ui_click_sound(), nullptr);
    EXPECT_EQ(snd_record_live(), 0);
    EXPECT_EQ(ui_click_sound_users(), 0);

    // A release nobody took is ignored; the next window loads the sound again.
    ui_click_sound_release();
    EXPECT_EQ(ui_click_sound_users(), 0);
    insert("a", false);
    EXPECT_NE(ui_click_sound(), nullptr);
    EXPECT_EQ(ui_click_sound_users(), 1);
}

TEST_F(ui_handler_game_base_test, presses_and_selections_click_unless_muted_or_the_window_is_hidden)
{
    c_item_t* a = insert("a", true);
    test_game_handler_t& handler = handler_of(a);
    struct click_case_t {
        int code;
        bool muted;
        bool shown;
        int clicks;
    };
    const click_case_t cases[] = {
        {ui_action_pressed, false, true, 1},    {ui_action_item_selected, false, true, 1},
        {ui_action_pointer_up, false, true, 0}, {ui_action_item_activated, false, true, 0},
        {ui_action_pressed, true, true, 0},     {ui_action_item_selected, true, true, 0},
        {ui_action_pressed, false, false, 0},
    };
    for (const click_case_t& test : cases) {
        handler.click_muted = test.muted ? 1 : 0;
        test.shown ? ui_wshow(a, 0) : ui_whide(a);
        const int before = plays();
        send(a, 10, test.code);
        EXPECT_EQ(plays() - before, test.clicks) << "code " << test.code << " muted " << test.muted;
    }
}

TEST_F(ui_handler_game_base_test, without_the_click_sound_presses_are_silent)
{
    std::filesystem::remove(data_root_ / "sounds/ui/click.ogg");
    c_item_t* a = insert("a", true);
    EXPECT_EQ(ui_click_sound(), nullptr);
    EXPECT_EQ(ui_click_sound_users(), 1);
    send(a, 10, ui_action_pressed);
    ui_wremove(a);
    EXPECT_EQ(ui_click_sound_users(), 0);
}

TEST_F(ui_handler_game_base_test, hovered_help_text_reaches_the_help_line_once_on_the_next_frame)
{
    c_item_t* a = insert("a", true);
    const ui_view_t* with_help = ui_driver_find(a, 10);
    help_mark(a) = 0;

    // A component without help text is not tracked.
    ui_driver_move(350, 550);
    frame(0.01);
    EXPECT_EQ(handler_of(a).help_view, nullptr);
    EXPECT_EQ(help_mark(a), 0);

    ui_driver_move(150, 550);
    EXPECT_EQ(handler_of(a).help_view, with_help);
    EXPECT_EQ(help_line(a), " ") << "written on the next frame, not at once";
    frame(0.01);
    EXPECT_EQ(help_line(a), "@@qh_new_career@@");
    EXPECT_EQ(handler_of(a).help_shown, 1);
    EXPECT_TRUE(help_mark(a) & evalue_changed) << "set through the property's setter";
    help_mark(a) = 0;
    frame(0.01);
    EXPECT_EQ(help_mark(a), 0) << "written once";

    // Entering a component without help text, or leaving one that is not tracked, changes nothing.
    send(a, 11, ui_action_enter);
    send(a, 11, ui_action_leave);
    frame(0.01);
    EXPECT_EQ(help_line(a), "@@qh_new_career@@");
    EXPECT_EQ(help_mark(a), 0);
    EXPECT_EQ(handler_of(a).help_view, with_help);

    // Leaving the tracked component blanks the line at once.
    ui_driver_move(700, 300);
    EXPECT_EQ(help_line(a), " ");
    EXPECT_EQ(handler_of(a).help_view, nullptr);
    EXPECT_EQ(handler_of(a).help_shown, 0);
}

TEST_F(ui_handler_game_base_test, help_text_of_a_component_taken_out_of_the_window_is_not_written)
{
    c_item_t* a = insert("a", true);
    ui_driver_move(150, 550);
    ui_view_t* with_help = ui_driver_find(a, 10);
    ui_window_t* window = ui_driver_window(a);
    ASSERT_TRUE(window->remove_child(with_help));
    frame(0.01);
    EXPECT_EQ(help_line(a), " ");
    EXPECT_EQ(handler_of(a).help_view, nullptr);
    ASSERT_TRUE(window->insert_child(with_help, nullptr));
}

TEST_F(ui_handler_game_base_test, help_line_is_found_where_the_window_hands_it_out)
{
    struct line_case_t {
        const char* name;
        const char* components;
        const char* expected;  // the value of the component with id 999 ("" when there is none)
    };
    const line_case_t cases[] = {
        {"direct", R"(entity ui.comp.test.help_line { id = 999; })", "go"},
        {"in a group", R"(entity ui.comp.group { id = 5; entity ui.comp.test.help_line { id = 999; } })", "go"},
        {"in a private group",
         R"(entity ui.comp.test.private_group { id = 5; entity ui.comp.test.help_line { id = 999; } })", ""},
        {"first of two", R"(entity ui.comp.test.help_line { id = 999; } entity ui.comp.test.help_line { id = 999; })",
         "go"},
        {"a line without a value", R"(entity ui.comp.test.swatch { id = 999; })", ""},
        {"none", R"(entity ui.comp.test.swatch { id = 7; })", ""},
    };
    for (const line_case_t& test : cases) {
        write_data_file("ui/line.esc", std::string("entity ui.handler.test.game { }\nentity ui.window { rect = 0 1024 "
                                                   "768 0; ") +
                                           test.components + " }\n");
        c_item_t* window = insert("line", true);
        ASSERT_NE(window, nullptr) << test.name;
        handler_of(window).set_quick_help("go");
        ui_view_t* line = ui_driver_find(window, 999);
        const std::string value = line ? ui_driver_get(line, "value") : "";
        EXPECT_EQ(value == "go", std::string(test.expected) == "go") << test.name;
        handler_of(window).set_quick_help(nullptr);
        EXPECT_EQ(line ? ui_driver_get(line, "value") : "", value) << "a null text is ignored: " << test.name;
        ui_wremove(window);
    }
}

TEST_F(ui_handler_game_base_test, switching_to_the_own_window_fades_it_in_over_half_a_second)
{
    c_item_t* a = insert("a", true);
    test_game_handler_t& handler = handler_of(a);
    handler.switch_window(a, 5);
    EXPECT_EQ(handler.fade_state, 1);
    EXPECT_EQ(handler.fade_alpha, 0.0f);
    EXPECT_EQ(handler.fade_target, a);
    EXPECT_EQ(handler.fade_show_param, 5u);

    ui_driver_trace_clear();
    const unsigned alphas[] = {63, 127, 191, 255};  // 63.75 a frame of 1/8 s, truncated
    for (const unsigned alpha : alphas) {
        frame(0.125);
        EXPECT_TRUE(visible(a));
        EXPECT_EQ(handler.fading, 1);
        // Drawn faded first (the frame pass then draws it as usual).
        EXPECT_EQ(drawn(10), (std::vector<unsigned>{alpha << 24 | 0xFFFFFFu, 0xFFFFFFFFu})) << alpha;
    }
    EXPECT_EQ(handler.fade_alpha, 255.0f);
    EXPECT_EQ(handler.fade_state, 1) << "ends only once past full opacity";
    frame(0.125);
    EXPECT_EQ(handler.fade_state, 0);
    EXPECT_EQ(handler.fading, 0);
    EXPECT_EQ(drawn(10), (std::vector<unsigned>{0xFFFFFFFFu, 0xFFFFFFFFu}));
    frame(0.125);
    EXPECT_EQ(drawn(10), std::vector<unsigned>{0xFFFFFFFFu}) << "idle: drawn once";
    // Every faded draw first told the window's views to rebuild.
    int notifications = 0;
    for (const std::string& line : ui_driver_trace())
        notifications += line == "notify 10 " + std::to_string(ui_notify_rebuild);
    EXPECT_EQ(notifications, 5);
}

TEST_F(ui_handler_game_base_test, a_frame_of_a_second_ends_a_fade_and_still_draws_it_once_clamped)
{
    c_item_t* a = insert("a", true);
    test_game_handler_t& handler = handler_of(a);
    handler.switch_window(a, 0);
    frame(1.0);
    EXPECT_EQ(handler.fade_state, 0);
    EXPECT_EQ(handler.fade_alpha, 255.0f);
    EXPECT_EQ(drawn(10), (std::vector<unsigned>{0xFFFFFFFFu, 0xFFFFFFFFu}));

    c_item_t* b = insert("b", false);
    handler.switch_window(b, 0);
    frame(2.0);
    EXPECT_EQ(handler.fade_state, 0);
    EXPECT_FALSE(visible(a));
    EXPECT_TRUE(visible(b));
    EXPECT_EQ(drawn(10).front(), 0xFFFFFFFFu) << "the last step draws at the reset opacity";
}

TEST_F(ui_handler_game_base_test, fading_out_hides_the_window_and_shows_the_target_through_its_handler)
{
    c_item_t* a = insert("a", true);
    c_item_t* b = insert("b", false);
    test_game_handler_t& leaving = handler_of(a);
    leaving.switch_window(b, 7);
    EXPECT_EQ(leaving.fade_state, -1);
    EXPECT_EQ(leaving.fade_alpha, 255.0f);

    frame(0.25);
    EXPECT_EQ(drawn(10).front(), 127u << 24 | 0xFFFFFFu);
    frame(0.25);
    EXPECT_EQ(drawn(10).front(), 0x00FFFFFFu) << "exactly 0 is not yet below it";
    EXPECT_TRUE(visible(a));
    EXPECT_FALSE(visible(b));
    frame(0.25);
    EXPECT_FALSE(visible(a));
    EXPECT_TRUE(visible(b));
    EXPECT_EQ(ui_driver_window(b)->show_param, 7u);
    EXPECT_EQ(leaving.fade_state, 0);
    EXPECT_EQ(leaving.fade_alpha, 255.0f);
    EXPECT_EQ(handler_of(b).fade_state, 1) << "the target fades in";
    frame(0.25);
    EXPECT_EQ(handler_of(b).fade_state, 1);
    frame(0.25);
    EXPECT_EQ(handler_of(b).fade_state, 0);
}

TEST_F(ui_handler_game_base_test, switching_without_fading_or_to_unusual_targets)
{
    write_data_file("ui/bare.esc", "entity ui.window { rect = 0 1024 768 0; }\n");
    write_data_file("ui/traced.esc", game_script(30, "ui.handler.test.trace"));
    c_item_t* a = insert("a", true);
    c_item_t* b = insert("b", false);
    c_item_t* bare = insert("bare", false);
    c_item_t* traced = insert("traced", false);
    test_game_handler_t& handler = handler_of(a);

    // Fading off: at once.
    handler.fade_enabled = 0;
    handler.switch_window(b, 3);
    EXPECT_FALSE(visible(a));
    EXPECT_TRUE(visible(b));
    EXPECT_EQ(ui_driver_window(b)->show_param, 3u);
    EXPECT_EQ(handler_of(b).fade_state, 0);
    handler.show_window(a, 0);
    EXPECT_TRUE(visible(a));
    EXPECT_EQ(handler.fade_state, 0) << "no fade-in with fading off";
    handler.switch_window(nullptr, 0);
    EXPECT_FALSE(visible(a)) << "no target: only hidden";

    struct target_case_t {
        const char* name;
        c_item_t* target;
        bool shown;
    };
    const target_case_t cases[] = {{"no target", nullptr, false},
                                   {"a window without a handler", bare, false},
                                   {"a window whose handler does not fade", traced, true}};
    handler.fade_enabled = 1;
    for (const target_case_t& test : cases) {
        ui_wshow(a, 0);
        handler.switch_window(test.target, 0);
        frame(1.0);
        EXPECT_FALSE(visible(a)) << test.name;
        if (test.target) {
            EXPECT_EQ(visible(test.target), test.shown) << test.name;
        }
    }
}

TEST_F(ui_handler_game_base_test, a_fade_target_removed_during_the_fade_is_not_shown)
{
    c_item_t* a = insert("a", true);
    c_item_t* b = insert("b", false);
    handler_of(a).switch_window(b, 0);
    frame(0.25);
    ui_wremove(b);
    frame(1.0);
    EXPECT_FALSE(visible(a));
    EXPECT_EQ(ui_wget("test", "b"), nullptr);
    ui_wremove(a);
}

TEST_F(ui_handler_game_base_test, show_window_starts_a_fade_in_but_does_not_restart_a_running_one)
{
    c_item_t* a = insert("a", false);
    test_game_handler_t& handler = handler_of(a);
    handler.show_window(a, 4);
    EXPECT_TRUE(visible(a));
    EXPECT_EQ(ui_driver_window(a)->show_param, 4u);
    EXPECT_EQ(handler.fade_state, 1);
    EXPECT_EQ(handler.fade_alpha, 0.0f);

    frame(0.125);
    handler.show_window(a, 6);
    EXPECT_EQ(handler.fade_state, 1);
    EXPECT_EQ(handler.fade_alpha, 63.75f);
    EXPECT_EQ(ui_driver_window(a)->show_param, 6u);
}

TEST_F(ui_handler_game_base_test, showing_the_window_clears_show_flag)
{
    c_item_t* a = insert("a", false);
    test_game_handler_t& handler = handler_of(a);
    handler.show_flag = 1;
    ui_wshow(a, 0);
    EXPECT_EQ(handler.show_flag, 0);
}

}  // namespace
