#include "ui/components/ui_comp_list.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "ui/components/ui_comp_button.h"
#include "ui/components/ui_comp_common_list.h"
#include "ui/components/ui_slider_base.h"
#include "ui_fixture.h"

namespace {

// A list 320 units high with rows of 32: ten visible lines.
class ui_list_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        window_ =
            make_window("    entity ui.comp.common.list { id = 30; rect = 0 200 700 380; item_height = 32; }\n"
                        "    entity ui.comp.common.list { id = 40; rect = 300 400 700 600; multi_column = true; }\n");
        ASSERT_NE(window_, nullptr);
        frame();
        list_ = dynamic_cast<ui_comp_list_t*>(ui_driver_find(window_, 30));
        ASSERT_NE(list_, nullptr);
    }

    // Fills the list with `count` items "item 0" ... whose data is their number.
    void fill(int count)
    {
        for (int i = 0; i < count; ++i)
            add("item " + std::to_string(i), static_cast<uint32_t>(i));
        frame();
    }

    void add(const std::string& text, uint32_t data, uint32_t at = 100000)
    {
        ui_list_item_t item;
        item.pml = text.c_str();
        item.text = text.c_str();
        item.data = data;
        item.mask = ui_list_pml | ui_list_text | ui_list_data;
        list_->insert_item(item, at);
    }

    // The selection codes (22 and 23) the list sent to the window's handler, in order.
    std::vector<std::string> list_actions() const
    {
        std::vector<std::string> codes;
        for (const std::string& line : ui_driver_trace())
            if (line == "handle 30 22" || line == "handle 30 23")
                codes.push_back(line.substr(10));
        return codes;
    }

    // The visible row that shows item `index`, or null.
    ui_comp_button_t* row_showing(int index) const
    {
        auto* row = dynamic_cast<ui_comp_button_t*>(ui_driver_find(window_, ui_comp_list_t::row_id_base + index));
        return row && row->visible ? row : nullptr;
    }

    c_item_t* window_ = nullptr;
    ui_comp_list_t* list_ = nullptr;
};

TEST_F(ui_list_test, items_are_inserted_read_written_and_found_by_field)
{
    fill(3);
    add("appended", 77, 500);
    ASSERT_EQ(list_->count(), 4);
    ui_list_item_t item;
    item.mask = ui_list_all;
    ASSERT_TRUE(list_->get_item(3, item));
    EXPECT_STREQ(item.pml.c_str(), "appended");
    EXPECT_EQ(item.data, 77u);
    EXPECT_TRUE(item.active) << "a field outside the mask takes its default";
    EXPECT_FALSE(list_->get_item(4, item));
    item.mask = ui_list_active;
    item.active = false;
    EXPECT_TRUE(list_->set_item(1, item));
    EXPECT_FALSE(list_->set_item(4, item));
    EXPECT_FALSE(list_->remove_item(4));

    ui_list_item_t key;
    key.mask = ui_list_text | ui_list_data;  // the first set bit picks the field: text
    key.text = "item";
    EXPECT_EQ(list_->find_item(key, 0, true), 0);
    EXPECT_EQ(list_->find_item(key, 1, true), 1);
    EXPECT_EQ(list_->find_item(key, 0, false), -1) << "a whole text must match whole";
    EXPECT_EQ(list_->find_item(key, 9, true), -1);
    key.mask = ui_list_data;
    key.data = 77;
    EXPECT_EQ(list_->find_item(key, 0, false), 3);

    frame();
    EXPECT_FALSE(row_showing(1)->active) << "an inactive item's row is disabled";
    EXPECT_TRUE(row_showing(3)->visible);
    EXPECT_EQ(row_showing(4), nullptr);
}

TEST_F(ui_list_test, inserting_after_minus_one_or_the_last_item_appends)
{
    fill(2);
    ui_list_item_t item;
    item.mask = ui_list_data;
    for (const auto& [after, data, expected] :
         {std::tuple{-1, 10u, 2u}, std::tuple{2, 11u, 3u}, std::tuple{0, 12u, 1u}}) {
        item.data = data;
        EXPECT_EQ(list_->insert_item_after(item, after), expected) << after;
    }
    ASSERT_EQ(list_->count(), 5);
    EXPECT_EQ(list_->item_data_at(1), 12u);
    EXPECT_EQ(list_->item_data_at(3), 10u);
    EXPECT_EQ(list_->item_data_at(4), 11u);
}

TEST_F(ui_list_test, scrolling_brings_an_item_to_the_top_unless_that_leaves_empty_lines)
{
    fill(25);
    EXPECT_EQ(list_->visible_lines, 10);
    EXPECT_TRUE(list_->scroll_to(20));
    EXPECT_EQ(list_->first_visible, 15);
    EXPECT_TRUE(list_->scroll_to(3));
    EXPECT_EQ(list_->first_visible, 3);
    EXPECT_FALSE(list_->scroll_to(25));
    EXPECT_NE(row_showing(12), nullptr);
    EXPECT_EQ(row_showing(2), nullptr) << "rows show only the visible items";
}

TEST_F(ui_list_test, a_press_on_a_row_unselects_the_old_item_before_selecting_the_new_one)
{
    fill(5);
    ASSERT_TRUE(list_->select_item(1, false));
    EXPECT_TRUE(list_actions().empty()) << "selecting without a click sends nothing";
    EXPECT_TRUE(row_showing(1)->pressed);
    ui_driver_trace_clear();
    ASSERT_TRUE(ui_driver_click(row_showing(3)));
    frame();
    EXPECT_EQ(list_actions(), (std::vector<std::string>{"23", "22"}));
    EXPECT_EQ(list_->selection, 3);
    EXPECT_FALSE(row_showing(1)->pressed);

    ui_driver_trace_clear();
    ASSERT_TRUE(list_->select_item(0, true));
    EXPECT_EQ(list_actions(), (std::vector<std::string>{"23", "22"}));
    EXPECT_FALSE(list_->select_item(5, true));
    ui_driver_trace_clear();
    EXPECT_TRUE(list_->select_item(-1, false));
    EXPECT_EQ(list_actions(), (std::vector<std::string>{"23"}));
    EXPECT_EQ(list_->selection, -1);
}

TEST_F(ui_list_test, removing_keeps_the_selection_on_its_item_or_moves_it_to_the_next)
{
    fill(5);
    list_->select_item(4, false);
    ui_driver_trace_clear();
    ASSERT_TRUE(list_->remove_item(4));
    EXPECT_EQ(list_actions(), (std::vector<std::string>{"22"})) << "the new last item is selected";
    EXPECT_EQ(list_->selection, 3);
    ui_driver_trace_clear();
    ASSERT_TRUE(list_->remove_item(0));
    EXPECT_TRUE(list_actions().empty());
    EXPECT_EQ(list_->selection, 2);
    EXPECT_STREQ(list_->item_text_at(2), "item 3");
    while (list_->count() > 0)
        list_->remove_item(0);
    frame();
    EXPECT_EQ(row_showing(0), nullptr) << "no row shows an item";
}

TEST_F(ui_list_test, sorting_keeps_the_selected_item_selected_at_its_new_index)
{
    add("delta", 0);
    add("Alpha", 1);
    add("charlie", 2);
    add("bravo", 3);
    list_->select_item(2, false);
    list_->sort_items(nullptr);
    std::string order;
    for (int i = 0; i < list_->count(); ++i)
        order += std::to_string(list_->item_data_at(i));
    EXPECT_EQ(order, "1320") << "markups compared without case";
    EXPECT_EQ(list_->selection, 2);
    EXPECT_STREQ(list_->item_text_at(list_->selection), "charlie");
    EXPECT_STREQ(list_->item_text_at(1), "bravo") << "the texts move with their items";
}

TEST_F(ui_list_test, a_multi_column_list_fits_as_many_items_per_line_as_its_width_takes)
{
    auto* grid = dynamic_cast<ui_comp_list_t*>(ui_driver_find(window_, 40));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->items_per_line, 3) << "100 wide, items 32 wide, no gap";
}

TEST_F(ui_list_test, arrays_a_script_gives_shorter_than_the_markups_are_filled_with_defaults)
{
    ASSERT_TRUE(evalue_set_array(list_, "item_pml", {"one", "two", "three"}));
    ASSERT_TRUE(evalue_set_array(list_, "item_active", {"false"}));
    frame();
    ASSERT_EQ(list_->count(), 3);
    EXPECT_FALSE(list_->item_active_at(0));
    EXPECT_TRUE(list_->item_active_at(2));
    EXPECT_STREQ(list_->item_text_at(2), "");
    ASSERT_NE(row_showing(2), nullptr);
    EXPECT_EQ(ui_driver_get(row_showing(2), "value"), "three");
}

TEST_F(ui_list_test, a_slider_child_counts_the_lines_that_do_not_fit_and_scrolls_the_list)
{
    write_data_file("ui/scrolled.esc",
                    "entity ui.handler.test.trace { }\nentity ui.window { rect = 0 1024 768 0;\n"
                    "    entity ui.comp.common.list { id = 50; rect = 0 200 700 380; item_height = 32;\n"
                    "        slider_management = true;\n"
                    "        entity ui.comp.common.slider { id = 51; rect = 0 16 100 0; }\n"
                    "    }\n}\n");
    c_item_t* window = ui_winsert("test", "scrolled", 0, "/ui/scrolled.esc", true);
    ASSERT_NE(window, nullptr);
    frame();
    auto* list = dynamic_cast<ui_comp_list_t*>(ui_driver_find(window, 50));
    auto* slider = dynamic_cast<ui_slider_base_t*>(ui_driver_find(window, 51));
    ASSERT_NE(list, nullptr);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(list->slider, slider);
    EXPECT_FLOAT_EQ(slider->rect.left, 200.0f) << "placed beside the list";
    EXPECT_FLOAT_EQ(slider->rect.top - slider->rect.bottom, 320.0f) << "as high as the list";
    list_ = list;
    fill(25);
    EXPECT_EQ(slider->maximum, 15) << "15 lines do not fit";
    EXPECT_TRUE(slider->active);
    slider->set_int_value(7, true);
    EXPECT_EQ(list->first_visible, 7);
}

}  // namespace
