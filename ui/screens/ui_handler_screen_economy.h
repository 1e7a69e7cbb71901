#pragma once
#include <cstdint>

#include "ui/screens/ui_handler_screen_base.h"

class economy_ctrl_e;

// The notebook's economy page ("ui.handler.screen.economy", window "economy" of group "notebook"): the
// books of the player's company (account, loan, all-time totals, the running week) and a row per truck
// slot with the truck, its driver and the driver's week. Here the player takes and repays loans by hand,
// 10000 at a time, within the company's credit limit. Everything shown is read from the economy.
class ui_handler_screen_economy_t : public ui_handler_screen_base_t {
public:
    // Ids of the page's figures and buttons.
    static constexpr int total_income_id = 10;
    static constexpr int total_count_id = 15;
    static constexpr int total_length_id = 20;
    static constexpr int account_id = 25;
    static constexpr int loan_id = 27;
    static constexpr int week_income_id = 30;
    static constexpr int week_costs_id = 35;
    static constexpr int week_loan_id = 40;
    static constexpr int net_week_income_id = 45;
    static constexpr int repay_id = 1000;
    static constexpr int take_id = 1100;
    static constexpr int help_id = 2000;
    // The step of a loan taken or repaid by hand.
    static constexpr int32_t loan_step = 10000;
    // Repaying needs more than this on the account.
    static constexpr int32_t repay_reserve = 11000;

    const char* get_default_name() const override { return "ui.handler.screen.economy"; }
    virtual const char* get_type_name() const { return "ui.handler.screen.economy"; }

    // Fills the page.
    void on_wshow() override;
    // Quick help on entering and leaving a component; the two loan buttons.
    bool handle(ui_view_t* view, int code, void* param) override;

    // Refills every component from the economy.
    void fill();
    // Writes the help text of component `id` (-1: none) to the page's help line.
    void quick_help(int id);

    // What repaying takes back now (0 when repaying is not allowed) and what taking borrows now (0 when
    // the loan stands at or above the credit limit).
    static int32_t repay_amount(int32_t loan, int32_t money);
    static int32_t take_amount(int32_t loan, int32_t credit_limit);

private:
    // The row of truck slot `row`: its truck, driver and the driver's week.
    void fill_row(economy_ctrl_e& economy, int row);
    // The row's figures as not available.
    void fill_row_unavailable(int row);
};
