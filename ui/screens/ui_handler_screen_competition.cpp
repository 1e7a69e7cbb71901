#include "ui/screens/ui_handler_screen_competition.h"

#include <cstdio>

#include "engine/evalue.h"
#include "engine/ui_action.h"
#include "engine/ui_view.h"
#include "common/format.h"
#include "game/company_colours.h"
#include "game/economy/economy_defs.h"
#include "game/economy_ctrl.h"
#include "ui/components/ui_comp_truckbutton.h"
#include "ui/screens/notebook_texts.h"
#include "ui/screens/notebook_trucks.h"
#include "ui/screens/options/options_controls.h"

namespace {

int company_base(const int c) { return 100 * (c + 1); }

// Sets the "text" of component `id` of `page`.
void set_markup(const ui_handler_game_base_t& page, const int id, const char* text)
{
    if (ui_view_t* view = page_view(page, id))
        evalue_set(view, "text", 0, text);
}

}  // namespace

void ui_handler_screen_competition_t::on_wcreate()
{
    ui_handler_game_base_t::on_wcreate();
    for (int c = 1; c < economy_company_count; ++c)
        if (ui_view_t* panel = page_view(*this, company_base(c) + fleet_panel_part))
            panel->show(false);
}

void ui_handler_screen_competition_t::on_wshow()
{
    ui_handler_game_base_t::on_wshow();
    fill();
}

bool ui_handler_screen_competition_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code != ui_action_pressed || !view || !param)
        return false;
    for (int c = 1; c < economy_company_count; ++c)
        if (view->id == company_base(c) + fleet_button_part)
            if (ui_view_t* panel = page_view(*this, company_base(c) + fleet_panel_part))
                panel->show(static_cast<const ui_press_param_t*>(param)->pressed != 0);
    return false;
}

void ui_handler_screen_competition_t::fill()
{
    const economy_ctrl_e* economy = notebook_economy();
    if (!economy)
        return;
    char text[64];
    // The player's company name, its first nine characters.
    std::snprintf(text, sizeof text, "%.9s", economy->companies[0].name);
    page_set_text(*this, player_name_id, text);
    std::snprintf(text, sizeof text, "@@ui_week@@ #%d", economy->week + 1);
    page_set_text(*this, week_id, text);
    for (int c = 0; c < economy_company_count; ++c)
        fill_company(*economy, c);
    fill_result(*economy);
    static constexpr const char* levels[] = {"@@ui_easy@@", "@@ui_medium@@", "@@ui_hard@@"};
    if (economy->level >= 0 && economy->level < 3)
        page_set_text(*this, level_id, levels[economy->level]);
}

void ui_handler_screen_competition_t::fill_company(const economy_ctrl_e& economy, const int c)
{
    const int base = company_base(c);
    const company_t& company = economy.companies[c];
    char text[320];
    // The leader drives the company's first truck, which is his own.
    const int32_t leader = company.trucks[0];
    text[0] = '\0';
    if (leader >= 0 && leader < static_cast<int32_t>(economy.drivers.size()))
        driver_face_markup(economy.drivers[static_cast<size_t>(leader)].name, text, sizeof text);
    set_markup(*this, base + face_part, text);
    const uint32_t colour = company.colour >= 0 && company.colour < company_colour_count
                                ? company_colours[company.colour]
                                : format_default_colour;
    std::snprintf(text, sizeof text, "<img src=/shaders/ui/white.shd xscale=stretch yscale=stretch color=%x>", colour);
    set_markup(*this, base + colour_part, text);
    const int32_t city = company.headquarters;
    if (city < 0 || city >= static_cast<int32_t>(economy.cities.size()) ||
        !city_def_string(economy.cities[static_cast<size_t>(city)].name, "name", text, 257) || text[0] == '\0')
        std::snprintf(text, sizeof text, "@@ui_na@@");
    page_set_text(*this, base + city_part, text);
    format_money(company.money, text, sizeof text, format_default_colour);
    page_set_text(*this, base + money_part, text);
    std::snprintf(text, sizeof text, "%f", static_cast<double>(company.prestige) * 0.01 * 5.0);
    page_set_text(*this, base + prestige_part, text);
    std::snprintf(text, sizeof text, "%d", company.deliveries);
    page_set_text(*this, base + deliveries_part, text);
    format_number(company.haul_score, text, sizeof text, format_default_colour);
    page_set_text(*this, base + haul_part, text);
    int hired = 0;
    for (int s = 0; s < company_truck_slots; ++s) {
        const int32_t truck = company.trucks[s];
        if (truck < 0 || truck >= static_cast<int32_t>(economy.trucks.size()))
            continue;
        hired += s > 0 ? 1 : 0;
        const company_truck_t& record = economy.trucks[static_cast<size_t>(truck)];
        if (auto* button = dynamic_cast<ui_comp_truckbutton_t*>(page_view(*this, base + truck_part + s))) {
            button->build_model(record.make, record.accessories);
            button->set_color(record.colour);
        }
    }
    std::snprintf(text, sizeof text, "%d", hired);
    page_set_text(*this, base + fleet_count_part, text);
}

void ui_handler_screen_competition_t::fill_result(const economy_ctrl_e& economy)
{
    ui_view_t* panel = page_view(*this, result_panel_id);
    if (economy.outcome == 0) {
        if (panel)
            panel->show(false);
        return;
    }
    if (economy.outcome > 0) {
        page_set_text(*this, result_title_id, "@@ui_congratulations@@");
        page_set_text(*this, result_text_id, "@@ui_you_have_won_the_contest@@");
    } else {
        page_set_text(*this, result_title_id, "@@ui_game_over@@");
        const int32_t reason = economy.game_over_reason;
        char text[128];
        if (reason >= game_over_opponent_1 && reason <= game_over_opponent_1 + 2)
            std::snprintf(text, sizeof text, "@@ui_opponent@@ %d @@ui_has_won_the_contest@@", reason - 1);
        else if (reason == game_over_time)
            std::snprintf(text, sizeof text, "@@ui_contest_time_over@@");
        else
            std::snprintf(text, sizeof text, "@@ui_contest_wrong_city@@");
        page_set_text(*this, result_text_id, text);
    }
    if (panel)
        panel->show(true);
}
