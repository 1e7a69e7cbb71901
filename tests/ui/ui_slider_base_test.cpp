#include "ui/components/ui_slider_base.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/pml_draw.h"
#include "engine/ui_window.h"
#include "ui_fixture.h"

namespace {

// The slider base under a type name of its own, as the components deriving from it have.
class test_slider_t : public ui_slider_base_t {
public:
    const char* get_default_name() const override { return "ui.comp.test.slider"; }
};

entity_t* create_test_slider(void* memory) { return memory ? new (memory) test_slider_t() : new test_slider_t(); }

void destroy_test_slider(entity_t* object, bool in_place)
{
    if (in_place)
        object->~entity_t();
    else
        delete object;
}

const entity_reg_t test_slider_type{"ui.comp.test.slider", 0, {0, 0, 0}, sizeof(test_slider_t), create_test_slider,
                                    destroy_test_slider};

// A horizontal slider 7 (220 wide: a 20-wide knob travels 200 pixels, two per unit of 0..100) and a
// vertical slider 8 of the same size turned upright. Each knob is a 20 x 20 image.
constexpr const char* sliders_body =
    "    entity ui.comp.test.slider { id = 7; rect = 100 320 400 380;\n"
    "        n_background = \"<img src=/t.shd xscale=stretch yscale=stretch>\";\n"
    "        n_pml = \"<img src=/n.shd width=20 height=20>\"; s_pml = \"<img src=/s.shd width=20 height=20>\";\n"
    "        p_pml = \"<img src=/p.shd width=20 height=20>\"; d_pml = \"<img src=/d.shd width=20 height=20>\"; }\n"
    "    entity ui.comp.test.slider { id = 8; rect = 500 520 600 380;\n"
    "        n_pml = \"<img src=/vn.shd width=20 height=20>\"; p_pml = \"<img src=/vp.shd width=20 height=20>\"; }\n";

class ui_slider_base_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        ASSERT_TRUE(entity_register(&test_slider_type));
        window_ = make_window(sliders_body);
        ASSERT_NE(window_, nullptr);
        frame();
        ui_driver_trace_clear();
    }

    ui_slider_base_t* slider(int id) { return dynamic_cast<ui_slider_base_t*>(ui_driver_find(window_, id)); }

    // The slider's lines of the trace for codes 2 (with the value's low byte), 5 and 6.
    static std::vector<std::string> reports()
    {
        std::vector<std::string> lines;
        for (const std::string& line : ui_driver_trace())
            if (line.find(" 2 ") != std::string::npos || line.ends_with(" 5") || line.ends_with(" 6"))
                lines.push_back(line);
        return lines;
    }

    // The layer item drawn with `shader`, or null.
    const pml_item_t* layer_item(const char* shader)
    {
        const ui_layer_entry_t* const entry = ui_driver_window(window_)->layer_entry(0, false);
        if (!entry)
            return nullptr;
        for (const pml_item_t& item : entry->buffer.items())
            if (item.shader == shader)
                return &item;
        return nullptr;
    }

    c_item_t* window_ = nullptr;
};

TEST_F(ui_slider_base_test, the_whole_value_rounds_the_position_and_setting_it_answers_the_old_one)
{
    struct case_t {
        int32_t minimum;
        int32_t maximum;
        float position;
        int32_t value;
    } const cases[] = {
        {0, 10, 0.25f, 3}, {0, 10, 0.24f, 2}, {0, 100, 1.0f, 100}, {10, 0, 0.25f, 8}, {-5, 5, 0.5f, 0},
    };
    ui_slider_base_t* const s = slider(7);
    for (const case_t& c : cases) {
        s->minimum = c.minimum;
        s->maximum = c.maximum;
        s->position = c.position;
        EXPECT_EQ(s->get_int_value(), c.value) << c.minimum << ".." << c.maximum << " at " << c.position;
    }
    s->minimum = 0;
    s->maximum = 100;
    s->position = 0.0f;
    EXPECT_EQ(s->set_int_value(40, false), 0);
    EXPECT_FLOAT_EQ(s->position, 0.4f);
    EXPECT_TRUE(reports().empty());
    EXPECT_EQ(s->set_int_value(60, true), 40);
    EXPECT_EQ(reports(), (std::vector<std::string>{"handle 7 2 60"}));
    // An empty range has nowhere to put the knob but its start.
    s->minimum = s->maximum = 5;
    s->set_int_value(9, false);
    EXPECT_EQ(s->position, 0.0f);
    EXPECT_EQ(s->get_int_value(), 5);
    // A position computed elsewhere over an empty range is not a number.
    s->position = std::nanf("");
    EXPECT_EQ(s->get_int_value(), 5);
}

TEST_F(ui_slider_base_test, the_knob_stands_on_its_value_and_a_view_higher_than_wide_is_vertical)
{
    ui_slider_base_t* const across = slider(7);
    ui_slider_base_t* const upright = slider(8);
    EXPECT_FALSE(across->vertical);
    EXPECT_TRUE(upright->vertical);
    EXPECT_EQ(across->track_length, 200);
    EXPECT_EQ(upright->track_length, 200);
    across->set_int_value(25, false);
    upright->set_int_value(25, false);
    frame();
    const pml_item_t* const knob = layer_item("/n.shd");
    const pml_item_t* const upright_knob = layer_item("/vn.shd");
    ASSERT_NE(knob, nullptr);
    ASSERT_NE(upright_knob, nullptr);
    EXPECT_FLOAT_EQ(knob->box.left, 150.0f);
    EXPECT_FLOAT_EQ(knob->box.top, 400.0f);
    EXPECT_FLOAT_EQ(upright_knob->box.left, 500.0f);
    EXPECT_FLOAT_EQ(upright_knob->box.bottom, 430.0f) << "the value grows upwards";
    ASSERT_NE(layer_item("/t.shd"), nullptr) << "the background is in the layer";
}

TEST_F(ui_slider_base_test, dragging_follows_the_pointer_and_holds_at_the_ends)
{
    ui_slider_base_t* const s = slider(7);
    ui_driver_move(110.0f, 390.0f);
    ui_driver_press();
    EXPECT_TRUE(s->dragging);
    EXPECT_EQ(ui_driver_window(window_)->capture_view, s);
    frame();
    EXPECT_EQ(layer_item("/n.shd"), nullptr) << "a dragged knob is not in the layer";
    ui_driver_move(210.0f, 390.0f);
    EXPECT_EQ(s->get_int_value(), 50);
    // The dragged knob is drawn once a frame, where the pointer holds it.
    pml_draw_clear();
    frame();
    int drawn = 0;
    for (const pml_drawn_t& item : pml_drawn())
        if (item.item.shader == "/p.shd") {
            ++drawn;
            EXPECT_FLOAT_EQ(item.item.box.left, 200.0f);
        }
    EXPECT_EQ(drawn, 1);
    ui_driver_move(900.0f, 100.0f);
    EXPECT_EQ(s->get_int_value(), 100) << "past the end of the track";
    frame();
    ui_driver_release();
    EXPECT_FALSE(s->dragging);
    EXPECT_EQ(ui_driver_window(window_)->capture_view, nullptr);
    EXPECT_EQ(reports(), (std::vector<std::string>{"handle 7 5", "handle 7 2 100", "handle 7 6"}));
    frame();
    // The pointer left while the slider held the events: it still counts as over it.
    const pml_item_t* const knob = layer_item("/s.shd");
    ASSERT_NE(knob, nullptr) << "the knob is back in the layer";
    EXPECT_FLOAT_EQ(knob->box.right, 320.0f);

    // The vertical slider measures from its bottom edge.
    ui_slider_base_t* const upright = slider(8);
    ui_driver_move(510.0f, 390.0f);
    ui_driver_press();
    ui_driver_move(510.0f, 490.0f);
    EXPECT_EQ(upright->get_int_value(), 50);
    ui_driver_move(510.0f, -50.0f);
    EXPECT_EQ(upright->get_int_value(), 0);
    ui_driver_release();
}

TEST_F(ui_slider_base_test, action_on_drag_sends_the_value_at_every_move)
{
    for (const bool on_drag : {false, true}) {
        ui_slider_base_t* const s = slider(7);
        s->action_on_drag = on_drag;
        s->set_int_value(0, false);
        frame();
        ui_driver_trace_clear();
        ui_driver_move(110.0f, 390.0f);
        ui_driver_press();
        ui_driver_move(130.0f, 390.0f);
        ui_driver_move(150.0f, 390.0f);
        ui_driver_release();
        const std::vector<std::string> expected =
            on_drag ? std::vector<std::string>{"handle 7 2 0",  "handle 7 5",    "handle 7 2 10",
                                               "handle 7 2 20", "handle 7 2 20", "handle 7 6"}
                    : std::vector<std::string>{"handle 7 5", "handle 7 2 20", "handle 7 6"};
        EXPECT_EQ(reports(), expected) << "action_on_drag " << on_drag;
    }
}

TEST_F(ui_slider_base_test, holding_the_track_pages_one_tick_each_period_until_the_knob_reaches_the_pointer)
{
    ui_slider_base_t* const s = slider(7);
    ASSERT_TRUE(ui_driver_set(s, "tick", "10"));
    ui_driver_move(300.0f, 390.0f);
    ui_driver_press();
    EXPECT_FALSE(s->dragging);
    // Frames of 0.1 s: a step on the first frame, then one every second frame (0.15 s apart).
    std::vector<int32_t> values;
    for (int i = 0; i < 24; ++i) {
        frame(0.1);
        values.push_back(s->get_int_value());
    }
    EXPECT_EQ(values, (std::vector<int32_t>{10, 10, 20, 20, 30, 30, 40, 40, 50, 50, 60, 60,
                                            70, 70, 80, 80, 90, 90, 90, 90, 90, 90, 90, 90}));
    EXPECT_EQ(reports().size(), 9u);
    EXPECT_EQ(reports().back(), "handle 7 2 90");
    ui_driver_release();
    // Paging toward the minimum, stopped by the release.
    ui_driver_trace_clear();
    ui_driver_move(105.0f, 390.0f);
    ui_driver_press();
    frame(0.1);
    ui_driver_release();
    frame(0.2);
    frame(0.2);
    EXPECT_EQ(reports(), (std::vector<std::string>{"handle 7 2 80"}));
    // Another button pages nothing.
    ui_driver_press(ui_button_second);
    frame(0.2);
    ui_driver_release(ui_button_second);
    EXPECT_EQ(s->get_int_value(), 80);
}

TEST_F(ui_slider_base_test, direction_keys_step_by_tick_and_hold_at_the_range)
{
    ui_slider_base_t* const s = slider(7);
    ASSERT_TRUE(ui_driver_set(s, "tick", "5"));
    ui_driver_window(window_)->focus(s);
    s->set_int_value(98, false);
    ui_driver_stroke(ui_key_right);
    EXPECT_EQ(s->get_int_value(), 100);
    const float at_end = s->position;
    ui_driver_stroke(ui_key_right);
    EXPECT_EQ(s->get_int_value(), 100);
    EXPECT_EQ(s->position, at_end);
    ui_driver_stroke(ui_key_left);
    ui_driver_stroke(ui_key_up);  // not a direction of a horizontal slider
    EXPECT_EQ(s->get_int_value(), 95);
    EXPECT_EQ(reports(), (std::vector<std::string>{"handle 7 2 100", "handle 7 2 100", "handle 7 2 95"}));

    // A range given high end first clamps the same way.
    s->minimum = 100;
    s->maximum = 0;
    s->set_int_value(3, false);
    ui_driver_stroke(ui_key_left);
    EXPECT_EQ(s->get_int_value(), 0);

    // Upright: Up and Left step down, Down and Right step up.
    ui_slider_base_t* const upright = slider(8);
    ui_driver_window(window_)->focus(upright);
    upright->set_int_value(50, false);
    for (const uint16_t key : {ui_key_up, ui_key_left})
        ui_driver_stroke(key);
    EXPECT_EQ(upright->get_int_value(), 48);
    for (const uint16_t key : {ui_key_down, ui_key_right, ui_key_right})
        ui_driver_stroke(key);
    EXPECT_EQ(upright->get_int_value(), 51);
}

TEST_F(ui_slider_base_test, the_knob_shows_its_state_and_a_hidden_slider_leaves_the_layer)
{
    ui_slider_base_t* const s = slider(7);
    EXPECT_EQ(s->shown_state, ui_slider_knob_normal);
    ui_driver_move(110.0f, 390.0f);
    frame();
    EXPECT_NE(layer_item("/s.shd"), nullptr) << "selected under the pointer";
    ASSERT_TRUE(ui_driver_set(s, "active", "false"));
    frame();
    EXPECT_NE(layer_item("/d.shd"), nullptr);
    ASSERT_TRUE(ui_driver_set(s, "visible", "false"));
    frame();
    EXPECT_EQ(s->shown_state, ui_slider_shown_none);
    EXPECT_EQ(layer_item("/d.shd"), nullptr);
    EXPECT_EQ(layer_item("/t.shd"), nullptr);
}

TEST_F(ui_slider_base_test, a_margin_shortens_the_track_at_both_ends)
{
    ui_slider_base_t* const s = slider(7);
    ASSERT_TRUE(ui_driver_set(s, "margin", "50"));
    frame();
    EXPECT_EQ(s->track_length, 100);
    const pml_item_t* const knob = layer_item("/n.shd");
    ASSERT_NE(knob, nullptr);
    EXPECT_FLOAT_EQ(knob->box.left, 150.0f);
    ui_driver_move(160.0f, 390.0f);
    ui_driver_press();
    ASSERT_TRUE(s->dragging);
    ui_driver_move(210.0f, 390.0f);
    EXPECT_EQ(s->get_int_value(), 50);
    ui_driver_release();
}

}  // namespace
