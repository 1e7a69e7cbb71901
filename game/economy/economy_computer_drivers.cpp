#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/check.h"
#include "engine/random.h"
#include "common/engine_api.h"
#include "common/format.h"
#include "game/economy/economy_computer_drivers.h"
#include "game/economy/economy_defs.h"
#include "game/economy_ctrl.h"
#include "road/route_cursor.h"

// The computer drivers: their jobs, their legs, their walk along their routes and what the traffic asks
// of them.

namespace {

// Seconds a driver loads between legs.
constexpr float loading_seconds = 22.5f;

// CRC-16 (polynomial 0x1021, start 0xFFFF) of `size` bytes: a driver's name seeds his choices.
uint16_t crc16(const void* data, const size_t size)
{
    uint16_t crc = 0xFFFF;
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) {
        crc = static_cast<uint16_t>(crc ^ bytes[i] << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<uint16_t>(crc & 0x8000 ? crc << 1 ^ 0x1021 : crc << 1);
    }
    return crc;
}

}  // namespace

void economy_computer_drivers_t::pick_city_job(const int32_t city, const int32_t driver, const int32_t slot)
{
    if (driver < 0 || driver >= static_cast<int32_t>(economy_.drivers.size()) || slot < 0 || slot >= driver_job_slots)
        return;
    driver_t& record = economy_.drivers[static_cast<size_t>(driver)];
    int32_t& out = record.jobs[slot];
    out = -1;
    if (city < 0 || city >= static_cast<int32_t>(economy_.cities.size()))
        return;
    randomizer_t choice(crc16(record.name, sizeof record.name));
    std::vector<int32_t> productive;
    for (size_t t = 0; t < economy_.traders.size(); ++t)
        if (economy_.traders[t].city == city && economy_.traders[t].produced_count > 0)
            productive.push_back(static_cast<int32_t>(t));
    if (productive.empty()) {
        api::error("City %s has no productive trader.", economy_.cities[static_cast<size_t>(city)].name);
        return;
    }
    const auto prefers_cargo = [&](const int32_t cargo) {
        return cargo != -1 &&
               (record.pref_cargos[0] == cargo || record.pref_cargos[1] == cargo || record.pref_cargos[2] == cargo);
    };
    if (record.pref_cities[0] != -1) {
        std::vector<int32_t> candidates;
        int32_t preferred = -1;
        for (int32_t j = 0; j < economy_.job_count(); ++j) {
            if (economy_.job_source_city(j) != city)
                continue;
            const int32_t to = economy_.job_dest_city(j);
            if (to == -1 || (to != record.pref_cities[0] && to != record.pref_cities[1] && to != record.pref_cities[2]))
                continue;
            candidates.push_back(j);
            if (prefers_cargo(economy_.jobs[static_cast<size_t>(j)].cargo))
                preferred = j;
        }
        if (preferred != -1) {
            out = preferred;
            return;
        }
        if (!candidates.empty()) {
            out = candidates[static_cast<size_t>(draw_index(choice.rand(), static_cast<int32_t>(candidates.size())))];
            return;
        }
    }
    if (record.pref_cargos[0] != -1)
        for (int32_t j = 0; j < economy_.job_count(); ++j)
            if (std::find(productive.begin(), productive.end(), economy_.jobs[static_cast<size_t>(j)].source) !=
                    productive.end() &&
                prefers_cargo(economy_.jobs[static_cast<size_t>(j)].cargo)) {
                out = j;
                return;
            }
    const auto n = static_cast<int32_t>(productive.size());
    const int32_t first = draw_index(choice.rand(), n);
    const int32_t second = draw_index(choice.rand(), n);
    const int32_t trader = productive[static_cast<size_t>((first + second) % n)];
    for (int32_t j = 0; j < economy_.job_count(); ++j)
        if (economy_.jobs[static_cast<size_t>(j)].source == trader) {
            out = j;
            return;
        }
}

void economy_computer_drivers_t::init_jobs()
{
    for (int32_t d = 0; d < static_cast<int32_t>(economy_.drivers.size()); ++d) {
        const driver_t& driver = economy_.drivers[static_cast<size_t>(d)];
        const int32_t start = driver.pref_cities[0] != -1
                                  ? driver.pref_cities[0]
                                  : draw_index(sys_rand(), static_cast<int32_t>(economy_.cities.size()));
        pick_city_job(start, d, 0);
        start_leg(d);
        assign_jobs(d);
    }
}

void economy_computer_drivers_t::assign_jobs(const int32_t driver)
{
    if (driver < 0 || driver >= static_cast<int32_t>(economy_.drivers.size()))
        return;
    for (int32_t slot = 0; slot + 1 < driver_job_slots; ++slot) {
        const int32_t city = economy_.job_dest_city(economy_.drivers[static_cast<size_t>(driver)].jobs[slot]);
        if (city != -1)
            pick_city_job(city, driver, slot + 1);
    }
}

void economy_computer_drivers_t::start_leg(const int32_t driver)
{
    if (driver < 0 || driver >= static_cast<int32_t>(economy_.drivers.size()))
        return;
    driver_t& record = economy_.drivers[static_cast<size_t>(driver)];
    record.progress = 0.0f;
    record.state &= static_cast<uint8_t>(~driver_in_traffic);
    if (record.flags & driver_is_player)
        return;
    if (record.truck < 0 || record.truck >= static_cast<int32_t>(economy_.trucks.size())) {
        record.leg_time = 0.0f;
        return;
    }
    const float distance = record.jobs[0] >= 0 && record.jobs[0] <= economy_.job_count()
                               ? economy_.jobs[static_cast<size_t>(record.jobs[0])].distance
                               : 0.0f;
    const float rating = economy_.trucks[static_cast<size_t>(record.truck)].rating;
    record.leg_time = rating > 0.0f ? distance * 0.000006213711f / rating * 3600.0f : 0.0f;
    record.flags |= driver_loading;
    record.leg_clock = economy_.world().world_time();
    if (take_job_route(record)) {
        const bool backwards = (record.route_direction & 1) != 0;
        record.current_node = backwards ? static_cast<uint16_t>(record.route_length - 1) : 0;
        record.next_node = backwards ? static_cast<uint16_t>(record.route_length - 2) : 1;
        record.covered = 0.0f;
        record.state |= driver_has_route;
    }
}

bool economy_computer_drivers_t::take_job_route(driver_t& record) const
{
    route_view_t route;
    bool forward = false;
    if (!economy_.job_route_distance(record.jobs[0], route, forward) || route.length == 0) {
        record.state &= static_cast<uint8_t>(~driver_has_route);
        return false;
    }
    record.route_length = route.length;
    record.route_distance = route.distance;
    record.route_nodes = route.nodes;
    record.route_distances = route.distances;
    // The route is stored from the destination's dock back to the source's: set, it is walked from its
    // last node to its first.
    record.route_direction = forward ? 1 : 0;
    return true;
}

namespace {

// Whether the route position `node` lies on a route of `length` nodes.
bool on_route(const uint16_t node, const uint16_t length) { return node < length; }

// The route a driver walks, as the route table reads it.
route_view_t route_of(const driver_t& record)
{
    return {record.route_length, record.route_distance, record.route_nodes, record.route_distances};
}

// Moves a driver on to his next route node, with the distance covered up to it.
void step_to_next_node(driver_t& record, const route_table_t& routes)
{
    const route_view_t route = route_of(record);
    record.current_node = record.next_node;
    if (record.route_direction & 1) {
        record.covered = static_cast<float>(record.route_distance) -
                         static_cast<float>(routes.node_distance(route, record.next_node));
        record.next_node = static_cast<uint16_t>(record.next_node - 1);  // 0xFFFF past the first node
    } else {
        record.covered = static_cast<float>(routes.node_distance(route, record.next_node));
        record.next_node = static_cast<uint16_t>(record.next_node + 1);
    }
}

// The edge `offset` nodes ahead of a driver's current one in his direction (-1 past either end).
int32_t edge_ahead(const driver_t& record, const route_table_t& routes, const int offset)
{
    const int position = record.current_node + ((record.route_direction & 1) ? -offset : offset);
    return position >= 0 && position < record.route_length
               ? routes.node(route_of(record), static_cast<uint32_t>(position))
               : -1;
}

}  // namespace

void economy_computer_drivers_t::step()
{
    if (economy_.drivers.empty())
        return;
    cursor_ = (cursor_ + 1) % static_cast<int32_t>(economy_.drivers.size());
    step_driver(cursor_);
}

void economy_computer_drivers_t::step_driver(const int32_t d)
{
    if (d < 0 || d >= static_cast<int32_t>(economy_.drivers.size()))
        return;
    driver_t& driver = economy_.drivers[static_cast<size_t>(d)];
    if ((driver.state & driver_in_traffic) || (driver.flags & driver_is_player))
        return;
    const double now = economy_.world().world_time();
    const auto dt = static_cast<float>(now - driver.leg_clock);
    if (driver.flags & driver_loading) {
        driver.progress += dt;
        if (driver.progress > loading_seconds) {
            driver.progress = 0.0f;
            driver.flags &= ~driver_loading;
        }
    } else if (driver.leg_time <= 0.0f) {
        // A leg of no length (no truck, or a job without distance) is delivered at once.
        driver.progress = 1.0f;
    } else {
        driver.progress = (driver.leg_time * driver.progress + dt) / driver.leg_time;
    }
    if (!(driver.flags & driver_loading)) {
        if (driver.progress < 1.0f) {
            if (driver.state & driver_has_route)
                place_on_route(d, nullptr);
        } else {
            economy_.delivery_result(d, sys_rand() * static_cast<float>(100 - driver.prestige) * 0.002f, true);
        }
    }
    driver.leg_clock = now;
}

void economy_computer_drivers_t::place_on_route(const int32_t driver, vec3_t* out_position)
{
    if (driver < 0 || driver >= static_cast<int32_t>(economy_.drivers.size()))
        return;
    driver_t& record = economy_.drivers[static_cast<size_t>(driver)];
    const route_view_t route = route_of(record);
    const float target = static_cast<float>(record.route_distance) * record.progress;
    // The walk stops at either end of the route, whatever the progress says.
    while (record.covered < target && on_route(record.next_node, record.route_length))
        step_to_next_node(record, economy_.routes);
    const vec3_t position = economy_.world().edge_start(economy_.routes.node(route, record.current_node));
    if (out_position) {
        *out_position = position;
        return;
    }
    vec3_t truck{};
    if (!economy_.world().truck_position(truck))
        return;
    const vec3_t d = position - truck;
    if (d.x * d.x + d.y * d.y + d.z * d.z >= 4.9e9f)
        return;
    if (record.truck < 0 || record.truck >= static_cast<int32_t>(economy_.trucks.size()))
        return;
    const company_truck_t& truck_record = economy_.trucks[static_cast<size_t>(record.truck)];
    const int32_t job = record.jobs[0];
    const cargo_t* const cargo =
        job >= 0 && job <= economy_.job_count() && economy_.jobs[static_cast<size_t>(job)].cargo >= 0 &&
                economy_.jobs[static_cast<size_t>(job)].cargo <= economy_.cargo_count()
            ? &economy_.cargos[static_cast<size_t>(economy_.jobs[static_cast<size_t>(job)].cargo)]
            : nullptr;
    economy_.world().show_driver_truck({economy_.routes.node(route, record.current_node), driver,
                                        cargo ? cargo->trailer : "", cargo ? cargo->variant : 0, truck_record.make,
                                        truck_record.accessories, truck_record.colour});
}

namespace {

// The edge at the route position `position` (current or next) of driver `driver`; false (-1) when
// there is no such driver or the position is past his route's ends.
bool driver_route_edge(const std::vector<driver_t>& drivers, const route_table_t& routes, const int32_t driver,
                       uint16_t driver_t::*position, int32_t& out_node)
{
    out_node = -1;
    if (driver < 0 || driver >= static_cast<int32_t>(drivers.size()))
        return false;
    const driver_t& record = drivers[static_cast<size_t>(driver)];
    if (!on_route(record.*position, record.route_length))
        return false;
    out_node = routes.node(route_of(record), record.*position);
    return true;
}

}  // namespace

bool economy_computer_drivers_t::route_node(const int32_t driver, int32_t& out_node) const
{
    return driver_route_edge(economy_.drivers, economy_.routes, driver, &driver_t::current_node, out_node);
}

bool economy_computer_drivers_t::next_node(const int32_t driver, int32_t& out_node) const
{
    return driver_route_edge(economy_.drivers, economy_.routes, driver, &driver_t::next_node, out_node);
}

void economy_computer_drivers_t::route_step(const int32_t driver)
{
    if (driver < 0 || driver >= static_cast<int32_t>(economy_.drivers.size()))
        return;
    driver_t& record = economy_.drivers[static_cast<size_t>(driver)];
    if ((record.flags & driver_loading) || !on_route(record.next_node, record.route_length))
        return;
    step_to_next_node(record, economy_.routes);
    if (record.route_distance > 0)
        record.progress = record.covered / static_cast<float>(record.route_distance);
}

void economy_computer_drivers_t::set_spawned(const int32_t driver, const bool on)
{
    if (driver < 0 || driver >= static_cast<int32_t>(economy_.drivers.size()))
        return;
    driver_t& record = economy_.drivers[static_cast<size_t>(driver)];
    if (on) {
        record.state |= driver_in_traffic;
        record.flags &= ~driver_unknown_bit(0);
    } else {
        record.state &= static_cast<uint8_t>(~driver_in_traffic);
    }
    record.leg_clock = economy_.world().world_time();
}

void economy_computer_drivers_t::route_ahead(const int32_t driver, route_t& out)
{
    const bool known = driver >= 0 && driver < static_cast<int32_t>(economy_.drivers.size());
    for (int i = 0; i < route_entries; ++i) {
        out.entries[i] = {driver, -1, -1, -1};
        if (known)
            out.entries[i].edge = edge_ahead(economy_.drivers[static_cast<size_t>(driver)], economy_.routes, i);
    }
}

void economy_computer_drivers_t::route_node6(route_t& out)
{
    route_entry_t& last = out.entries[route_entries - 1];
    const int32_t driver = out.entries[0].driver;
    last = {driver, -1, -1, -1};
    if (driver < 0 || driver >= static_cast<int32_t>(economy_.drivers.size()))
        return;
    last.edge = edge_ahead(economy_.drivers[static_cast<size_t>(driver)], economy_.routes, 6);
}
