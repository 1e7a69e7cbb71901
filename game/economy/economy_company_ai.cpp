#include "game/economy/economy_company_ai.h"

#include <cstdio>
#include <vector>

#include "engine/check.h"
#include "engine/random.h"
#include "game/economy_ctrl.h"

void economy_company_ai_t::set_level(const int32_t level)
{
    static const struct {
        int32_t threshold;
        float period;
    } settings[] = {{200000, 600.0f}, {100000, 600.0f}, {0, 300.0f}};
    if (level < 0 || level > 2)
        return;
    expansion_threshold_ = settings[level].threshold;
    expansion_period_ = settings[level].period;
}

void economy_company_ai_t::step()
{
    cursor_ = cursor_ % (economy_company_count - 1) + 1;
    const int32_t c = cursor_;
    kv_assert(c >= 1 && c < economy_company_count);
    company_t& company = economy_.companies[c];
    const double now = economy_.world().world_time();
    const auto dt = static_cast<float>(now - company.last_step_time);
    meet_drivers(company, c, dt);
    expand(company, c, dt);
    aim_at_another_city(company, c);
    company.last_step_time = now;
}

void economy_company_ai_t::meet_drivers(company_t& company, const int32_t c, const float dt)
{
    company.driver_check -= dt;
    if (company.driver_check > 0.0f)
        return;
    company.driver_check += 10.0f;
    const std::vector<company_truck_t>& trucks = economy_.trucks;
    std::vector<driver_t>& drivers = economy_.drivers;
    const int32_t own = company.trucks[0];
    const int32_t first =
        own >= 0 && own < static_cast<int32_t>(trucks.size()) ? trucks[static_cast<size_t>(own)].owner : -1;
    if (first < 0 || first >= static_cast<int32_t>(drivers.size()))
        return;
    const driver_t& lead = drivers[static_cast<size_t>(first)];
    const auto near_city = [](const driver_t& d) { return d.progress < 0.2f || d.progress > 0.8f; };
    if ((lead.flags & driver_loading) || !near_city(lead))
        return;
    const int32_t a = economy_.job_source_city(lead.jobs[0]);
    const int32_t b = economy_.job_dest_city(lead.jobs[0]);
    for (driver_t& other : drivers) {
        if (other.company != -1 || !(other.flags & driver_unknown_bit(c)) || !near_city(other))
            continue;
        const int32_t s = economy_.job_source_city(other.jobs[0]);
        const int32_t e = economy_.job_dest_city(other.jobs[0]);
        const bool meets = (s != -1 && (s == a || s == b)) || (e != -1 && (e == a || e == b));
        if (meets && sys_rand() < 0.5f) {
            other.flags &= ~driver_unknown_bit(c);
            return;
        }
    }
}

void economy_company_ai_t::expand(company_t& company, const int32_t c, const float dt)
{
    company.expansion_timer += dt;
    if (company.expansion_timer <= expansion_period_)
        return;
    company.expansion_timer -= expansion_period_;
    int32_t slot = -1;
    for (int s = 1; s < company_truck_slots && slot == -1; ++s)
        if (company.trucks[s] == -1)
            slot = s;
    if (company.money <= expansion_threshold_ || slot == -1)
        return;
    std::vector<company_truck_t>& trucks = economy_.trucks;
    for (driver_t& candidate : economy_.drivers) {
        if (candidate.company != -1 || (candidate.flags & driver_unknown_bit(c)) ||
            static_cast<float>(candidate.prestige) > company.prestige)
            continue;
        const int32_t price = economy_.truck_value_at(candidate.truck);
        if (price < company.money && candidate.truck >= 0 && candidate.truck < static_cast<int32_t>(trucks.size())) {
            candidate.company = static_cast<int8_t>(c);
            company.money -= price;
            company.trucks[slot] = candidate.truck;
            trucks[static_cast<size_t>(candidate.truck)].flags |= truck_assigned;
        }
        int32_t filled = 0;
        for (int s = 1; s <= slot; ++s)
            filled += company.trucks[s] != -1;
        // Four to six filled slots make a company of level 1; all seven, level 2.
        const int32_t grown = filled == company_truck_slots - 1 ? 2 : filled >= 4 ? 1 : 0;
        if (grown > company.level) {
            company.level = grown;
            char text[96];
            std::snprintf(text, sizeof text, "%s @@ui_gained_level@@ %d", company.name, grown);
            economy_.world().pager(text, 1);
            economy_.world().refresh_city_markers();
        }
        return;
    }
}

void economy_company_ai_t::aim_at_another_city(company_t& company, const int32_t c)
{
    const int32_t level = economy_.level;
    const std::vector<city_t>& cities = economy_.cities;
    const auto city_count = static_cast<int32_t>(cities.size());
    if ((level != 1 && level != 2) || city_count == 0 || company.target_city < 0 || company.target_city >= city_count ||
        cities[static_cast<size_t>(company.target_city)].master != c)
        return;
    const auto start = static_cast<int32_t>(sys_rand() * static_cast<float>(city_count));
    for (int32_t i = 0; i < city_count; ++i) {
        const int32_t city = (start + i) % city_count;
        if (cities[static_cast<size_t>(city)].master != c) {
            company.target_city = city;
            break;
        }
    }
    const std::vector<company_truck_t>& trucks = economy_.trucks;
    std::vector<driver_t>& drivers = economy_.drivers;
    for (const int32_t truck : company.trucks) {
        if (truck < 0 || truck >= static_cast<int32_t>(trucks.size()))
            continue;
        const int32_t owner = trucks[static_cast<size_t>(truck)].owner;
        if (owner < 0 || owner >= static_cast<int32_t>(drivers.size()))
            continue;
        driver_t& driver = drivers[static_cast<size_t>(owner)];
        driver.pref_cities[0] = static_cast<int8_t>(company.target_city);
        driver.pref_cities[1] = driver.pref_cities[2] = -1;
        if (level != 2)
            continue;
        for (int32_t x = 0; x < city_count; ++x) {
            bool there = false, back = false;
            for (int32_t j = 0; j < economy_.job_count(); ++j) {
                there = there || (economy_.job_source_city(j) == x && economy_.job_dest_city(j) == company.target_city);
                back = back || (economy_.job_source_city(j) == company.target_city && economy_.job_dest_city(j) == x);
            }
            if (there && back) {
                driver.pref_cities[1] = static_cast<int8_t>(x);
                break;
            }
        }
    }
}
