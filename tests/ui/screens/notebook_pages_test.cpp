#include <gtest/gtest.h>

#include <string>

#include "engine/ui_action.h"
#include "notebook_fixture.h"
#include "ui/components/ui_comp_area_map.h"
#include "ui/components/ui_comp_button.h"
#include "ui/screens/ui_handler_screen_economy.h"

namespace {

class notebook_pages_test : public notebook_test_t {
protected:
    void show(int page)
    {
        open_notebook();
        notebook->show_page(page);
    }
    bool active(const char* page, int id)
    {
        ui_view_t* view = component(page, id);
        return view && view->active;
    }
    // Presses a loan button as the page's handler hears it, whether or not it is active.
    void press_loan_button(int id)
    {
        ui_view_t* button = component("economy", id);
        ASSERT_NE(button, nullptr);
        ui_press_param_t press{0};
        window_handler(page_item("economy"))->handle(button, ui_action_pressed, &press);
    }
};

TEST_F(notebook_pages_test, loans_are_taken_and_repaid_in_steps_within_the_credit_limit)
{
    company_t& company = economy->companies[0];
    // Prestige 30 gives a credit limit of (round(1.5) + 1) x 100000 = 300000.
    ASSERT_EQ(economy->company_credit_limit(0), 300000);
    const struct {
        const char* what;
        int32_t money;
        int32_t loan;
        int button;
        bool repay_active;
        bool take_active;
        int32_t money_after;
        int32_t loan_after;
    } cases[] = {
        {"a small loan is repaid whole", 50000, 4000, 1000, true, true, 46000, 0},
        {"a large loan is repaid 10000 at a time", 50000, 25000, 1000, true, true, 40000, 15000},
        {"11000 on the account is not enough to repay", 11000, 5000, 1000, false, true, 11000, 5000},
        {"no loan, nothing to repay", 50000, 0, 1000, false, true, 50000, 0},
        {"borrowing adds 10000", 50000, 0, 1100, false, true, 60000, 10000},
        {"near the limit only the difference is lent", 50000, 295000, 1100, true, true, 55000, 300000},
        {"at the limit nothing is lent", 50000, 300000, 1100, true, false, 50000, 300000},
        {"a limit fallen below the loan lends nothing and repays nothing", 50000, 450000, 1100, true, false, 50000,
         450000},
    };
    show(2);
    for (const auto& c : cases) {
        company.money = c.money;
        company.loan = c.loan;
        window_handler(page_item("economy"))->on_wshow();
        EXPECT_EQ(active("economy", 1000), c.repay_active) << c.what;
        EXPECT_EQ(active("economy", 1100), c.take_active) << c.what;
        press_loan_button(c.button);
        EXPECT_EQ(company.money, c.money_after) << c.what;
        EXPECT_EQ(company.loan, c.loan_after) << c.what;
    }
    // After a repay that clears the loan the button goes inactive and the loan is no longer red.
    company.money = 50000;
    company.loan = 4000;
    window_handler(page_item("economy"))->on_wshow();
    ASSERT_TRUE(click(page_item("economy"), 1000));
    EXPECT_FALSE(active("economy", 1000));
    EXPECT_EQ(value("economy", 25), "<color value=ffffffff>$46,000<color value=FFFFFFFF>");
    EXPECT_EQ(value("economy", 27), "<color value=ffffffff>$0<color value=FFFFFFFF>");
    company.loan = 20000;
    window_handler(page_item("economy"))->on_wshow();
    EXPECT_EQ(value("economy", 27), "<color value=ff0000ff>$20,000<color value=FFFFFFFF>");
}

TEST_F(notebook_pages_test, the_economy_page_shows_the_books_and_a_row_per_truck_slot)
{
    company_t& company = economy->companies[0];
    company.income = 1234567;
    company.deliveries = 12;
    company.haul_score = 45678;
    company.week_driver_income = 1000;
    company.week_costs = 3000;
    company.week_loan_repayment = 500;
    show(2);
    EXPECT_EQ(value("economy", 10), "<color value=ffffffff>$1,234,567<color value=FFFFFFFF>");
    EXPECT_EQ(value("economy", 15), "12");
    EXPECT_EQ(value("economy", 20), "<color value=ffffffff>45 678<color value=FFFFFFFF>");
    EXPECT_EQ(value("economy", 45), "<color value=ff0000ff>-$2,500<color value=FFFFFFFF>") << "net week income";
    // Row 0, the player's own truck: the company's name and prestige, its rating computed again from the
    // company's prestige: 30 + 0.25 x 60 + 0.1 x 30 = 48.
    EXPECT_EQ(value("economy", 111), "Company 0");
    EXPECT_EQ(value("economy", 130), "1.500000");
    EXPECT_NEAR(economy->trucks[0].rating, 48.0f, 1e-4f);
    EXPECT_EQ(ui_driver_get(component("economy", 110), "text"),
              "<img src=/ui/faces/ann.shd xscale=stretch yscale=stretch>");
    // Row 1: a truck without a driver; row 2: a hired driver's week; row 3: an empty slot.
    for (const int id : {211, 215, 220, 225, 411, 425})
        EXPECT_EQ(value("economy", id), "@@ui_na@@") << id;
    EXPECT_EQ(value("economy", 230), "0");
    EXPECT_EQ(value("economy", 311), "Bob Birch");
    EXPECT_EQ(value("economy", 315), "3");
    EXPECT_EQ(value("economy", 320), "<color value=ffffffff>12 345<color value=FFFFFFFF>");
    EXPECT_EQ(value("economy", 325), "<color value=ffffffff>$4,200<color value=FFFFFFFF>");
    EXPECT_EQ(value("economy", 330), "3.000000");
    // Quick help: row 0's keys end in 0, the others' in 1; the figures have their own.
    auto* page = dynamic_cast<ui_handler_screen_economy_t*>(window_handler(page_item("economy")));
    ASSERT_NE(page, nullptr);
    const struct {
        int id;
        const char* text;
    } helps[] = {{111, "@@qh_name0@@"},
                 {311, "@@qh_name1@@"},
                 {827, "@@qh_performance1@@"},
                 {27, "@@qh_loan_amount@@"},
                 {1100, "@@qh_loan_10000@@"},
                 {-1, " "},
                 {150, " "}};
    for (const auto& help : helps) {
        page->quick_help(help.id);
        EXPECT_EQ(value("economy", 2000), help.text) << help.id;
    }
}

TEST_F(notebook_pages_test, the_competition_page_sets_the_companies_side_by_side)
{
    std::snprintf(economy->companies[0].name, sizeof economy->companies[0].name, "Longhaul Freight");
    economy->companies[0].prestige = 100.0f;
    economy->companies[2].prestige = 50.0f;
    economy->companies[0].deliveries = 7;
    economy->level = 2;
    show(3);
    EXPECT_EQ(value("competition", 10), "Longhaul ") << "the name cut to nine characters";
    EXPECT_EQ(value("competition", 4), "@@ui_week@@ #1") << "week 0 is the first";
    EXPECT_EQ(value("competition", 5), "@@ui_hard@@");
    EXPECT_EQ(value("competition", 105), "Alder Town");
    EXPECT_EQ(value("competition", 205), "@@ui_na@@") << "no headquarters";
    EXPECT_EQ(value("competition", 115), "5.000000");
    EXPECT_EQ(value("competition", 315), "2.500000");
    EXPECT_EQ(value("competition", 120), "2") << "slots 1 and 2 hold trucks; slot 0 is never counted";
    EXPECT_EQ(value("competition", 125), "7");
    EXPECT_EQ(ui_driver_get(component("competition", 101), "text"),
              "<img src=/shaders/ui/white.shd xscale=stretch yscale=stretch color=ffff9966>");
    EXPECT_FALSE(component("competition", 1)->visible) << "no result while the contest runs";

    // Opponent 2 reached the money goal.
    economy->outcome = -1;
    economy->game_over_reason = 3;
    ui_whide(notebook_item);
    open_notebook();
    EXPECT_TRUE(component("competition", 1)->visible);
    EXPECT_EQ(value("competition", 6), "@@ui_game_over@@");
    EXPECT_EQ(value("competition", 7), "@@ui_opponent@@ 2 @@ui_has_won_the_contest@@");

    // An opponent's fleet shows while its button is down.
    EXPECT_FALSE(component("competition", 359)->visible);
    ASSERT_TRUE(click(page_item("competition"), 358));
    EXPECT_TRUE(component("competition", 359)->visible);
    ASSERT_TRUE(click(page_item("competition"), 358));
    EXPECT_FALSE(component("competition", 359)->visible);
}

TEST_F(notebook_pages_test, the_road_map_toggles_choose_its_labels_and_keep_their_choice)
{
    show(4);
    auto* map = dynamic_cast<ui_comp_area_map_t*>(component("roadmap", 100));
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->label_mask, 63u);
    EXPECT_EQ(map->label_colour, 0xff40ff40u);
    EXPECT_EQ(map->follow, 0);
    for (const int id : {200, 210, 220, 230, 240, 250})
        EXPECT_TRUE(dynamic_cast<ui_comp_button_t*>(component("roadmap", id))->pressed) << id;
    ASSERT_TRUE(click(page_item("roadmap"), 200));
    EXPECT_EQ(map->label_mask, 62u) << "city names off";
    ASSERT_TRUE(click(page_item("roadmap"), 230));
    EXPECT_EQ(map->label_mask, 54u);
    notebook->show_page(0);
    notebook->show_page(4);
    EXPECT_EQ(map->label_mask, 54u);
    EXPECT_FALSE(dynamic_cast<ui_comp_button_t*>(component("roadmap", 200))->pressed);
    EXPECT_TRUE(dynamic_cast<ui_comp_button_t*>(component("roadmap", 210))->pressed);
    ASSERT_TRUE(click(page_item("roadmap"), 200));
    EXPECT_EQ(map->label_mask, 55u) << "city names back";
}

}  // namespace
