#include "ui/components/ui_comp_common_dropdown.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/components/ui_comp_common_button.h"
#include "ui_fixture.h"

namespace {

// A drop-down at the top of the screen with a managed list of three entries below it, and one
// without a list.
class ui_dropdown_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        window_ =
            make_window("    entity ui.comp.common.dropdown { id = 7; rect = 100 300 700 670; list_management = true;\n"
                        "        entity ui.comp.common.list { id = 8; rect = 0 200 300 204; item_height = 30; }\n"
                        "    }\n"
                        "    entity ui.comp.common.dropdown { id = 9; rect = 400 600 700 670; }\n");
        ASSERT_NE(window_, nullptr);
        frame();
        drop_ = dynamic_cast<ui_dropbutton_group_t*>(ui_driver_find(window_, 7));
        ASSERT_NE(drop_, nullptr);
        ASSERT_NE(drop_->list, nullptr);
        for (const char* name : {"north", "south", "west"}) {
            ui_list_item_t item;
            item.pml = name;
            item.mask = ui_list_pml;
            drop_->list->insert_item(item, 100);
        }
        frame();
    }

    // The codes the handler got from the drop-down's list, in order.
    std::vector<std::string> codes() const
    {
        std::vector<std::string> seen;
        for (const std::string& line : ui_driver_trace())
            if (line == "handle 8 22" || line == "handle 8 23")
                seen.push_back(line.substr(9));
        return seen;
    }

    ui_view_t* entry(int index) const { return ui_driver_find(window_, ui_comp_list_t::row_id_base + index); }

    c_item_t* window_ = nullptr;
    ui_dropbutton_group_t* drop_ = nullptr;
};

TEST_F(ui_dropdown_test, the_list_opens_under_the_button_and_closes_when_an_entry_is_chosen)
{
    EXPECT_FLOAT_EQ(drop_->list->rect.top, 670.0f) << "a managed list starts at the drop-down's bottom";
    EXPECT_FLOAT_EQ(drop_->list->rect.left, 100.0f);
    EXPECT_FLOAT_EQ(drop_->list->rect.bottom, 574.0f) << "and keeps its height";
    EXPECT_FALSE(drop_->list->visible);
    ASSERT_TRUE(ui_driver_click(drop_->drop_button));
    frame();
    EXPECT_TRUE(drop_->open);
    EXPECT_TRUE(drop_->list->visible);
    EXPECT_EQ(ui_driver_window(window_)->capture_view, drop_);
    ui_driver_trace_clear();
    ASSERT_TRUE(ui_driver_click(entry(1)));
    frame();
    EXPECT_EQ(codes(), (std::vector<std::string>{"22"}));
    EXPECT_FALSE(drop_->open);
    EXPECT_EQ(ui_driver_window(window_)->capture_view, nullptr) << "the routing ends";
    EXPECT_STREQ(drop_->chosen.pml.c_str(), "south");
    EXPECT_EQ(ui_driver_get(drop_->drop_button, "value"), "south");
}

TEST_F(ui_dropdown_test, selecting_by_index_shows_the_entry_without_telling_the_handler)
{
    ui_driver_trace_clear();
    EXPECT_TRUE(drop_->select_item(2));
    EXPECT_TRUE(codes().empty());
    EXPECT_STREQ(drop_->chosen.pml.c_str(), "west");
    auto* lonely = dynamic_cast<ui_dropbutton_group_t*>(ui_driver_find(window_, 9));
    ASSERT_NE(lonely, nullptr);
    EXPECT_FALSE(lonely->active) << "a drop-down without a list is inactive";
    EXPECT_FALSE(lonely->select_item(0));
}

TEST_F(ui_dropdown_test, escape_closes_an_open_drop_down)
{
    ASSERT_TRUE(ui_driver_click(drop_->drop_button));
    frame();
    ASSERT_TRUE(drop_->open);
    ASSERT_TRUE(ui_driver_stroke(ui_key_escape));
    frame();
    EXPECT_FALSE(drop_->open);
    EXPECT_FALSE(drop_->list->visible);
    EXPECT_EQ(ui_driver_window(window_)->capture_view, nullptr);
}

}  // namespace
