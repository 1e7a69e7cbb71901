#include <string>
#include <vector>

#include "engine/cache.h"
#include "engine/command.h"
#include "engine/log.h"
#include "engine/pml_draw.h"
#include "engine/ui_action.h"
#include "engine_testing/engine_test.h"
#include "engine_testing/ui_driver.h"
#include "ui_test_views.h"

namespace {

// A menu window: nested groups 10 > 20 holding text 100 and button 200, and button 999 that closes it.
constexpr const char* menu_script = R"(
// the test menu
entity ui.handler.test.trace { }
entity ui.window {
    rect = 0 1024 768 0;
    entity ui.comp.group {
        id = 10;
        rect = 100 500 700 100;
        entity ui.comp.group {
            id = 20;
            fitting = true;
            entity ui.comp.test_text { id = 100; rect = 100 300 700 650; layer = 1; text = "Hello"; }
            entity ui.comp.test_button { id = 200; rect = 100 200 600 560; tooltip = "@@qh_go@@"; }
        }
    }
    entity ui.comp.test_button { id = 999; rect = 900 1000 100 50; }
}
)";

class ui_window_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ui_test_views_register();
        write_data_file("ui/menu.esc", menu_script);
    }

    // The trace entries since the last clear that are not per-frame handler calls.
    std::vector<std::string> events_without_frames()
    {
        std::vector<std::string> out;
        for (const std::string& line : ui_driver_trace())
            if (line != "handler" && line != "pre_wdraw" && line != "post_wdraw")
                out.push_back(line);
        return out;
    }
};

TEST_F(ui_window_test, scripted_window_is_built_found_and_set_up_before_its_handler_hears_of_it)
{
    c_item_t* window = ui_winsert("menu", "main", 0, "/ui/menu.esc", true);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ui_wget("menu", "main"), window);
    EXPECT_EQ(ui_wget("menu", "other"), nullptr);
    EXPECT_EQ(window->class_flags & ui_class_window, ui_class_window);
    EXPECT_EQ(ui_driver_trace(), (std::vector<std::string>{"init 100", "setup 100", "create", "show"}));

    ui_view_t* text = ui_driver_find(window, 100);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->parent_group->id, 20);
    EXPECT_EQ(text->parent_group->parent_group->id, 10);
    EXPECT_EQ(text->window(), ui_driver_window(window));
    // The cache items mirror the tree: group 20's item holds the text's and the button's in order.
    c_item_t* group_item = ui_driver_find(window, 20)->item;
    ASSERT_NE(group_item->first_child, nullptr);
    EXPECT_EQ(group_item->first_child, text->item);
    EXPECT_EQ(group_item->first_child->next_sibling, ui_driver_find(window, 200)->item);
    EXPECT_EQ(ui_driver_get(ui_driver_find(window, 200), "tooltip"), "@@qh_go@@");
}

TEST_F(ui_window_test, ui_t_command_toggles_the_named_window)
{
    c_item_t* window = ui_winsert("system_02", "console", 9, "/ui/menu.esc", false);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(ui_driver_window(window)->visible);
    ASSERT_TRUE(cmd_execute("ui t console:system_02"));
    EXPECT_TRUE(ui_driver_window(window)->visible);
    EXPECT_TRUE(engine_log_has("ui: window console:system_02 shown"));
    ASSERT_TRUE(cmd_execute("ui T console:system_02"));
    EXPECT_FALSE(ui_driver_window(window)->visible);
    EXPECT_TRUE(engine_log_has("ui: window console:system_02 hidden"));

    // Bad lines are reported and change nothing.
    for (const char* line : {"ui", "ui t", "ui x console:system_02", "ui t console", "ui t :system_02",
                             "ui t console:", "ui t console:system_02 more"}) {
        cmd_execute(line);
        EXPECT_FALSE(ui_driver_window(window)->visible) << line;
    }
    EXPECT_EQ(engine_log_matching("usage: ui t NAME:GROUP").size(), 7u);
    cmd_execute("ui t missing:system_02");
    EXPECT_TRUE(engine_log_has("ui: no window missing in group system_02"));
}

TEST_F(ui_window_test, text_set_by_name_is_marked_changed_and_rendered_again_next_frame)
{
    c_item_t* window = ui_winsert("menu", "main", 0, "/ui/menu.esc", true);
    auto* text = static_cast<ui_test_text_t*>(ui_driver_find(window, 100));
    ui_process();
    EXPECT_EQ(text->renders, 1);
    EXPECT_EQ(ui_driver_layer_text(window, 1), "Hello");

    ASSERT_TRUE(ui_driver_set(text, "text", "Goodbye"));
    EXPECT_NE(text->text_status & evalue_changed, 0);
    EXPECT_EQ(ui_driver_layer_text(window, 1), "Hello");  // nothing happens until the frame
    pml_draw_clear();
    ui_process();
    EXPECT_EQ(text->text_status & evalue_changed, 0);
    EXPECT_EQ(text->renders, 2);
    EXPECT_EQ(ui_driver_layer_text(window, 1), "Goodbye");
    EXPECT_EQ(ui_driver_drawn_text(), "Goodbye");
    ui_process();
    EXPECT_EQ(text->renders, 2);  // staying on screen renders nothing again
}

TEST_F(ui_window_test, button_click_reaches_the_handler_through_the_groups)
{
    c_item_t* window = ui_winsert("menu", "main", 0, "/ui/menu.esc", true);
    ui_process();
    ui_driver_trace_clear();
    ui_view_t* button = ui_driver_find(window, 200);
    EXPECT_TRUE(ui_driver_click(button));
    // Enter, the move over it, the press, then the release half of the click as code 2 with byte 0.
    EXPECT_EQ(events_without_frames(),
              (std::vector<std::string>{"handle 200 0", "handle 200 15", "handle 200 12", "handle 200 2 0"}));
    ui_driver_trace_clear();
    ui_driver_move(10.0f, 10.0f);  // leaving the button for the bare window (id -1)
    EXPECT_EQ(events_without_frames(), (std::vector<std::string>{"handle 200 1", "handle -1 15"}));
}

TEST_F(ui_window_test, show_hide_and_frame_hooks_run_in_order)
{
    c_item_t* window = ui_winsert("menu", "main", 0, "/ui/menu.esc", false);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(ui_driver_window(window)->visible);
    ui_process();
    EXPECT_EQ(ui_driver_trace(), (std::vector<std::string>{"init 100", "setup 100", "create", "handler"}));

    ui_driver_trace_clear();
    ui_wshow(window, 0x20000000);
    EXPECT_EQ(ui_driver_window(window)->show_param, 0x20000000u);
    ui_process();
    ui_whide(window);
    ui_whide(window);  // hiding twice tells the handler once
    ui_process();
    ui_wremove(window);
    EXPECT_EQ(ui_driver_trace(),
              (std::vector<std::string>{"show", "handler", "pre_wdraw", "post_wdraw", "hide", "handler", "destroy"}));
    EXPECT_EQ(ui_wget("menu", "main"), nullptr);
}

TEST_F(ui_window_test, a_handler_may_remove_its_own_window_while_handling_a_click)
{
    c_item_t* window = ui_winsert("menu", "main", 0, "/ui/menu.esc", true);
    ci_inc_refs(window);  // kept by the test, as a screen keeps a window it inserted
    ui_process();
    ui_driver_trace_clear();
    ui_driver_click(ui_driver_find(window, 999));
    EXPECT_EQ(events_without_frames(), (std::vector<std::string>{"handle 999 0", "handle 999 15", "handle 999 12",
                                                                 "handle 999 2 0", "destroy"}));
    EXPECT_EQ(window->object, nullptr);  // the kept item no longer resolves
    EXPECT_EQ(ui_driver_window(window), nullptr);
    ui_wshow(window, 0);  // harmless on a dead window
    ci_dec_refs(window);
    ui_process();
}

TEST_F(ui_window_test, per_frame_handlers_run_for_every_window_before_visible_windows_draw)
{
    write_data_file("ui/second.esc", "entity ui.handler.test.trace { } entity ui.window { }");
    c_item_t* first = ui_winsert("menu", "main", 0, "/ui/menu.esc", true);
    c_item_t* second = ui_winsert("menu", "second", 0, "/ui/second.esc", true);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ui_process();
    ui_driver_trace_clear();
    ui_process();
    EXPECT_EQ(ui_driver_trace(),
              (std::vector<std::string>{"handler", "handler", "pre_wdraw", "post_wdraw", "pre_wdraw", "post_wdraw"}));
}

struct bad_script_t {
    const char* script;
    const char* message;  // part of the error naming file and line
};

TEST_F(ui_window_test, bad_scripts_give_a_message_and_no_window)
{
    const bad_script_t cases[] = {
        {"entity ui.window { entity ui.comp.nothing { } }", "/ui/bad.esc:1:"},
        {"entity ui.window {\n id = many; }", "/ui/bad.esc:2:"},
        {"entity ui.window { rect = 1 2 3; }", "rect needs four numbers"},
        {"entity ui.window { colour = 3; }", "property \"colour\""},
        {"entity ui.handler.test.trace { }", "no window"},
        {"entity ui.window { } entity ui.window { }", "a second window"},
        {"entity ui.comp.test_text { }", "is not a window"},
        {"entity ui.window { entity ui.window { } }", "a window cannot sit inside a window"},
        {"entity ui.window { entity ui.comp.test_text { entity ui.comp.test_text { } } }", "cannot hold components"},
        {"entity ui.handler.test.trace { } entity ui.handler.test.trace { } entity ui.window { }", "a second handler"},
        {"entity ui.window { entity ui.handler.test.trace { } }", "is not a UI component"},
        {"entity ui.window { ", "/ui/bad.esc:1:"},
    };
    for (const bad_script_t& c : cases) {
        SCOPED_TRACE(c.script);
        write_data_file("ui/bad.esc", c.script);
        log_clear_capture();
        ui_driver_trace_clear();
        EXPECT_EQ(ui_winsert("menu", "bad", 0, "/ui/bad.esc", true), nullptr);
        EXPECT_FALSE(engine_log_matching(c.message).empty());
        EXPECT_FALSE(engine_log_matching("cannot insert window \"bad:menu\"").empty());
        EXPECT_EQ(ui_wget("menu", "bad"), nullptr);
        for (const std::string& line : ui_driver_trace())
            EXPECT_NE(line, "create");
    }
    log_clear_capture();
    EXPECT_EQ(ui_winsert("menu", "gone", 0, "/ui/missing.esc", true), nullptr);
    EXPECT_FALSE(engine_log_matching("/ui/missing.esc").empty());
    EXPECT_TRUE(cache_leak_report().empty());
}

TEST_F(ui_window_test, spawned_view_is_inserted_before_an_anchor)
{
    c_item_t* window = ui_winsert("menu", "main", 0, "/ui/menu.esc", true);
    c_item_t* spawned = ui_spawn_ci("ui.comp.test_text");
    ASSERT_NE(spawned, nullptr);
    ASSERT_TRUE(ui_init_ci(spawned));
    ui_view_t* view = static_cast<ui_view_t*>(spawned->object);
    view->id = 300;
    ui_view_t* anchor = ui_driver_find(window, 200);
    ASSERT_TRUE(ui_driver_window(window)->insert_view(view, anchor));
    const std::vector<ui_view_t*>& row = anchor->parent_group->children;
    ASSERT_EQ(row.size(), 3u);
    EXPECT_EQ(row[1], view);
    EXPECT_EQ(ui_driver_find(window, 20)->item->first_child->next_sibling, spawned);
    EXPECT_FALSE(ui_driver_window(window)->insert_view(view, nullptr));  // already placed
    EXPECT_EQ(ui_spawn_ci("ui.window"), nullptr);
    EXPECT_EQ(ui_spawn_ci("ui.comp.unknown"), nullptr);
}

TEST_F(ui_window_test, fitting_group_takes_the_box_around_its_children)
{
    c_item_t* window = ui_winsert("menu", "main", 0, "/ui/menu.esc", true);
    ui_process();
    const pml_rect_t& box = ui_driver_find(window, 20)->rect;
    EXPECT_FLOAT_EQ(box.left, 100.0f);
    EXPECT_FLOAT_EQ(box.right, 300.0f);
    EXPECT_FLOAT_EQ(box.top, 700.0f);
    EXPECT_FLOAT_EQ(box.bottom, 560.0f);
}

}  // namespace
