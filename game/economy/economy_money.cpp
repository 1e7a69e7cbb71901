#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/engine_api.h"
#include "common/format.h"
#include "game/economy/economy_defs.h"
#include "game/economy/economy_money_range.h"
#include "game/economy_ctrl.h"

// Money, pay, prestige, the week's settlement, the clock and the goals, game over and the cheats.

namespace {

// The haul score of a job of `distance` centimetres.
int32_t haul_score(const float distance) { return static_cast<int32_t>(distance * 0.000006213711f * 135.0f); }

}  // namespace

void economy_ctrl_e::add_money(const int32_t amount, const int32_t update_hud)
{
    companies[0].money = economy_money_clamped(static_cast<int64_t>(companies[0].money) + amount);
    if (main_hud_open && update_hud) {
        char text[128];
        format_money(companies[0].money, text, sizeof text, 0xFFFFFFFFu);
        world_->hud_text(main_hud_money, text);
    }
}

void economy_ctrl_e::add_prestige(const float delta, const bool update_hud)
{
    companies[0].prestige = std::clamp(companies[0].prestige + delta, 0.0f, 100.0f);
    if (main_hud_open && update_hud) {
        char text[64];
        std::snprintf(text, sizeof text, "%f", static_cast<double>(companies[0].prestige * 0.01f * 5.0f));
        world_->hud_text(main_hud_prestige, text);
    }
}

void economy_ctrl_e::set_hud_damage(const float damage)
{
    if (damage >= 0.8f) {
        world_->hud_show(main_hud_condition, false);
        world_->hud_show(main_hud_damage_warning, true);
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(1.0f - damage));
    world_->hud_show(main_hud_condition, true);
    world_->hud_text(main_hud_condition, text);
    world_->hud_show(main_hud_damage_warning, false);
}

void economy_ctrl_e::show_call911_icon(const bool show) { world_->hud_show(main_hud_call911, show); }

void economy_ctrl_e::open_main_hud(const int keep_position)
{
    if (companies[0].trucks[0] == -1 && !trucks.empty())
        companies[0].trucks[0] = 0;
    // The player drives his company's first truck: its make, its accessories and its paint.
    const int32_t own = companies[0].trucks[0];
    if (own >= 0 && own < static_cast<int32_t>(trucks.size())) {
        const company_truck_t& truck = trucks[static_cast<size_t>(own)];
        const std::string make(truck.make, strnlen(truck.make, sizeof truck.make));
        world_->rebuild_player_truck({make.c_str(), truck.accessories, truck_accessory_count, truck.colour},
                                     keep_position != 0);
    }
    world_->open_hud_window();
    main_hud_open = true;
    clock_due = true;
    if (time_left >= 0.0f) {
        char text[64];
        format_game_time(time_left, text, sizeof text, 0xFFFFFFFFu);
        world_->hud_text(main_hud_time_left, text);
        time_limit_tick = world_->game_time();
    } else {
        world_->hud_show(main_hud_time_left, false);
    }
    add_money(0, true);
    add_prestige(0.0f, true);
    set_hud_damage(0.0f);
}

int32_t economy_ctrl_e::get_call911_cost() const
{
    switch (level) {
    case 0:
        return 2000;
    case 1:
        return 5000;
    case 2:
        return 10000;
    default:
        return 20000;
    }
}

int32_t economy_ctrl_e::company_credit_limit(const int32_t company) const
{
    return (nearest(companies[company].prestige * 0.05f) + 1) * 100000;
}

int32_t economy_ctrl_e::job_pay(const int32_t job, const int32_t company, const int32_t truck, const float damage,
                                const bool apply_double, int32_t* out_damage_cut, int32_t* out_city_bonus) const
{
    if (job < 0 || job > job_count() || company < 0 || company >= economy_company_count)
        return 0;
    const job_t& record = jobs[static_cast<size_t>(job)];
    if (record.cargo < 0 || record.cargo > cargo_count())
        return 0;
    const float income = cargos[static_cast<size_t>(record.cargo)].income;
    const float truck_prestige = truck >= 0 && truck < static_cast<int32_t>(trucks.size())
                                     ? static_cast<float>(trucks[static_cast<size_t>(truck)].prestige)
                                     : 0.0f;
    const float a = income + static_cast<float>(nearest(companies[company].prestige * 0.01f * income * 0.3f));
    const float b = a + static_cast<float>(nearest(truck_prestige * 0.01f * a * 0.2f));
    const int32_t cut = nearest(b * damage * 0.8f);
    if (out_damage_cut)
        *out_damage_cut = cut;
    float rate = 0.0f;
    for (const city_t& city : cities)
        if (city.master == company)
            rate += 0.1f;
    const int32_t bonus = nearest((b - static_cast<float>(cut)) * rate);
    if (out_city_bonus)
        *out_city_bonus = bonus;
    float total = b - static_cast<float>(cut) + static_cast<float>(bonus);
    if (apply_double && (record.flags & job_flag_overweight))
        total *= 2.0f;
    return nearest(record.distance * 0.01f * total * 0.001f);
}

int32_t economy_ctrl_e::pay(const int32_t company, const int32_t job, const int32_t truck, const float damage,
                            int32_t* out_damage_cut, int32_t* out_city_bonus)
{
    const int32_t amount = job_pay(job, company, truck, damage, company == 0, out_damage_cut, out_city_bonus);
    company_t& record = companies[company];
    if (company == 0) {
        add_money(amount, true);
        world_->cash_sound();
    } else {
        record.money = economy_money_clamped(static_cast<int64_t>(record.money) + amount);
    }
    const float p = record.prestige;
    const float k = p > 10.0f ? 2.0f / (p * 0.1f) : 2.0f;
    const bool overweight =
        job >= 0 && job <= job_count() && (jobs[static_cast<size_t>(job)].flags & job_flag_overweight);
    const float s = overweight ? -k : k;
    const float truck_prestige = truck >= 0 && truck < static_cast<int32_t>(trucks.size())
                                     ? static_cast<float>(trucks[static_cast<size_t>(truck)].prestige)
                                     : 0.0f;
    float rate = 0.0f;
    for (const city_t& city : cities)
        if (city.master == company)
            rate += 0.1f;
    float v = truck_prestige * k * 0.01f + s;
    v = v + static_cast<float>(nearest(std::fabs(std::trunc(v)) * rate));
    if (truck != record.trucks[0]) {
        int32_t filled = 0;
        for (int slot = 1; slot < company_truck_slots; ++slot)
            filled += record.trucks[slot] != -1;
        v /= static_cast<float>(1 + filled);
    }
    if (company == 0)
        add_prestige(v, true);
    else
        record.prestige = std::min(record.prestige + v, 100.0f);
    return amount;
}

void economy_ctrl_e::delivery_result(const int32_t driver, const float damage, const bool queued)
{
    if (driver < 0 || driver >= static_cast<int32_t>(drivers.size()))
        return;
    driver_t& record = drivers[static_cast<size_t>(driver)];
    const int32_t job = record.jobs[0];
    const int32_t company = record.company;
    if (company >= 0 && company < economy_company_count && job >= 0 && job <= job_count()) {
        int32_t cut = 0, bonus = 0;
        const int32_t amount = pay(company, job, record.truck, damage, &cut, &bonus);
        const job_t& delivered = jobs[static_cast<size_t>(job)];
        const int32_t h = haul_score(delivered.distance);
        company_t& owner = companies[company];
        owner.deliveries += 1;
        owner.income += amount;
        owner.haul_score += h;
        owner.haul_score_second += h;
        record.week_deliveries = static_cast<uint8_t>(record.week_deliveries + 1);
        record.week_income += amount;
        record.week_haul_score += h;
        if (delivered.cargo >= 0 && delivered.cargo <= cargo_count()) {
            cargo_t& cargo = cargos[static_cast<size_t>(delivered.cargo)];
            cargo.deliveries[company] = static_cast<int16_t>(cargo.deliveries[company] + 1);
            if (cargo.deliveries[company] > cargo.record_deliveries) {
                cargo.record_deliveries = cargo.deliveries[company];
                cargo.record_company = static_cast<int16_t>(company);
            }
        }
        const int32_t city_index = job_dest_city(job);
        if (city_index >= 0 && city_index < static_cast<int32_t>(cities.size())) {
            city_t& city = cities[static_cast<size_t>(city_index)];
            city.haul_score[company] += h;
            if (city.haul_score[company] > city.record_haul_score) {
                city.record_haul_score = city.haul_score[company];
                if (city.master != company) {
                    city.master = company;
                    char text[256];
                    std::snprintf(text, sizeof text, "%s @@ui_became_master_of@@ %s !", owner.name, city.display_name);
                    world_->pager(text, 1);
                }
            }
        }
        if (company == 0 && queued) {
            std::string suffix = " ";
            bool added = false;
            char money_text[128];
            if (damage > 0.05f) {
                format_money(-cut, money_text, sizeof money_text, 0xFFFFFFFFu);
                char part[256];
                std::snprintf(part, sizeof part, "%s @@ui_for@@ %d%% @@ui_damage@@", money_text,
                              nearest(damage * 100.0f));
                suffix += part;
                added = true;
            }
            if (city_index >= 0 && city_index < static_cast<int32_t>(cities.size()) &&
                cities[static_cast<size_t>(city_index)].master == 0) {
                format_money(bonus, money_text, sizeof money_text, 0xFFFFFFFFu);
                suffix += " ";
                suffix += money_text;
                suffix += " @@ui_city_bonus@@";
                added = true;
            }
            if (added)
                suffix += ".";
            char name[128], cargo_name[128], city_name_text[128] = "";
            ::driver_def_string(record.name, "name", name, sizeof name);
            cargo_def_string(delivered.cargo >= 0 && delivered.cargo <= cargo_count()
                                 ? cargos[static_cast<size_t>(delivered.cargo)].name
                                 : "",
                             "name", cargo_name, sizeof cargo_name);
            if (city_index >= 0 && city_index < static_cast<int32_t>(cities.size()))
                city_def_string(cities[static_cast<size_t>(city_index)].name, "name", city_name_text,
                                sizeof city_name_text);
            char text[1024];
            std::snprintf(text, sizeof text, "@@ui_Driver@@ %s @@ui_has_delivered@@ %s to %s.%s", name, cargo_name,
                          city_name_text, suffix.c_str());
            world_->pager(text, 0);
        }
    }
    if (queued) {
        const int32_t last_destination = job_dest_city(record.jobs[driver_job_slots - 1]);
        for (int slot = 0; slot + 1 < driver_job_slots; ++slot)
            record.jobs[slot] = record.jobs[slot + 1];
        if (last_destination != -1)
            pick_city_job(last_destination, driver, driver_job_slots - 1);
        else
            record.jobs[driver_job_slots - 1] = -1;
        start_driver_leg(driver);
    }
}

void economy_ctrl_e::deliver_player_job(const int32_t job, const float damage)
{
    if (job < 0 || job > job_count())
        return;
    const int32_t truck = companies[0].trucks[0];
    const int32_t driver =
        truck >= 0 && truck < static_cast<int32_t>(trucks.size()) ? trucks[static_cast<size_t>(truck)].owner : -1;
    const int32_t money_before = companies[0].money;
    if (driver >= 0 && driver < static_cast<int32_t>(drivers.size())) {
        drivers[static_cast<size_t>(driver)].jobs[0] = job;
        delivery_result(driver, damage, false);
    }
    api::message("<economy_ctrl_e> job %d delivered: the company's money went from %d to %d", job, money_before,
                 companies[0].money);
    const int32_t destination_city = job_dest_city(job);
    job_t& record = jobs[static_cast<size_t>(job)];
    if (job == spare_job())
        record.cargo = -1;
    record.flags &= ~job_flag_taken;
    if (goal_kind == goal_delivered) {
        if (destination_city == goal_target) {
            if (outcome == 0)
                game_over_reason = game_over_delivered;
            show_game_over(false);
        } else {
            check_game_over(game_over_wrong_city, false);
        }
    }
}

void economy_ctrl_e::weekly_report()
{
    world_->pager("@@ui_week_report@@", 1);
    ++week;
    last_clock_display = 0;
    time_limit_tick = 0.0f;
    for (int c = 0; c < economy_company_count; ++c) {
        company_t& company = companies[c];
        // Summed wide and brought back into the economy's range, so no amount of trucks, wages or
        // haul score can wrap the week's costs or the money around.
        int64_t income = 0;
        int64_t costs = 0;
        for (const int32_t truck : company.trucks) {
            if (truck < 0 || truck >= static_cast<int32_t>(trucks.size()))
                continue;
            const company_truck_t& record = trucks[static_cast<size_t>(truck)];
            if (record.owner < 0 || record.owner >= static_cast<int32_t>(drivers.size()))
                continue;
            const driver_t& driver = drivers[static_cast<size_t>(record.owner)];
            income += driver.week_income;
            // The second haul score is never reset, so these costs grow over a career.
            const float with_score =
                static_cast<float>(costs + driver.salary) + 0.3f * static_cast<float>(company.haul_score_second);
            costs = economy_money_clamped(static_cast<int64_t>(std::clamp(
                with_score, -static_cast<float>(economy_money_limit), static_cast<float>(economy_money_limit))));
            costs += nearest(static_cast<float>(truck_maintenance(record)) * 9.0f) + 100;
        }
        company.week_driver_income = economy_money_clamped(income);
        company.week_costs = economy_money_clamped(costs);
        company.money = economy_money_clamped(static_cast<int64_t>(company.money) - company.week_costs);
        company.week_loan_repayment = 0;
        // A loan below 10 is never repaid: a tenth of it is 0.
        if (company.loan > 0) {
            company.week_loan_repayment = company.loan / 10;
            company.loan -= company.week_loan_repayment;
        }
        company.money = economy_money_clamped(static_cast<int64_t>(company.money) - company.week_loan_repayment);
        if (c == 0)
            add_money(0, true);
    }
    for (driver_t& driver : drivers) {
        driver.week_deliveries = 0;
        driver.week_income = 0;
        driver.week_haul_score = 0;
    }
    for (city_t& city : cities)
        std::memset(city.haul_score, 0, sizeof city.haul_score);
    for (cargo_t& cargo : cargos)
        std::memset(cargo.deliveries, 0, sizeof cargo.deliveries);
    if (offer.active) {
        jobs[static_cast<size_t>(spare_job())].cargo = -1;
        offer.active = 0;
    }
}

void economy_ctrl_e::update_clock(const float t)
{
    if (time_left > 0.0f && t - time_limit_tick > 60.0f) {
        time_left -= t - time_limit_tick;
        time_limit_tick = t;
        if (time_left > 0.0f) {
            char text[64];
            format_game_time(time_left, text, sizeof text, 0xFFFFFFFFu);
            world_->hud_text(main_hud_time_left, text);
        } else {
            time_left = -1.0f;
            world_->hud_text(main_hud_time_left, "00 : 00");
            check_game_over(game_over_time, false);
            return;
        }
    }
    if (goal_kind == goal_money)
        for (int c = 0; c < economy_company_count; ++c)
            if (goal_target <= companies[c].money) {
                if (c == 0)
                    show_game_over(false);
                else
                    check_game_over(c + 1, true);
                break;
            }
}

void economy_ctrl_e::check_game_over(const int32_t reason, const bool show_notebook)
{
    if (outcome != 0)
        return;
    game_over_reason = reason;
    outcome = -1;
    world_->show_game_over_window(show_notebook);
}

void economy_ctrl_e::show_game_over(const bool show_notebook)
{
    if (outcome != 0)
        return;
    outcome = 1;
    world_->show_game_over_window(show_notebook);
}

void economy_ctrl_e::cheat(const int n)
{
    switch (n) {
    case 1:
        for (driver_t& driver : drivers)
            driver.flags &= ~driver_unknown_bit(0);
        api::message("\\yAccess to all free drivers was granted.");
        break;
    case 2:
        for (dealer_t& dealer : dealers)
            dealer.flags |= 1u;
        api::message("\\yAccess to all truck dealers was granted.");
        break;
    case 3:
        add_money(100000, true);
        api::message("\\y$ 100,000,- was wired to your bank account.");
        break;
    case 4:
        add_prestige(100.0f, true);
        api::message("\\yYour prestige was set to max.");
        break;
    default:
        return;
    }
    cheated = 1;
}

const char* economy_ctrl_e::city_name(const int32_t index) const
{
    return index >= 0 && index < static_cast<int32_t>(cities.size()) ? cities[static_cast<size_t>(index)].name
                                                                     : nullptr;
}

const char* economy_ctrl_e::city_display_name(const int32_t index) const
{
    return index >= 0 && index < static_cast<int32_t>(cities.size()) ? cities[static_cast<size_t>(index)].display_name
                                                                     : nullptr;
}

bool economy_ctrl_e::job_overweight(const int32_t job) const
{
    return job >= 0 && job <= job_count() && (jobs[static_cast<size_t>(job)].flags & job_flag_overweight);
}

void economy_ctrl_e::mark_dealer_known(const int32_t dealer)
{
    if (dealer >= 0 && dealer < static_cast<int32_t>(dealers.size()))
        dealers[static_cast<size_t>(dealer)].flags |= 1u;
}

void economy_ctrl_e::city_headquarters(const int32_t city, int32_t& out_level, int32_t& out_colour) const
{
    out_level = -1;
    out_colour = 0;
    for (const company_t& company : companies)
        if (company.headquarters == city && city != -1) {
            out_level = company.level;
            out_colour = company.colour;
            return;
        }
}
