#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../ui_fixture.h"
#include "game/economy_ctrl.h"
#include "ui/components/ui_comp_list.h"
#include "ui/screens/ui_handler_dialog_driver.h"

// The drivers the driver dialog offers: who is listed in each mode, who is greyed out, in which order
// and with which row.

namespace {

class driver_dialog_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        // name, "prestige" key, company, flags
        const struct {
            const char* file;
            const char* name;
            int prestige;
            int8_t company;
            uint32_t flags;
        } drivers[] = {
            {"d0", "Player", 0, 0, driver_is_player},
            {"d1", "bruno", 60, -1, 0},
            {"d2", "Anna", 20, -1, 0},
            {"d3", "Carl", 10, -1, driver_unknown_bit(0)},  // not met yet
            {"d4", "dora", 10, 0, 0},
            {"d5", "Emil", 10, 0, 0},
            {"d6", "Fred", 10, 2, 0},  // an opponent's
        };
        for (const auto& d : drivers) {
            write_data_file(std::string("defs/drivers/") + d.file + ".def",
                            std::string("driver {\n name = \"") + d.name + "\"\n imgs = \"" + d.file +
                                ".shd|small.shd\"\n prestige = " + std::to_string(d.prestige) + "\n}\n");
            driver_t record{};
            std::snprintf(record.name, sizeof record.name, "%s", d.file);
            record.company = d.company;
            record.flags = d.flags;
            record.salary = 1000;
            record.truck = static_cast<int32_t>(economy.drivers.size());
            economy.drivers.push_back(record);
            company_truck_t truck{};
            truck.owner = record.truck;
            economy.trucks.push_back(truck);
        }
        economy.companies[0].trucks[0] = 0;
        economy.companies[0].prestige = 40.0f;
        window_ = make_window("    entity ui.comp.common.list { id = 10; rect = 0 600 700 100; item_height = 20; }\n");
        frame();
        list_ = dynamic_cast<ui_comp_list_t*>(ui_driver_find(window_, 10));
        ASSERT_NE(list_, nullptr);
    }

    // The listed names in order, each with "-" when greyed out.
    std::vector<std::string> listed(const int32_t mode, const int32_t excluded)
    {
        ui_handler_dialog_driver_t::fill_list(economy, mode, excluded, *list_);
        std::vector<std::string> names;
        for (int i = 0; i < list_->count(); ++i)
            names.push_back(std::string(list_->item_text_at(i)) + (list_->item_active_at(i) ? "" : "-"));
        return names;
    }

    economy_ctrl_e economy;
    c_item_t* window_ = nullptr;
    ui_comp_list_t* list_ = nullptr;
};

TEST_F(driver_dialog_test, hiring_lists_the_free_drivers_met_by_name_and_greys_out_those_out_of_reach)
{
    EXPECT_EQ(listed(ui_handler_dialog_driver_t::mode_hire, -1), (std::vector<std::string>{"Anna", "bruno-"}));
    EXPECT_EQ(listed(ui_handler_dialog_driver_t::mode_hire, 2), (std::vector<std::string>{"bruno-"}));
    // A row: pictures, name, wage, rating; "prestige" 60 rates 3.
    ui_handler_dialog_driver_t::fill_list(economy, ui_handler_dialog_driver_t::mode_hire, -1, *list_);
    EXPECT_EQ(std::string(list_->item_pml_at(1)).substr(0, 20), "d1.shd|small.shd|bru");
    EXPECT_NE(std::string(list_->item_pml_at(1)).find("|3.000000"), std::string::npos);
    EXPECT_EQ(list_->item_data_at(1), 1u);
}

TEST_F(driver_dialog_test, swapping_lists_the_company_drivers_but_the_players_and_the_selected_trucks)
{
    EXPECT_EQ(listed(ui_handler_dialog_driver_t::mode_swap, 5), (std::vector<std::string>{"dora"}));
    // Without a truck in slot 0 nobody is left out for it.
    economy.companies[0].trucks[0] = -1;
    economy.drivers[0].flags = 0;
    EXPECT_EQ(listed(ui_handler_dialog_driver_t::mode_swap, 5), (std::vector<std::string>{"dora", "Player"}));
}

}  // namespace
