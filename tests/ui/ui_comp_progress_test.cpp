#include "ui/components/ui_comp_progress.h"

#include <gtest/gtest.h>

#include "engine/ui_window.h"
#include "ui_drawn.h"
#include "ui_fixture.h"

namespace {

using corner_t = std::vector<float>;

class ui_comp_progress_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        window_ = make_window("    entity ui.comp.progress { id = 110; rect = 100 300 60 40; }\n");
        bar_ = dynamic_cast<ui_comp_progress_t*>(ui_driver_find(window_, 110));
        ASSERT_NE(bar_, nullptr);
    }

    // The right edge of the filled part.
    float end() const { return bar_->vertices[3][0]; }

    c_item_t* window_ = nullptr;
    ui_comp_progress_t* bar_ = nullptr;
};

TEST_F(ui_comp_progress_test, fills_from_the_left_to_the_fraction_and_never_past_either_end)
{
    EXPECT_FLOAT_EQ(end(), 100.0f) << "a new bar is empty";
    const struct {
        float fraction;
        float end;
    } cases[] = {{0.25f, 150.0f}, {1.7f, 300.0f}, {1.0f, 300.0f}, {0.0f, 100.0f}, {-0.5f, 100.0f}};
    for (const auto& c : cases) {
        bar_->set_progress(c.fraction);
        EXPECT_FLOAT_EQ(end(), c.end) << c.fraction;
    }
    bar_->set_progress(0.5f);
    const size_t mark = ui_drawn_mark();
    frame();
    const std::vector<gfx_recorded_data_t> drawn = ui_drawn_with("/shaders/ui/white.shd", mark);
    ASSERT_EQ(drawn.size(), 1u);
    const gfx_recorded_data_t& record = drawn[0];
    EXPECT_EQ(record.flags, 13u);
    EXPECT_EQ(record.primitive, gfx_triangle_strip);
    ASSERT_EQ(record.geometry.vertex_count(), 4);
    EXPECT_EQ(ui_drawn_corner(record, 0), (corner_t{100.0f, 60.0f}));
    EXPECT_EQ(ui_drawn_corner(record, 1), (corner_t{100.0f, 40.0f}));
    EXPECT_EQ(ui_drawn_corner(record, 2), (corner_t{200.0f, 60.0f}));
    EXPECT_EQ(ui_drawn_corner(record, 3), (corner_t{200.0f, 40.0f}));
    EXPECT_EQ(record.geometry.colours, std::vector<uint32_t>(4, 0x33FFFFFFu));
    EXPECT_EQ(record.geometry.texcoords, (std::vector<float>{0, 0, 1, 0, 0, 1, 1, 1}));
}

TEST_F(ui_comp_progress_test, a_moved_rectangle_or_set_property_shows_the_first_value_of_its_window)
{
    bar_->set_progress(0.75f);
    bar_->changed(ui_change_area);
    EXPECT_FLOAT_EQ(end(), 250.0f) << "the hit area alone leaves the bar";

    ui_driver_window(window_)->preview = true;
    bar_->changed(ui_change_rect);
    EXPECT_FLOAT_EQ(end(), 200.0f) << "a preview window shows half";

    ui_driver_window(window_)->preview = false;
    ASSERT_TRUE(ui_driver_set(bar_, "layer", "2"));
    frame();
    EXPECT_FLOAT_EQ(end(), 100.0f);
}

TEST_F(ui_comp_progress_test, a_hidden_bar_draws_nothing_and_a_removed_one_gives_its_shader_back)
{
    c_item_t* const shader = bar_->shader;
    ASSERT_NE(shader, nullptr);
    const int refs = shader->refs;
    bar_->show(false);
    const size_t mark = ui_drawn_mark();
    frame();
    EXPECT_TRUE(ui_drawn_with("/shaders/ui/white.shd", mark).empty());
    ui_wremove(window_);
    EXPECT_EQ(shader->refs, refs - 1);
}

}  // namespace
