#include <cmath>
#include <cstdio>

#include "engine/bind.h"
#include "engine/input.h"
#include "engine/snd.h"
#include "engine/ui.h"
#include "engine/ui_view.h"
#include "engine/evalue.h"
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/format.h"
#include "common/game_bridge.h"
#include "common/notebook_host.h"
#include "common/impulses.h"
#include "common/ui_find_component.h"
#include "road/game_ctrl.h"

namespace {

// Squared distances (x, z) at which the truck is at a station.
constexpr float dealer_near_sq = 1000000.0f;
constexpr float weigh_arm_sq = 81000000.0f;
constexpr float weigh_near_sq = 90000.0f;
constexpr float weigh_leave_sq = 729000000.0f;
constexpr float station_near_sq = 810000.0f;
// Speed (mph) below which the truck stops at a station.
constexpr float station_stop_mph = 5.0f;
// Seconds of one fuelling or repair tick.
constexpr float station_tick = 0.3f;
// Station sounds by their place in the controller's table.
enum station_sound_t { sound_bell = 0, sound_gas_start = 1, sound_gas_stop = 2, sound_gas_flow = 3 };

}  // namespace

void game_ctrl_e::play_ui_sound(const int sound)
{
    if (sound >= 0 && sound < 4 && ui_sounds_[sound])
        api::snd_play(ui_sounds_[sound]);
}

void game_ctrl_e::set_station_text(c_item_t* window, const int component, const char* text)
{
    ui_view_t* const view = window ? ui_window_component(window, component) : nullptr;
    if (view && evalue_find(view->get_evalue_root(), "value"))
        evalue_set(view, "value", 0, text);
}

void game_ctrl_e::assign_station_prices()
{
    const held_part_t<ctrl_economy_t> economy(bridge ? bridge->economy() : entity_handle_t{});
    const int32_t dealers = economy.get() ? economy.get()->dealer_count() : 0;
    if (dealers <= 0)
        return;
    int32_t number = ((dealer_start % dealers) + dealers) % dealers;
    for (map_miscitem_t& item : miscitems) {
        if (item.type == map_misc_gas_station || item.type == map_misc_truck_stop) {
            item.params[0] = static_cast<int32_t>(api::sys_rand() * 120.0f + 125.0f);
        } else if (item.type == map_misc_dealer) {
            item.params[0] = number;
            if (edges.valid(item.params[1]))
                edges[item.params[1]].sides[1].railing = number;
            number = (number + 1) % dealers;
        }
    }
}

void game_ctrl_e::station_interaction()
{
    const held_part_t<ctrl_truck_t> truck(bridge ? bridge->avatar() : entity_handle_t{});
    if (!truck.get())
        return;
    const vec3_t position = truck.get()->truck_position();
    const float speed = truck.get()->truck_speed_mph();
    auto distance_sq = [&](const float x, const float z) {
        return (position.x - x) * (position.x - x) + (position.z - z) * (position.z - z);
    };
    if (stations.weigh_armed && distance_sq(stations.weigh_point[0], stations.weigh_point[1]) > weigh_leave_sq) {
        if (!stations.weigh_done)
            report_passed_scales(truck.get()->trailer_job());
        stations.weigh_armed = 0;
        stations.weigh_done = 0;
    }
    for (const int32_t index : active_list(base_ctrl_stations)) {
        if (!miscitems.valid(index))
            continue;
        const map_miscitem_t& item = miscitems[index];
        const float d2 = distance_sq(item.points[0].x, item.points[0].z);
        bool near = false;
        if (item.type == map_misc_dealer) {
            near = d2 < dealer_near_sq;
        } else if (item.type == map_misc_scales) {
            if (d2 < weigh_arm_sq && !stations.weigh_armed) {
                stations.weigh_armed = 1;
                stations.weigh_point[0] = item.points[0].x;
                stations.weigh_point[1] = item.points[0].z;
            }
            near = d2 < weigh_near_sq;
        } else {
            near = d2 < station_near_sq;
        }
        if (!near)
            continue;
        switch (item.type) {
        case map_misc_gas_station:
            gas_entry(item, speed);
            break;
        case map_misc_service:
            service_entry(speed);
            break;
        case map_misc_truck_stop:
            service_entry(speed);
            gas_entry(item, speed);
            break;
        case map_misc_scales:
            weigh_entry(speed);
            break;
        case map_misc_dealer:
            dealer_arrival(item);
            break;
        default:
            break;
        }
        return;
    }
    close_stations();
}

void game_ctrl_e::close_stations()
{
    if (stations.at_gas_pump) {
        stations.fuel_ticks = 0;
        stations.fuel_timer = 0.0f;
        stations.fuel_paid = 0;
        stations.at_gas_pump = 0;
        if (stations.gas_window)
            ui_whide(stations.gas_window);
    }
    if (stations.at_service) {
        stations.repair_cost = 0;
        stations.repair_damage = 0.0f;
        stations.repair_timer = 0.0f;
        stations.at_service = 0;
        if (stations.service_window)
            ui_whide(stations.service_window);
    }
    if (stations.weigh_shown) {
        stations.weigh_shown = 0;
        if (stations.weigh_window)
            ui_whide(stations.weigh_window);
    }
    stations.dealer_armed = 1;
}

void game_ctrl_e::gas_entry(const map_miscitem_t& item, const float speed_mph)
{
    if (stations.at_gas_pump || speed_mph >= station_stop_mph)
        return;
    if (!stations.gas_window)
        stations.gas_window = open_window("ico1", "gas", 4, "/ui/ggasico.esc");
    if (stations.gas_window)
        ui_wshow(stations.gas_window, 0);
    stations.at_gas_pump = 1;
    play_ui_sound(sound_bell);
    // A pump without a price (a map played without dealers draws none) sells at the default price
    // rather than for nothing.
    stations.fuel_price = item.params[0] > 0 ? static_cast<float>(item.params[0]) * 0.01f : 1.58f;
    char text[32];
    snprintf(text, sizeof text, "%.2f $", static_cast<double>(stations.fuel_price));
    set_station_text(stations.gas_window, 100, text);
    set_station_text(stations.gas_window, 110, "0");
    set_station_text(stations.gas_window, 120, "0");
    // The key that fills the tank, as the player bound it; without one the line stays as it was.
    if (const inp_impulse_t* const pump = api::inp_impulse_get(impulse_gas_pump))
        if (const bind_t* const key = api::inp_trigger_impulsealias(pump->name, 0, nullptr); key && key->trigger)
            set_station_text(stations.gas_window, 130, key->trigger->name);
}

void game_ctrl_e::service_entry(const float speed_mph)
{
    const held_part_t<ctrl_truck_t> truck(bridge ? bridge->avatar() : entity_handle_t{});
    if (truck.get())
        stations.repair_damage = truck.get()->damage();
    if (stations.at_service || speed_mph >= station_stop_mph)
        return;
    if (!stations.service_window)
        stations.service_window = open_window("ico2", "service", 4, "/ui/gserviceico.esc");
    if (stations.service_window)
        ui_wshow(stations.service_window, 0);
    stations.at_service = 1;
    play_ui_sound(sound_bell);
    const held_part_t<ctrl_economy_t> economy(bridge ? bridge->economy() : entity_handle_t{});
    const float value = economy.get() ? static_cast<float>(economy.get()->current_truck_value()) : 0.0f;
    stations.repair_cost = static_cast<int32_t>(std::lround(value * stations.repair_damage * 0.01f));
    stations.repair_step_cost =
        stations.repair_damage > 0.0001f
            ? static_cast<int32_t>(std::lround(stations.repair_cost / (stations.repair_damage * 10.0f)))
            : 0;
    char text[64];
    format_money(stations.repair_cost, text, sizeof text, 0xffffffffu);
    set_station_text(stations.service_window, 100, text);
    snprintf(text, sizeof text, "%d %%", static_cast<int>(std::lround(stations.repair_damage * 100.0f)));
    set_station_text(stations.service_window, 110, text);
}

int32_t game_ctrl_e::weighing_fine(const int32_t job, const int32_t multiplier)
{
    const held_part_t<ctrl_economy_t> economy(bridge ? bridge->economy() : entity_handle_t{});
    if (!economy.get())
        return 0;
    // The divisor is 8 to 12.
    const auto divisor = static_cast<int32_t>(std::lround(api::sys_rand() * 4.0f + 8.0f));
    return economy.get()->job_pay(job) * multiplier / divisor;
}

void game_ctrl_e::report_passed_scales(const int32_t job)
{
    if (job == -1 || !(api::sys_rand() < 0.8f))
        return;
    bool overweight = false;
    {
        const held_part_t<ctrl_economy_t> economy(bridge ? bridge->economy() : entity_handle_t{});
        overweight = economy.get() && economy.get()->job_overweight(job);
    }
    const int32_t fine = overweight ? weighing_fine(job, 2) : 1000;
    const held_part_t<ctrl_traffic_t> traffic(bridge ? bridge->traffic() : entity_handle_t{});
    if (traffic.get())
        traffic.get()->report_offence(180, fine);
}

void game_ctrl_e::weigh_entry(const float speed_mph)
{
    if (stations.weigh_shown || speed_mph >= station_stop_mph)
        return;
    const held_part_t<ctrl_truck_t> truck(bridge ? bridge->avatar() : entity_handle_t{});
    const int32_t job = truck.get() ? truck.get()->trailer_job() : -1;
    if (job == -1) {
        stations.weigh_done = 1;
        return;
    }
    if (!stations.weigh_window)
        stations.weigh_window = open_window("ico3", "scales", 4, "/ui/gscalesico.esc");
    if (stations.weigh_window)
        ui_wshow(stations.weigh_window, 0);
    stations.weigh_shown = 1;
    bool overweight = false;
    {
        const held_part_t<ctrl_economy_t> economy(bridge ? bridge->economy() : entity_handle_t{});
        overweight = economy.get() && economy.get()->job_overweight(job);
    }
    int32_t fine = 0;
    if (overweight) {
        set_station_text(stations.weigh_window, 100,
                         "<align hstyle=center>@@ui_weight@@<br>@@ui_check@@<br>@@ui_failed@@</align>");
        fine = weighing_fine(job, 1);
        char text[64];
        format_money(fine, text, sizeof text, 0xffffffffu);
        set_station_text(stations.weigh_window, 110, text);
    } else {
        set_station_text(stations.weigh_window, 100,
                         "<align hstyle=center>@@ui_weight@@<br>@@ui_check@@<br>@@ui_passed@@</align>");
        set_station_text(stations.weigh_window, 110, "@@ui_ok@@");
    }
    if (fine != 0 && !stations.weigh_done) {
        const held_part_t<ctrl_economy_t> economy(bridge ? bridge->economy() : entity_handle_t{});
        if (economy.get())
            economy.get()->add_money(-fine, 1);
    }
    stations.weigh_done = 1;
}

void game_ctrl_e::dealer_arrival(const map_miscitem_t& item)
{
    if (!stations.dealer_armed)
        return;
    {
        const held_part_t<ctrl_economy_t> economy(bridge ? bridge->economy() : entity_handle_t{});
        if (economy.get())
            economy.get()->mark_dealer_known(item.params[0]);
    }
    stations.dealer_armed = 0;
    if (notebook_) {
        ui_wshow(notebook_, 0x20000000);
        // The trucks page opens knowing the dealer, so that it can offer that dealer's trucks.
        if (notebook_host_t* const host = notebook_host(notebook_)) {
            host->set_dealer(item.params[0]);
            host->show_page(notebook_host_t::page_trucks);
        }
    }
    const held_part_t<pager_owner_t> truck(bridge ? bridge->avatar() : entity_handle_t{});
    if (truck.get())
        truck.get()->pager_message("@@ui_dealer_thanks@@", 0);
}

void game_ctrl_e::fuel_step(const float dt)
{
    stations.fuel_timer -= dt;
    if (stations.fuel_timer > 0.0f)
        return;
    stations.fuel_ticks += 1;
    stations.fuel_timer += station_tick;
    const held_part_t<ctrl_economy_t> economy(bridge ? bridge->economy() : entity_handle_t{});
    const held_part_t<ctrl_truck_t> truck(bridge ? bridge->avatar() : entity_handle_t{});
    bool done = true;
    if (economy.get() && truck.get()) {
        const int32_t money = economy.get()->money();
        float capacity = 0.0f;
        float percent = 0.0f;
        truck.get()->get_fuel(capacity, percent);
        const int32_t amount = stations.fuel_ticks <= 4 ? 1 : stations.fuel_ticks <= 9 ? 10 : 100;
        const bool can_pay = money > (amount == 1 ? 1 : 10);
        // A tank without capacity, or a pump without a price, cannot be filled by money.
        if (percent < 99.0f && can_pay && capacity > 0.0f && stations.fuel_price > 0.0f) {
            float added = (static_cast<float>(amount) / stations.fuel_price) * (100.0f / capacity);
            int32_t paid = amount;
            if (percent + added > 100.0f) {
                added = 100.0f - percent;
                paid = static_cast<int32_t>(std::lround(added * stations.fuel_price * capacity * 0.01f));
            }
            percent += added;
            stations.fuel_paid += paid;
            economy.get()->add_money(-paid, 1);
            truck.get()->set_fuel(percent);
            char text[32];
            snprintf(text, sizeof text, "%d", stations.fuel_paid);
            set_station_text(stations.gas_window, 120, text);
            snprintf(text, sizeof text, "%.2f", static_cast<double>(stations.fuel_paid / stations.fuel_price));
            set_station_text(stations.gas_window, 110, text);
            done = percent >= 99.0f;
            if (!done)
                return;
        }
    }
    if (done && ui_sounds_[sound_gas_flow] && api::snd_playing(ui_sounds_[sound_gas_flow])) {
        api::snd_stop(ui_sounds_[sound_gas_flow]);
        play_ui_sound(sound_gas_stop);
    }
}

void game_ctrl_e::repair_step(const float dt)
{
    stations.repair_timer -= dt;
    if (stations.repair_timer > 0.0f)
        return;
    stations.repair_timer += station_tick;
    const held_part_t<ctrl_economy_t> economy(bridge ? bridge->economy() : entity_handle_t{});
    const held_part_t<ctrl_truck_t> truck(bridge ? bridge->avatar() : entity_handle_t{});
    if (!economy.get() || !truck.get())
        return;
    if (stations.repair_cost == 0 || stations.repair_cost >= economy.get()->money())
        return;
    if (stations.repair_cost < stations.repair_step_cost || stations.repair_step_cost <= 0) {
        economy.get()->add_money(-stations.repair_cost, 1);
        stations.repair_cost = 0;
        stations.repair_damage = 0.0f;
        truck.get()->repair(1.0f);
    } else {
        economy.get()->add_money(-stations.repair_step_cost, 1);
        stations.repair_damage -= 0.1f;
        stations.repair_cost -= stations.repair_step_cost;
        truck.get()->repair(0.1f);
    }
    char text[64];
    format_money(stations.repair_cost, text, sizeof text, 0xffffffffu);
    set_station_text(stations.service_window, 100, text);
    snprintf(text, sizeof text, "%d %%", static_cast<int>(std::lround(stations.repair_damage * 100.0f)));
    set_station_text(stations.service_window, 110, text);
}
