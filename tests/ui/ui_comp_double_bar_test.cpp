#include "ui/components/ui_comp_double_bar.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/ui_window.h"
#include "ui_drawn.h"
#include "ui_fixture.h"

namespace {

constexpr uint32_t white = 0xFFFFFFFF;
constexpr uint32_t green = 0xFF20F020;
constexpr uint32_t red = 0xFF2020F0;

class ui_comp_double_bar_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        window_ = make_window("    entity ui.comp.double_bar { id = 27; rect = 0 100 20 10; }\n");
        bar_ = dynamic_cast<ui_comp_double_bar_t*>(ui_driver_find(window_, 27));
        ASSERT_NE(bar_, nullptr);
    }

    // The one record the bar drew in a new frame.
    static gfx_recorded_data_t drawn()
    {
        const size_t mark = ui_drawn_mark();
        frame();
        const std::vector<gfx_recorded_data_t> records = ui_drawn_with("/shaders/ui/white.shd", mark);
        EXPECT_EQ(records.size(), 1u);
        return records.empty() ? gfx_recorded_data_t{} : records[0];
    }

    // The x of each quad's start and end to the nearest unit (two entries for one quad, four for two).
    static std::vector<float> edges(const gfx_recorded_data_t& record)
    {
        std::vector<float> x;
        for (int quad = 0; quad < record.geometry.vertex_count() / 4; ++quad) {
            x.push_back(std::round(record.geometry.positions[12 * quad]));
            x.push_back(std::round(record.geometry.positions[12 * quad + 6]));
        }
        return x;
    }

    c_item_t* window_ = nullptr;
    ui_comp_double_bar_t* bar_ = nullptr;
};

TEST_F(ui_comp_double_bar_test, the_part_between_the_values_shows_better_or_worse)
{
    const struct {
        float first;
        float second;
        bool reversed;
        std::vector<float> edges;
        uint32_t second_colour;  // 0: the first quad alone
    } cases[] = {
        {0.6f, 0.8f, false, {0, 60, 60, 80}, green},
        {0.6f, 0.8f, true, {0, 60, 60, 80}, red},
        {0.8f, 0.6f, false, {0, 60, 60, 80}, red},
        {0.8f, 0.6f, true, {0, 60, 60, 80}, green},
        {0.5f, 0.0f, false, {0, 50}, 0},
        {0.5f, 0.001f, false, {0, 50}, 0},
        {0.4f, 0.4f, false, {0, 40}, 0},
        {1.5f, 3.0f, false, {0, 100}, 0},
        {-0.5f, 0.3f, false, {0, 0, 0, 30}, green},
    };
    for (const auto& c : cases) {
        bar_->set_values(c.first, c.second, c.reversed);
        const gfx_recorded_data_t record = drawn();
        EXPECT_EQ(edges(record), c.edges) << c.first << " against " << c.second << (c.reversed ? " reversed" : "");
        EXPECT_EQ(record.flags, 269u);
        const std::vector<uint32_t>& colours = record.geometry.colours;
        ASSERT_EQ(colours.size(), c.second_colour ? 8u : 4u);
        EXPECT_EQ(std::vector<uint32_t>(colours.begin(), colours.begin() + 4), std::vector<uint32_t>(4, white));
        if (c.second_colour) {
            EXPECT_EQ(std::vector<uint32_t>(colours.begin() + 4, colours.end()),
                      std::vector<uint32_t>(4, c.second_colour));
        }
    }
}

TEST_F(ui_comp_double_bar_test, changed_colours_recolour_the_bar_and_show_the_first_values_again)
{
    ui_driver_window(window_)->preview = true;
    ASSERT_TRUE(ui_driver_set(bar_, "normal_color", "0xFF808080"));
    ASSERT_TRUE(ui_driver_set(bar_, "worse_color", "ff0000ff"));
    gfx_recorded_data_t record = drawn();
    EXPECT_EQ(edges(record), (std::vector<float>{0, 20, 20, 50})) << "a preview shows 0.5 against 0.2";
    EXPECT_EQ(record.geometry.colours[0], 0xFF808080u);
    EXPECT_EQ(record.geometry.colours[4], 0xFF0000FFu);

    ui_driver_window(window_)->preview = false;
    bar_->set_values(0.6f, 0.8f, false);
    bar_->changed(ui_change_rect);
    record = drawn();
    EXPECT_EQ(edges(record), (std::vector<float>{0, 0})) << "outside a preview the bar empties";
}

}  // namespace
