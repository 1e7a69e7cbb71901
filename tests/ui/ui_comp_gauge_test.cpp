#include "ui/components/ui_comp_gauge.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ui_drawn.h"
#include "ui_fixture.h"

namespace {

constexpr const char* needle = "/shaders/hud/needle.shd";

class ui_comp_gauge_test : public ui_test_t {
protected:
    // A gauge 7 centred on (150, 250) whose 256 x 256 needle turns about (8, 100) of the picture.
    ui_comp_gauge_t* make_gauge(const std::string& settings)
    {
        window_ = make_window("    entity ui.comp.gauge { id = 7; rect = 100 200 300 200; shader = \"" +
                              std::string(needle) + "\"; xref_pos = 8; yref_pos = 100; " + settings + " }\n");
        auto* const gauge = dynamic_cast<ui_comp_gauge_t*>(ui_driver_find(window_, 7));
        EXPECT_NE(gauge, nullptr);
        return gauge;
    }

    // The needle drawn in a new frame of `seconds`; fails the test when it is not drawn once.
    static gfx_recorded_data_t drawn(const double seconds = 0.02)
    {
        const size_t mark = ui_drawn_mark();
        frame(seconds);
        const std::vector<gfx_recorded_data_t> records = ui_drawn_with(needle, mark);
        EXPECT_EQ(records.size(), 1u);
        return records.empty() ? gfx_recorded_data_t{} : records[0];
    }

    c_item_t* window_ = nullptr;
};

TEST_F(ui_comp_gauge_test, the_needle_turns_clockwise_about_its_pivot_at_the_centre_by_the_value)
{
    ui_comp_gauge_t* const gauge = make_gauge("value = 50; smooth_move = false;");
    ASSERT_NE(gauge, nullptr);
    gfx_recorded_data_t record = drawn();
    EXPECT_FLOAT_EQ(gauge->current_angle, 0.0f) << "half the range of -90 .. 90 points up";
    EXPECT_EQ(record.flags, 269u);
    ASSERT_EQ(record.geometry.vertex_count(), 4);
    EXPECT_EQ(ui_drawn_corner(record, 0), (std::vector<float>{142.0f, 350.0f}));
    EXPECT_EQ(ui_drawn_corner(record, 3), (std::vector<float>{398.0f, 94.0f}));
    EXPECT_EQ(record.geometry.texcoords, (std::vector<float>{0, 0, 1, 0, 0, 1, 1, 1}));
    EXPECT_EQ(record.geometry.colours, std::vector<uint32_t>(4, 0xFFFFFFFFu));

    gauge->set_value(100.0f);
    record = drawn();
    EXPECT_FLOAT_EQ(gauge->current_angle, 90.0f);
    // A quarter turn clockwise takes the picture's top-left corner (-8, 100) to (100, 8).
    EXPECT_NEAR(record.geometry.positions[0], 250.0f, 1e-3f);
    EXPECT_NEAR(record.geometry.positions[1], 258.0f, 1e-3f);
}

TEST_F(ui_comp_gauge_test, a_smooth_needle_turns_150_degrees_a_second_and_stops_at_the_value)
{
    ui_comp_gauge_t* const gauge = make_gauge("");
    ASSERT_NE(gauge, nullptr);
    EXPECT_FLOAT_EQ(gauge->current_angle, -100.0f);
    drawn(0.05);
    EXPECT_FLOAT_EQ(gauge->current_angle, -92.5f) << "from its start short of the scale";
    drawn(0.05);
    EXPECT_FLOAT_EQ(gauge->current_angle, -90.0f);

    gauge->set_value(50.0f);
    for (int i = 0; i < 5; ++i)
        drawn(0.1);
    EXPECT_NEAR(gauge->current_angle, -15.0f, 1e-3f) << "0.5 s of the 0.6 s from -90 to 0";
    drawn(0.1);
    drawn(0.1);
    EXPECT_NEAR(gauge->current_angle, 0.0f, 1e-4f);

    gauge->set_value(0.0f);
    drawn(2.0);
    EXPECT_FLOAT_EQ(gauge->current_angle, -90.0f) << "a long frame ends the turn at the value";
}

TEST_F(ui_comp_gauge_test, setters_keep_their_limits_and_answer_the_previous_value)
{
    ui_comp_gauge_t* const gauge = make_gauge("");
    ASSERT_NE(gauge, nullptr);
    EXPECT_FLOAT_EQ(gauge->set_value(150.0f), 0.0f);
    EXPECT_FLOAT_EQ(gauge->value, 100.0f);
    EXPECT_FLOAT_EQ(gauge->set_value(-5.0f), 100.0f);
    EXPECT_FLOAT_EQ(gauge->value, 0.0f);
    EXPECT_FLOAT_EQ(gauge->set_min(-90.0f), -90.0f);
    EXPECT_FLOAT_EQ(gauge->min_angle, 0.0f);
    EXPECT_FLOAT_EQ(gauge->set_max(400.0f), 90.0f);
    EXPECT_FLOAT_EQ(gauge->max_angle, 360.0f);
    EXPECT_FLOAT_EQ(gauge->set_range(-3.0f), 100.0f);
    EXPECT_FLOAT_EQ(gauge->range, -3.0f);
    gauge->set_mark(12);
    EXPECT_EQ(gauge->mark, 12);

    gauge->set_min(30.0f);
    gauge->set_range(0.0f);
    gauge->smooth_move = false;
    drawn();
    EXPECT_FLOAT_EQ(gauge->current_angle, 30.0f) << "without a range every value shows at min";
}

TEST_F(ui_comp_gauge_test, a_changed_picture_is_loaded_again_and_no_picture_or_a_hidden_gauge_draws_nothing)
{
    ui_comp_gauge_t* const gauge = make_gauge("");
    ASSERT_NE(gauge, nullptr);
    c_item_t* const first = gauge->shader;
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(ui_driver_set(gauge, "shader", "/shaders/hud/dial.shd"));
    size_t mark = ui_drawn_mark();
    frame();
    EXPECT_EQ(first->refs, 0) << "the old picture is given back";
    EXPECT_EQ(ui_drawn_with("/shaders/hud/dial.shd", mark).size(), 1u);

    gauge->show(false);
    mark = ui_drawn_mark();
    frame();
    EXPECT_TRUE(ui_drawn_with("/shaders/hud/dial.shd", mark).empty());

    gauge->show(true);
    ASSERT_TRUE(ui_driver_set(gauge, "shader", ""));
    mark = ui_drawn_mark();
    frame();
    EXPECT_EQ(gauge->shader, nullptr);
    EXPECT_EQ(gfx_record_current().data.size(), mark);
}

}  // namespace
