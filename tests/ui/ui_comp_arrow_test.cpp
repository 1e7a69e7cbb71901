#include "ui/components/ui_comp_arrow.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ui_drawn.h"
#include "ui_fixture.h"

namespace {

using corner_t = std::vector<float>;

class ui_comp_arrow_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        window_ = make_window("    entity ui.comp.arrow { id = 3; rect = 0 1024 768 0; }\n");
        arrow_ = dynamic_cast<ui_comp_arrow_t*>(ui_driver_find(window_, 3));
        ASSERT_NE(arrow_, nullptr);
    }

    static corner_t corner(const float (&vertices)[4][3], const int i) { return {vertices[i][0], vertices[i][1]}; }

    c_item_t* window_ = nullptr;
    ui_comp_arrow_t* arrow_ = nullptr;
};

TEST_F(ui_comp_arrow_test, a_rightward_arrow_has_a_shaft_short_of_the_end_and_a_head_ending_there)
{
    arrow_->set_points(100, 100, 300, 100, 4, 7, 0.0f);
    // Along +x the side normal is (0, -1): the "+" side lies below the line.
    EXPECT_EQ(corner(arrow_->outline, 0), (corner_t{100, 96}));
    EXPECT_EQ(corner(arrow_->outline, 1), (corner_t{100, 104}));
    EXPECT_EQ(corner(arrow_->outline, 2), (corner_t{300, 104}));
    EXPECT_EQ(corner(arrow_->outline, 3), (corner_t{300, 96}));
    EXPECT_EQ(corner(arrow_->shaft, 2), (corner_t{268, 96}));
    EXPECT_EQ(corner(arrow_->shaft, 3), (corner_t{268, 104}));
    EXPECT_EQ(corner(arrow_->head, 0), (corner_t{300, 108}));
    EXPECT_EQ(corner(arrow_->head, 1), (corner_t{300, 92}));
    EXPECT_EQ(corner(arrow_->head, 2), (corner_t{268, 108}));
    EXPECT_EQ(corner(arrow_->head, 3), (corner_t{268, 92}));

    uint32_t state = 0;
    int32_t tag = 0;
    arrow_->get_params(state, tag);
    EXPECT_EQ(state, 1u);
    EXPECT_EQ(tag, 7);

    const size_t mark = ui_drawn_mark();
    frame();
    const std::vector<gfx_recorded_data_t> shafts = ui_drawn_with("/shaders/ui/white.shd", mark);
    const std::vector<gfx_recorded_data_t> heads = ui_drawn_with("/shaders/ui/arrow.shd", mark);
    ASSERT_EQ(shafts.size(), 1u) << "no marker outside state 3";
    ASSERT_EQ(heads.size(), 1u);
    EXPECT_EQ(shafts[0].flags, 13u);
    EXPECT_EQ(ui_drawn_corner(shafts[0], 3), (corner_t{268, 104}));
    EXPECT_EQ(shafts[0].geometry.colours, std::vector<uint32_t>(4, 0x33FFFFFFu));
    EXPECT_EQ(heads[0].geometry.colours, std::vector<uint32_t>(4, 0xFFFFFFFFu));
}

TEST_F(ui_comp_arrow_test, state_3_halves_the_shaft_and_puts_a_black_square_at_the_fraction)
{
    arrow_->set_state(3);
    arrow_->set_points(100, 100, 300, 100, 5, 2, 0.5f);
    EXPECT_EQ(corner(arrow_->outline, 0), (corner_t{100, 98})) << "5 / 2 is 2 to each side";
    EXPECT_EQ(corner(arrow_->marker, 0), (corner_t{208, 92}));
    EXPECT_EQ(corner(arrow_->marker, 1), (corner_t{208, 108}));
    EXPECT_EQ(corner(arrow_->marker, 2), (corner_t{192, 92}));
    EXPECT_EQ(corner(arrow_->marker, 3), (corner_t{192, 108}));

    const size_t mark = ui_drawn_mark();
    frame();
    const std::vector<gfx_recorded_data_t> white = ui_drawn_with("/shaders/ui/white.shd", mark);
    ASSERT_EQ(white.size(), 2u);
    EXPECT_EQ(white[0].geometry.colours, std::vector<uint32_t>(4, 0xB30000FFu));
    EXPECT_EQ(white[1].geometry.colours, std::vector<uint32_t>(4, 0xFF000000u));
    EXPECT_EQ(ui_drawn_corner(white[1], 0), (corner_t{208, 92}));
}

TEST_F(ui_comp_arrow_test, each_state_colours_shaft_and_head)
{
    const struct {
        uint32_t state;
        uint32_t colour;
    } cases[] = {{1, 0x33FFFFFF}, {2, 0x3300FF00}, {3, 0xB30000FF}, {0, 0x33FFFFFF}, {9, 0x33FFFFFF}};
    for (const auto& c : cases) {
        arrow_->set_state(c.state);
        EXPECT_EQ(arrow_->shaft_colours[0], c.colour) << c.state;
        EXPECT_EQ(arrow_->head_colours[3], c.colour) << c.state;
        EXPECT_EQ(arrow_->state, c.state);
    }
}

TEST_F(ui_comp_arrow_test, the_pointer_hits_inside_the_full_length_outline_of_a_shown_arrow)
{
    arrow_->set_points(100, 100, 300, 300, 10, 0, 0.0f);
    const struct {
        int x;
        int y;
        bool hit;
    } cases[] = {
        {200, 200, true},  {110, 100, true},  {295, 300, true},  // on the line, near each end
        {200, 220, false}, {100, 300, false}, {50, 50, false},   // beside it, off the ends
        {310, 310, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(arrow_->hit_test(c.x, c.y), c.hit) << c.x << ", " << c.y;
    arrow_->show(false);
    EXPECT_FALSE(arrow_->hit_test(200, 200)) << "a hidden arrow is never hit";
}

TEST_F(ui_comp_arrow_test, coinciding_points_collapse_onto_the_point_without_dividing_by_zero)
{
    arrow_->set_state(3);
    arrow_->set_points(50, 60, 50, 60, 4, 1, 0.5f);
    for (const auto* vertices : {&arrow_->shaft, &arrow_->head, &arrow_->marker, &arrow_->outline})
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(corner(*vertices, i), (corner_t{50, 60}));
    EXPECT_FALSE(arrow_->hit_test(50, 60));
    const size_t mark = ui_drawn_mark();
    frame();
    EXPECT_EQ(ui_drawn_with("/shaders/ui/white.shd", mark).size(), 2u);
}

}  // namespace
