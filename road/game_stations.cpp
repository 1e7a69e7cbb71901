#include "road/game_stations.h"

#include <cmath>
#include <cstdio>

#include "engine/bind.h"
#include "engine/input.h"
#include "engine/snd.h"
#include "engine/ui.h"
#include "engine/ui_view.h"
#include "engine/check.h"
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
// Station sounds by their place in the table.
enum station_sound_t { sound_bell = 0, sound_gas_start = 1, sound_gas_stop = 2, sound_gas_flow = 3 };

// Writes `text` into the value of component `component` of a station window.
void set_station_text(c_item_t* window, const int component, const char* text)
{
    ui_view_t* const view = window ? ui_window_component(window, component) : nullptr;
    if (view && evalue_find(view->get_evalue_root(), "value"))
        evalue_set(view, "value", 0, text);
}

}  // namespace

game_stations_t::~game_stations_t()
{
    free_sounds();
    free_target_models();
}

void game_stations_t::load_sounds()
{
    static const char* const station_sounds[] = {"/sounds/ui/gas_station_bell.ogg", "/sounds/ui/gas_start.ogg",
                                                 "/sounds/ui/gas_stop.ogg", "/sounds/ui/gas_flow.ogg"};
    for (int i = 0; i < 4; ++i) {
        if (!sounds_[i])
            sounds_[i] = api::snd_new(station_sounds[i], i == sound_gas_flow ? 4 : 32, 10);
    }
}

void game_stations_t::free_sounds()
{
    for (snd_sound_t*& sound : sounds_) {
        if (sound)
            api::snd_delete(sound);
        sound = nullptr;
    }
}

void game_stations_t::play_sound(const int sound)
{
    kv_assert(sound >= 0 && sound < 4);
    if (sounds_[sound])
        api::snd_play(sounds_[sound]);
}

void game_stations_t::keys(const float dt)
{
    if (state_.at_gas_pump) {
        const bool pressed = api::inp_impulse_value(impulse_gas_pump, 0) != 0.0f;
        if (!pressed && state_.fuel_ticks != 0) {
            if (sounds_[sound_gas_flow] && api::snd_playing(sounds_[sound_gas_flow]))
                api::snd_stop(sounds_[sound_gas_flow]);
            play_sound(sound_gas_start);
            state_.fuel_ticks = 0;
            state_.fuel_timer = 0.0f;
        } else if (pressed) {
            if (state_.fuel_ticks == 0) {
                play_sound(sound_gas_start);
                play_sound(sound_gas_flow);
            }
            fuel_step(dt);
        }
    }
    if (state_.at_service) {
        if (api::inp_impulse_value(impulse_service, 0) != 0.0f)
            repair_step(dt);
        else
            state_.repair_timer = 0.0f;
    }
}

void game_stations_t::assign_prices(const int32_t dealer_start)
{
    const held_part_t<ctrl_economy_t> economy(ctrl_.economy_handle());
    const int32_t dealers = economy.get() ? economy.get()->dealer_count() : 0;
    if (dealers <= 0)
        return;
    int32_t number = ((dealer_start % dealers) + dealers) % dealers;
    for (map_miscitem_t& item : ctrl_.miscitems) {
        if (item.type == map_misc_gas_station || item.type == map_misc_truck_stop) {
            item.params[0] = static_cast<int32_t>(api::sys_rand() * 120.0f + 125.0f);
        } else if (item.type == map_misc_dealer) {
            kv_assert(number >= 0 && number < dealers);
            item.params[0] = number;
            if (ctrl_.edges.valid(item.params[1]))
                ctrl_.edges[item.params[1]].sides[1].railing = number;
            number = (number + 1) % dealers;
        }
    }
}

void game_stations_t::interaction()
{
    const held_part_t<ctrl_truck_t> truck(ctrl_.truck_handle());
    if (!truck.get())
        return;
    const vec3_t position = truck.get()->truck_position();
    const float speed = truck.get()->truck_speed_mph();
    auto distance_sq = [&](const float x, const float z) {
        return (position.x - x) * (position.x - x) + (position.z - z) * (position.z - z);
    };
    if (state_.weigh_armed && distance_sq(state_.weigh_point[0], state_.weigh_point[1]) > weigh_leave_sq) {
        if (!state_.weigh_done)
            report_passed_scales(truck.get()->trailer_job());
        state_.weigh_armed = 0;
        state_.weigh_done = 0;
    }
    for (const int32_t index : ctrl_.active_list(base_ctrl_stations)) {
        if (!ctrl_.miscitems.valid(index))
            continue;
        const map_miscitem_t& item = ctrl_.miscitems[index];
        const float d2 = distance_sq(item.points[0].x, item.points[0].z);
        bool near = false;
        if (item.type == map_misc_dealer) {
            near = d2 < dealer_near_sq;
        } else if (item.type == map_misc_scales) {
            if (d2 < weigh_arm_sq && !state_.weigh_armed) {
                state_.weigh_armed = 1;
                state_.weigh_point[0] = item.points[0].x;
                state_.weigh_point[1] = item.points[0].z;
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
    close();
}

void game_stations_t::close()
{
    if (state_.at_gas_pump) {
        state_.fuel_ticks = 0;
        state_.fuel_timer = 0.0f;
        state_.fuel_paid = 0;
        state_.at_gas_pump = 0;
        if (gas_window_)
            ui_whide(gas_window_);
    }
    if (state_.at_service) {
        state_.repair_cost = 0;
        state_.repair_damage = 0.0f;
        state_.repair_timer = 0.0f;
        state_.at_service = 0;
        if (service_window_)
            ui_whide(service_window_);
    }
    if (state_.weigh_shown) {
        state_.weigh_shown = 0;
        if (weigh_window_)
            ui_whide(weigh_window_);
    }
    state_.dealer_armed = 1;
}

void game_stations_t::gas_entry(const map_miscitem_t& item, const float speed_mph)
{
    if (state_.at_gas_pump || speed_mph >= station_stop_mph)
        return;
    if (!gas_window_)
        gas_window_ = ctrl_.open_window("ico1", "gas", 4, "/ui/ggasico.esc");
    if (gas_window_)
        ui_wshow(gas_window_, 0);
    state_.at_gas_pump = 1;
    play_sound(sound_bell);
    // A pump without a price (a map played without dealers draws none) sells at the default price
    // rather than for nothing.
    state_.fuel_price = item.params[0] > 0 ? static_cast<float>(item.params[0]) * 0.01f : 1.58f;
    char text[32];
    snprintf(text, sizeof text, "%.2f $", static_cast<double>(state_.fuel_price));
    set_station_text(gas_window_, 100, text);
    set_station_text(gas_window_, 110, "0");
    set_station_text(gas_window_, 120, "0");
    // The key that fills the tank, as the player bound it; without one the line stays as it was.
    if (const inp_impulse_t* const pump = api::inp_impulse_get(impulse_gas_pump))
        if (const bind_t* const key = api::inp_trigger_impulsealias(pump->name, 0, nullptr); key && key->trigger)
            set_station_text(gas_window_, 130, key->trigger->name);
}

void game_stations_t::service_entry(const float speed_mph)
{
    const held_part_t<ctrl_truck_t> truck(ctrl_.truck_handle());
    if (truck.get())
        state_.repair_damage = truck.get()->damage();
    if (state_.at_service || speed_mph >= station_stop_mph)
        return;
    if (!service_window_)
        service_window_ = ctrl_.open_window("ico2", "service", 4, "/ui/gserviceico.esc");
    if (service_window_)
        ui_wshow(service_window_, 0);
    state_.at_service = 1;
    play_sound(sound_bell);
    const held_part_t<ctrl_economy_t> economy(ctrl_.economy_handle());
    const float value = economy.get() ? static_cast<float>(economy.get()->current_truck_value()) : 0.0f;
    state_.repair_cost = static_cast<int32_t>(std::lround(value * state_.repair_damage * 0.01f));
    state_.repair_step_cost =
        state_.repair_damage > 0.0001f
            ? static_cast<int32_t>(std::lround(state_.repair_cost / (state_.repair_damage * 10.0f)))
            : 0;
    show_repair();
}

int32_t game_stations_t::weighing_fine(const int32_t job, const int32_t multiplier)
{
    const held_part_t<ctrl_economy_t> economy(ctrl_.economy_handle());
    if (!economy.get())
        return 0;
    // The divisor is 8 to 12.
    const auto divisor = static_cast<int32_t>(std::lround(api::sys_rand() * 4.0f + 8.0f));
    return economy.get()->job_pay(job) * multiplier / divisor;
}

void game_stations_t::report_passed_scales(const int32_t job)
{
    if (job == -1 || !(api::sys_rand() < 0.8f))
        return;
    bool overweight = false;
    {
        const held_part_t<ctrl_economy_t> economy(ctrl_.economy_handle());
        overweight = economy.get() && economy.get()->job_overweight(job);
    }
    const int32_t fine = overweight ? weighing_fine(job, 2) : 1000;
    const held_part_t<ctrl_traffic_t> traffic(ctrl_.traffic_handle());
    if (traffic.get())
        traffic.get()->report_offence(180, fine);
}

void game_stations_t::weigh_entry(const float speed_mph)
{
    if (state_.weigh_shown || speed_mph >= station_stop_mph)
        return;
    const held_part_t<ctrl_truck_t> truck(ctrl_.truck_handle());
    const int32_t job = truck.get() ? truck.get()->trailer_job() : -1;
    if (job == -1) {
        state_.weigh_done = 1;
        return;
    }
    if (!weigh_window_)
        weigh_window_ = ctrl_.open_window("ico3", "scales", 4, "/ui/gscalesico.esc");
    if (weigh_window_)
        ui_wshow(weigh_window_, 0);
    state_.weigh_shown = 1;
    bool overweight = false;
    {
        const held_part_t<ctrl_economy_t> economy(ctrl_.economy_handle());
        overweight = economy.get() && economy.get()->job_overweight(job);
    }
    int32_t fine = 0;
    if (overweight) {
        set_station_text(weigh_window_, 100,
                         "<align hstyle=center>@@ui_weight@@<br>@@ui_check@@<br>@@ui_failed@@</align>");
        fine = weighing_fine(job, 1);
        char text[64];
        format_money(fine, text, sizeof text, 0xffffffffu);
        set_station_text(weigh_window_, 110, text);
    } else {
        set_station_text(weigh_window_, 100,
                         "<align hstyle=center>@@ui_weight@@<br>@@ui_check@@<br>@@ui_passed@@</align>");
        set_station_text(weigh_window_, 110, "@@ui_ok@@");
    }
    if (fine != 0 && !state_.weigh_done) {
        const held_part_t<ctrl_economy_t> economy(ctrl_.economy_handle());
        if (economy.get())
            economy.get()->add_money(-fine, 1);
    }
    state_.weigh_done = 1;
}

void game_stations_t::dealer_arrival(const map_miscitem_t& item)
{
    if (!state_.dealer_armed)
        return;
    {
        const held_part_t<ctrl_economy_t> economy(ctrl_.economy_handle());
        if (economy.get())
            economy.get()->mark_dealer_known(item.params[0]);
    }
    state_.dealer_armed = 0;
    if (c_item_t* const notebook = ctrl_.notebook()) {
        ui_wshow(notebook, 0x20000000);
        // The trucks page opens knowing the dealer, so that it can offer that dealer's trucks.
        if (notebook_host_t* const host = notebook_host(notebook)) {
            host->set_dealer(item.params[0]);
            host->show_page(notebook_host_t::page_trucks);
        }
    }
    const held_part_t<pager_owner_t> truck(ctrl_.truck_handle());
    if (truck.get())
        truck.get()->pager_message("@@ui_dealer_thanks@@", 0);
}

void game_stations_t::fuel_step(const float dt)
{
    state_.fuel_timer -= dt;
    if (state_.fuel_timer > 0.0f)
        return;
    state_.fuel_ticks += 1;
    state_.fuel_timer += station_tick;
    const held_part_t<ctrl_economy_t> economy(ctrl_.economy_handle());
    const held_part_t<ctrl_truck_t> truck(ctrl_.truck_handle());
    bool done = true;
    if (economy.get() && truck.get()) {
        const int32_t money = economy.get()->money();
        float capacity = 0.0f;
        float percent = 0.0f;
        truck.get()->get_fuel(capacity, percent);
        const int32_t amount = state_.fuel_ticks <= 4 ? 1 : state_.fuel_ticks <= 9 ? 10 : 100;
        const bool can_pay = money > (amount == 1 ? 1 : 10);
        // A tank without capacity, or a pump without a price, cannot be filled by money.
        if (percent < 99.0f && can_pay && capacity > 0.0f && state_.fuel_price > 0.0f) {
            float added = (static_cast<float>(amount) / state_.fuel_price) * (100.0f / capacity);
            int32_t paid = amount;
            if (percent + added > 100.0f) {
                added = 100.0f - percent;
                paid = static_cast<int32_t>(std::lround(added * state_.fuel_price * capacity * 0.01f));
            }
            percent += added;
            state_.fuel_paid += paid;
            economy.get()->add_money(-paid, 1);
            truck.get()->set_fuel(percent);
            char text[32];
            snprintf(text, sizeof text, "%d", state_.fuel_paid);
            set_station_text(gas_window_, 120, text);
            snprintf(text, sizeof text, "%.2f", static_cast<double>(state_.fuel_paid / state_.fuel_price));
            set_station_text(gas_window_, 110, text);
            done = percent >= 99.0f;
            if (!done)
                return;
        }
    }
    if (done && sounds_[sound_gas_flow] && api::snd_playing(sounds_[sound_gas_flow])) {
        api::snd_stop(sounds_[sound_gas_flow]);
        play_sound(sound_gas_stop);
    }
}

void game_stations_t::repair_step(const float dt)
{
    state_.repair_timer -= dt;
    if (state_.repair_timer > 0.0f)
        return;
    state_.repair_timer += station_tick;
    const held_part_t<ctrl_economy_t> economy(ctrl_.economy_handle());
    const held_part_t<ctrl_truck_t> truck(ctrl_.truck_handle());
    if (!economy.get() || !truck.get())
        return;
    if (state_.repair_cost == 0 || state_.repair_cost >= economy.get()->money())
        return;
    if (state_.repair_cost < state_.repair_step_cost || state_.repair_step_cost <= 0) {
        economy.get()->add_money(-state_.repair_cost, 1);
        state_.repair_cost = 0;
        state_.repair_damage = 0.0f;
        truck.get()->repair(1.0f);
    } else {
        economy.get()->add_money(-state_.repair_step_cost, 1);
        state_.repair_damage -= 0.1f;
        state_.repair_cost -= state_.repair_step_cost;
        truck.get()->repair(0.1f);
    }
    show_repair();
}

void game_stations_t::show_repair()
{
    char text[64];
    format_money(state_.repair_cost, text, sizeof text, 0xffffffffu);
    set_station_text(service_window_, 100, text);
    snprintf(text, sizeof text, "%d %%", static_cast<int>(std::lround(state_.repair_damage * 100.0f)));
    set_station_text(service_window_, 110, text);
}
