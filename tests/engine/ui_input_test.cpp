#include <string>
#include <vector>

#include "engine/cache.h"
#include "engine/frame.h"
#include "engine/gfx_view.h"
#include "engine/input_queue.h"
#include "engine/pml_draw.h"
#include "engine/ui_action.h"
#include "engine/ui_draw3d.h"
#include "engine_testing/engine_test.h"
#include "engine_testing/ui_driver.h"
#include "ui_test_views.h"

namespace {

// A form: three input views in tab order 2, 0, 1 and a text that is not in the tab order.
constexpr const char* form_script = R"(
entity ui.handler.test.trace { }
entity ui.window {
    rect = 0 1024 768 0;
    entity ui.comp.test_input { id = 1; rect = 0 100 700 650; tab = 2; }
    entity ui.comp.test_input { id = 2; rect = 0 100 600 550; tab = 0; }
    entity ui.comp.group {
        entity ui.comp.test_input { id = 3; rect = 0 100 500 450; tab = 1; }
    }
    entity ui.comp.test_text { id = 4; rect = 200 400 700 650; text = "x"; }
}
)";

class ui_input_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ui_test_views_register();
        write_data_file("ui/form.esc", form_script);
        write_data_file("ui/pointer.esc",
                        "entity ui.window { rect = 0 16 16 0; "
                        "entity ui.comp.test_text { id = 100; rect = 0 100 16 0; text = \"tip\"; } }");
        window_ = ui_winsert("dialog", "form", 0, "/ui/form.esc", true);
        ASSERT_NE(window_, nullptr);
        ui_process();
        ui_driver_trace_clear();
    }

    int focus_id() const
    {
        const ui_view_t* view = ui_driver_window(window_)->focus_view;
        return view ? view->id : -1;
    }

    c_item_t* window_ = nullptr;
};

TEST_F(ui_input_test, clicking_an_input_view_focuses_it_and_keys_go_to_it_then_to_its_window)
{
    ui_driver_click(ui_driver_find(window_, 1));
    EXPECT_EQ(focus_id(), 1);
    ui_driver_trace_clear();
    ui_driver_stroke(ui_key_escape);
    // A key the focused view does not use reaches the window's own view too.
    EXPECT_EQ(ui_driver_trace(), (std::vector<std::string>{"handle 1 7", "handle -1 7", "handle 1 8", "handle -1 8"}));
    ui_driver_click(ui_driver_find(window_, 4));  // a view without input takes the focus away
    EXPECT_EQ(focus_id(), -1);
    ui_driver_trace_clear();
    ui_driver_stroke(ui_key_escape);  // keys without a focused view go to the window
    EXPECT_EQ(ui_driver_trace(), (std::vector<std::string>{"handle -1 7", "handle -1 8"}));
}

TEST_F(ui_input_test, tab_walks_the_tab_order_and_shift_tab_walks_back)
{
    ui_window_t* window = ui_driver_window(window_);
    window->focus(ui_driver_find(window_, 2));
    ui_event_t tab;
    tab.type = ui_event_key;
    tab.down = 1;
    tab.scan = ui_key_tab;
    std::vector<int> order;
    for (int i = 0; i < 4; ++i) {
        ui_event_t event = tab;
        EXPECT_TRUE(window->focus_view->handle_tab(&event));
        EXPECT_TRUE(event.consumed());
        order.push_back(focus_id());
    }
    EXPECT_EQ(order, (std::vector<int>{3, 1, 2, 3}));
    ui_event_t back = tab;
    back.modifiers = ui_mod_shift;
    window->focus_view->handle_tab(&back);
    EXPECT_EQ(focus_id(), 2);
    ui_driver_trace_clear();
    window->focus(ui_driver_find(window_, 1));
    EXPECT_EQ(ui_driver_trace(), (std::vector<std::string>{"handle 2 17"}));  // the old focus hears it lost it
}

TEST_F(ui_input_test, a_capturing_view_gets_every_event_until_it_is_released)
{
    ui_window_t* window = ui_driver_window(window_);
    ui_view_t* first = ui_driver_find(window_, 1);
    window->capture_events(first, true, false);
    ui_driver_move(900.0f, 100.0f);  // far outside the view
    ui_driver_stroke(ui_key_enter);
    EXPECT_EQ(ui_driver_trace(), (std::vector<std::string>{"handle 1 15", "handle 1 7", "handle 1 8"}));
    window->capture_events(ui_driver_find(window_, 2), false, true);  // not the capturing view: nothing
    EXPECT_EQ(window->capture_view, first);
    window->capture_events(first, false, true);
    EXPECT_EQ(window->capture_view, nullptr);
    ui_driver_trace_clear();
    ui_driver_move(900.0f, 100.0f);
    EXPECT_EQ(ui_driver_trace(), (std::vector<std::string>{"handle -1 15"}));
}

TEST_F(ui_input_test, events_reach_the_front_window_and_stop_at_a_modal_one)
{
    write_data_file("ui/box.esc",
                    "entity ui.handler.test.trace { } entity ui.window { id = 50; rect = 300 700 500 300; }");
    c_item_t* box = ui_winsert("dialog", "box", 0, "/ui/box.esc", false);
    ui_wshow(box, 0);
    ui_driver_trace_clear();
    ui_driver_move(10.0f, 10.0f);  // outside the box: the form behind takes it
    EXPECT_EQ(ui_driver_trace(), (std::vector<std::string>{"handle -1 15"}));
    ui_driver_trace_clear();
    ui_driver_move(400.0f, 400.0f);
    EXPECT_EQ(ui_driver_trace(), (std::vector<std::string>{"handle 50 15"}));
    ui_whide(box);
    ui_wshow(box, 0x20000000);
    ui_driver_trace_clear();
    ui_driver_move(10.0f, 10.0f);  // a modal box keeps the form behind from the pointer
    EXPECT_EQ(ui_driver_trace(), (std::vector<std::string>{}));
}

TEST_F(ui_input_test, pointer_window_follows_the_pointer_and_draws_on_top)
{
    ASSERT_TRUE(ui_pinsert(0, "/ui/pointer.esc"));
    EXPECT_FALSE(ui_pinsert(8, "/ui/pointer.esc"));
    EXPECT_FALSE(ui_pinsert(1, "/ui/missing.esc"));
    ui_pshow(0);
    ui_driver_move(300.0f, 200.0f);
    pml_draw_clear();
    ui_process();
    ui_window_t* pointer = ui_driver_window(ui_pget(0));
    ASSERT_NE(pointer, nullptr);
    EXPECT_FLOAT_EQ(pointer->rect.left, 300.0f);
    EXPECT_FLOAT_EQ(pointer->rect.top, 200.0f);
    EXPECT_EQ(ui_driver_drawn_text(), "xtip");  // the form first, the pointer's text last
    ui_pshow(-1);
    pml_draw_clear();
    ui_process();
    EXPECT_EQ(ui_driver_drawn_text(), "x");
    ui_premove(0);
    EXPECT_EQ(ui_pget(0), nullptr);
}

TEST_F(ui_input_test, replacing_a_pointer_ends_the_old_one)
{
    write_data_file("ui/traced_pointer.esc", "entity ui.handler.test.trace { } entity ui.window { rect = 0 16 16 0; }");
    ASSERT_TRUE(ui_pinsert(2, "/ui/traced_pointer.esc"));
    c_item_t* first = ui_pget(2);
    ui_driver_trace_clear();
    ASSERT_TRUE(ui_pinsert(2, "/ui/traced_pointer.esc"));
    EXPECT_NE(ui_pget(2), first);
    EXPECT_EQ(ui_driver_trace(), (std::vector<std::string>{"create", "destroy"}));
    ui_premove(2);
    EXPECT_EQ(ui_pget(2), nullptr);
}

TEST_F(ui_input_test, window_drawn_in_3d_leaves_the_2d_pass)
{
    ui_wadvance3d(window_);
    pml_draw_clear();
    ui_wdraw3d(window_, {0.0f, 100.0f, 0.0f}, {600.0f, 0.0f, 0.0f}, {0.0f, 480.0f, 0.0f}, false, 0x60FFFFFF);
    ASSERT_EQ(ui_draw3d_record().size(), 1u);
    EXPECT_EQ(ui_draw3d_record()[0].items, 1);
    ASSERT_EQ(pml_drawn().size(), 1u);
    EXPECT_EQ(pml_drawn()[0].drawn_color, 0x60FFFFFFu);
    pml_draw_clear();
    ui_process();
    EXPECT_TRUE(pml_drawn().empty());
}

TEST_F(ui_input_test, recache_renders_every_layer_again)
{
    ui_window_t* window = ui_driver_window(window_);
    ASSERT_FALSE(window->layer_buffers.empty());
    EXPECT_FALSE(window->layer_buffers.front().rebuild);
    ui_recache();
    EXPECT_TRUE(window->layer_buffers.front().rebuild);
    ui_process();
    EXPECT_EQ(ui_driver_layer_text(window_, 0), "x");
}

TEST_F(ui_input_test, control_callback_reads_clicks_accepts_and_cancels)
{
    struct control_case_t {
        ui_event_t event;
        uint32_t mask;
    };
    auto key = [](uint16_t scan, uint8_t down) {
        ui_event_t event;
        event.type = ui_event_key;
        event.scan = scan;
        event.down = down;
        return event;
    };
    auto button = [](uint32_t buttons, uint8_t down) {
        ui_event_t event;
        event.type = ui_event_pointer;
        event.buttons = buttons;
        event.down = down;
        return event;
    };
    const control_case_t cases[] = {
        {button(ui_button_first, 1), ui_control_press},
        {button(ui_button_first, 0), ui_control_release},
        {button(ui_button_second, 1), 0},
        {key(ui_key_enter, 1), ui_control_press},
        {key(ui_key_pad_enter, 0), ui_control_release},
        {key(ui_key_escape, 1), ui_control_cancel},
        {key(ui_key_escape, 0), 0},
        {key(ui_key_up, 1), ui_control_older},
        {key(ui_key_down, 1), ui_control_newer},
        {key(0x1E, 1), 0},
        {key(ui_key_left, 1), ui_control_left},
        {key(ui_key_right, 1), ui_control_right},
        {key(ui_key_right, 0), 0},
    };
    const ui_ctrlcallback_t callback = ui_get_ctrlcallback();
    for (const control_case_t& c : cases)
        EXPECT_EQ(callback(&c.event), c.mask) << c.event.type << " " << c.event.scan << " " << int(c.event.down);
    EXPECT_EQ(callback(nullptr), 0u);
}

}  // namespace

namespace {

TEST_F(ui_input_test, input_of_the_frame_reaches_the_windows_as_events)
{
    gfx_params_t params{};
    gfx_get_params(&params);
    std::vector<inp_event_t> events(4);
    events[0].kind = inp_event_kind_t::cursor;  // to the centre of input view 2, in window pixels
    events[0].x = static_cast<int>(50.0f * static_cast<float>(params.width) / 1024.0f);
    events[0].y = static_cast<int>((768.0f - 575.0f) * static_cast<float>(params.height) / 768.0f);
    events[1].kind = inp_event_kind_t::press;
    events[1].code = 262;  // the first mouse button
    events[2].kind = inp_event_kind_t::press;
    events[2].code = 0x1E;  // A
    events[3].kind = inp_event_kind_t::release;
    events[3].code = 0x1E;
    inp_queue_events(events);
    engine_run_frame(0.02);
    EXPECT_EQ(focus_id(), 2);
    EXPECT_EQ(ui_driver_trace(), (std::vector<std::string>{"handle 2 0", "handle 2 15", "handle 2 12", "handle 2 7",
                                                           "handle -1 7", "handle 2 8", "handle -1 8"}));
}

}  // namespace
