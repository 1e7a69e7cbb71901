#include "ui/screens/ui_handler_screen_economy.h"

#include <algorithm>
#include <cstdio>

#include "engine/evalue.h"
#include "engine/ui_action.h"
#include "engine/ui_view.h"
#include "common/format.h"
#include "game/economy/economy_defs.h"
#include "game/economy_ctrl.h"
#include "ui/components/ui_comp_double_bar.h"
#include "ui/components/ui_comp_truckbutton.h"
#include "ui/screens/notebook_trucks.h"
#include "ui/screens/notebook_texts.h"
#include "ui/screens/options/options_controls.h"

namespace {

// Colour of a loan that is owed.
constexpr uint32_t owed_colour = 0xff0000ffu;
// The not-available face of a row.
constexpr const char* unavailable_face =
    "<align hstyle=center vstyle=center><font @@__fnt_mid@@>@@ui_na@@</font></align>";
// Places of a row's components after its base 100 x (row + 1).
enum row_part_t : int {
    row_truck = 5,
    row_face = 10,
    row_name = 11,
    row_deliveries = 15,
    row_haul = 20,
    row_income = 25,
    row_performance = 27,
    row_prestige = 30,
};

int row_base(const int row) { return 100 * (row + 1); }

// Writes a money amount in `colour` to component `id`.
void set_money(const ui_handler_game_base_t& page, const int id, const int32_t amount, const uint32_t colour)
{
    char text[128];
    format_money(amount, text, sizeof text, colour);
    page_set_text(page, id, text);
}

}  // namespace

int32_t ui_handler_screen_economy_t::repay_amount(const int32_t loan, const int32_t money)
{
    if (loan <= 0 || money <= repay_reserve)
        return 0;
    return std::min(loan, loan_step);
}

int32_t ui_handler_screen_economy_t::take_amount(const int32_t loan, const int32_t credit_limit)
{
    // A limit that fell below the loan (prestige lost) allows nothing more; it never repays for the player.
    if (loan >= credit_limit)
        return 0;
    return credit_limit - loan < loan_step ? credit_limit - loan : loan_step;
}

void ui_handler_screen_economy_t::on_wshow()
{
    ui_handler_game_base_t::on_wshow();
    fill();
}

bool ui_handler_screen_economy_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code == ui_action_enter && view)
        quick_help(view->id);
    else if (code == ui_action_leave)
        quick_help(-1);
    else if (code == ui_action_pressed && view && (view->id == repay_id || view->id == take_id))
        if (economy_ctrl_e* economy = notebook_economy()) {
            company_t& company = economy->companies[0];
            if (view->id == repay_id) {
                const int32_t amount = repay_amount(company.loan, company.money);
                economy->add_money(-amount, 0);
                company.loan -= amount;
            } else {
                const int32_t amount = take_amount(company.loan, economy->company_credit_limit(0));
                economy->add_money(amount, 0);
                company.loan += amount;
            }
            fill();
        }
    return false;
}

void ui_handler_screen_economy_t::fill()
{
    economy_ctrl_e* economy = notebook_economy();
    if (!economy)
        return;
    for (int row = 0; row < company_truck_slots; ++row)
        fill_row(*economy, row);
    const company_t& company = economy->companies[0];
    char text[128];
    set_money(*this, total_income_id, company.income, format_default_colour);
    std::snprintf(text, sizeof text, "%d", company.deliveries);
    page_set_text(*this, total_count_id, text);
    format_number(company.haul_score, text, sizeof text, format_default_colour);
    page_set_text(*this, total_length_id, text);
    set_money(*this, account_id, company.money, format_default_colour);
    set_money(*this, loan_id, company.loan, company.loan > 0 ? owed_colour : format_default_colour);
    set_money(*this, week_income_id, company.week_driver_income, format_default_colour);
    set_money(*this, week_costs_id, company.week_costs, format_default_colour);
    set_money(*this, week_loan_id, company.week_loan_repayment, format_default_colour);
    set_money(*this, net_week_income_id, company.week_driver_income - company.week_loan_repayment - company.week_costs,
              format_default_colour);
    page_activate(*this, repay_id, repay_amount(company.loan, company.money) > 0);
    page_activate(*this, take_id, take_amount(company.loan, economy->company_credit_limit(0)) > 0);
}

void ui_handler_screen_economy_t::fill_row(economy_ctrl_e& economy, const int row)
{
    const int base = row_base(row);
    const company_t& company = economy.companies[0];
    const int32_t truck = company.trucks[row];
    if (truck < 0 || truck >= static_cast<int32_t>(economy.trucks.size())) {
        fill_row_unavailable(row);
        return;
    }
    company_truck_t& record = economy.trucks[static_cast<size_t>(truck)];
    if (auto* button = dynamic_cast<ui_comp_truckbutton_t*>(page_view(*this, base + row_truck))) {
        button->build_model(record.make, record.accessories);
        button->set_color(record.colour);
    }
    if (record.owner < 0 || record.owner >= static_cast<int32_t>(economy.drivers.size())) {
        fill_row_unavailable(row);
        return;
    }
    const driver_t& driver = economy.drivers[static_cast<size_t>(record.owner)];
    char text[160];
    driver_face_markup(driver.name, text, sizeof text);
    if (ui_view_t* face = page_view(*this, base + row_face))
        evalue_set(face, "text", 0, text);
    if (row == 0)
        std::snprintf(text, sizeof text, "%s", company.name);
    else if (!driver_def_string(driver.name, "name", text, sizeof text))
        std::snprintf(text, sizeof text, "%s", driver.name);
    page_set_text(*this, base + row_name, text);
    std::snprintf(text, sizeof text, "%d", driver.week_deliveries);
    page_set_text(*this, base + row_deliveries, text);
    format_number(driver.week_haul_score, text, sizeof text, format_default_colour);
    page_set_text(*this, base + row_haul, text);
    format_money(driver.week_income, text, sizeof text, format_default_colour);
    page_set_text(*this, base + row_income, text);
    int32_t prestige = 0;
    if (row == 0)
        prestige = static_cast<int32_t>(company.prestige);
    else
        driver_def_int(driver.name, "prestige", prestige);
    std::snprintf(text, sizeof text, "%f", static_cast<double>(prestige) * 0.01 * 5.0);
    page_set_text(*this, base + row_prestige, text);
    // The player's own truck is rated again with the company's prestige each time the page is filled.
    if (row == 0)
        record.rating = economy.truck_rating_for(record, prestige);
    if (auto* bar = dynamic_cast<ui_comp_double_bar_t*>(page_view(*this, base + row_performance)))
        bar->set_values(std::min((record.rating - 30.0f) * 0.028571429f, 1.0f), 1.0f, false);
}

void ui_handler_screen_economy_t::fill_row_unavailable(const int row)
{
    const int base = row_base(row);
    if (ui_view_t* face = page_view(*this, base + row_face))
        evalue_set(face, "text", 0, unavailable_face);
    for (const int part : {row_name, row_deliveries, row_haul, row_income})
        page_set_text(*this, base + part, "@@ui_na@@");
    page_set_text(*this, base + row_prestige, "0");
}

void ui_handler_screen_economy_t::quick_help(const int id)
{
    static constexpr struct {
        int id;
        const char* text;
    } figures[] = {
        {total_income_id, "@@qh_total_job_income@@"},
        {total_count_id, "@@qh_total_job_count@@"},
        {total_length_id, "@@qh_total_job_len@@"},
        {account_id, "@@qh_your_account@@"},
        {loan_id, "@@qh_loan_amount@@"},
        {week_income_id, "@@qh_week_income@@"},
        {week_costs_id, "@@qh_week_costs@@"},
        {week_loan_id, "@@qh_week_loan@@"},
        {net_week_income_id, "@@qh_net_week_income@@"},
        {repay_id, "@@qh_repay_10000@@"},
        {take_id, "@@qh_loan_10000@@"},
    };
    static constexpr struct {
        int part;
        const char* format;
    } row_parts[] = {
        {row_truck, "@@qh_truck_pic%d@@"},
        {row_face, "@@qh_face_pic%d@@"},
        {row_name, "@@qh_name%d@@"},
        {row_deliveries, "@@qh_jobcount%d@@"},
        {row_haul, "@@qh_joblen%d@@"},
        {row_income, "@@qh_jobincome%d@@"},
        {row_performance, "@@qh_performance%d@@"},
        {row_prestige, "@@qh_driverprestige%d@@"},
    };
    char text[256] = " ";
    bool found = false;
    for (const auto& figure : figures)
        if (figure.id == id) {
            std::snprintf(text, sizeof text, "%s", figure.text);
            found = true;
        }
    if (!found && id >= 0) {
        const int part = id > 100 ? id - 100 * (1 + (id - 101) / 100) : id;
        const int own_row = id < 200 ? 0 : 1;
        for (const auto& row_part : row_parts)
            if (row_part.part == part)
                std::snprintf(text, sizeof text, row_part.format, own_row);
    }
    page_set_text(*this, help_id, text);
}
