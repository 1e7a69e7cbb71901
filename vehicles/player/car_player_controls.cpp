// The player's truck's control settings, its force-feedback effects and the call-911 rescue.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/check.h"
#include "engine/text.h"
#include "common/engine_api.h"
#include "common/hud_components.h"
#include "physics/phys_body.h"
#include "physics/physproc.h"
#include "vehicles/player/car_player.h"
#include "vehicles/player/console_settings.h"
#include "vehicles/links/player_links.h"

namespace {

// The joystick device code of every engine call.
uint32_t device_of(int32_t joystick) { return static_cast<uint32_t>(joystick + 323); }

}  // namespace

void car_player_e::apply_control_settings()
{
    if (force_feedback) {
        // Destroyed in the order I, A, F, C.
        for (const int index : {0, 1, 3, 2})
            api::inp_force_destroy(device_of(joystick), ff_effects[index]);
    }
    force_feedback = 0;
    read_flag_setting("g_trans_auto", automatic);
    if (setting_text("i_joystick1")) {
        read_flag_setting("g_joy_axis_ff", force_feedback);
        read_setting("i_joystick1", joystick);
    }
    input_.read_settings(joystick);
    force_feedback_update();
    if (main_hud && camera_mode != cam_cabin)
        hud_show(truck_hud_mouse_mode, input_.control_mode() == 2);
}

void car_player_e::force_feedback_update()
{
    if (!force_feedback)
        return;
    float gain = 1.0f;
    read_setting("g_joy_ff_gain", gain);
    // The engine's effect records, word by word; words 3 of I and F are left at 0.
    const int32_t records[4][10] = {
        {3000, 3000, 0, 0, 0, 8000, 8000, 10000, 10000, 0},
        {3000, 3000, 200000, static_cast<int32_t>(gain * 5000.0f), 0, 70000, 0, 10000, 10000, 0},
        {15000, 15000, 200000, static_cast<int32_t>(gain * 22000.0f), 0, 70000, 0, 10000, 10000, 0},
        {1000, 1000, 0, 0, 0, 2000, 2000, 10000, 10000, 0},
    };
    const uint32_t device = device_of(joystick);
    for (int i = 0; i < 4; ++i) {
        ff_effects[i] = api::inp_force_create(device, ff_kinds[i]);
        api::inp_force_change(device, ff_effects[i], records[i]);
        if (ff_kinds[i] == 73 || ff_kinds[i] == 70)
            api::inp_force_play(device, ff_effects[i], 1, 0);
    }
    std::memcpy(ff_friction, records[3], sizeof ff_friction);
}

void car_player_e::play_road_rumble()
{
    if (!force_feedback)
        return;
    if (wheels[0].ground_kind == 4 && wheels[1].ground_kind == 4)
        return;
    if (speed > 2.0f)
        api::inp_force_play(device_of(joystick), ff_effects[1], 1, 0);
}

void car_player_e::refresh_friction(float dt)
{
    if (!force_feedback)
        return;
    ff_timer += dt;
    if (ff_timer <= 2.0f)
        return;
    // Miles per hour (the speed field is metres per second), so the friction follows the speed.
    const float v = std::clamp(speed * 0.0006213711f * 3600.0f, 10.0f, 40.0f);
    ff_friction[5] = ff_friction[6] = static_cast<int32_t>(v * 250.0f);
    api::inp_force_change(device_of(joystick), ff_effects[3], ff_friction);
    ff_timer = 0.0f;
}

void car_player_e::reset_to_road()
{
    kv_assert(history_index >= 0 && history_index < history_size);
    const int entry = (history_index - 3 + history_size) % history_size;
    // The towed trailer goes back to where it was at the same entry (kept before placing the truck
    // refills the history).
    const vec3_t trailer_where = trailer_history_position[entry];
    const quat_t trailer_turn = trailer_history_orientation[entry];
    put_still(history_position[entry], history_orientation[entry]);
    if (has_trailer())
        if (auto* const trailer = dynamic_cast<car_phys_e*>(hitched_trailer.resolve()))
            trailer->put_still(trailer_where, trailer_turn);
    place_on_ground(0);
}

void car_player_e::call911_repair()
{
    if (fuel < 50.0f)
        fuel = 50.0f;
    reset_to_road();
    if (car_phys_e::damage > 0.5f) {
        car_truck_e::repair(car_phys_e::damage - 0.5f);
        pager_message("@@ui_911_repaired@@", 0);
    }
    {
        const held_part_t<player_traffic_t> traffic(traffic_link);
        if (traffic.get())
            traffic.get()->reset();
    }
    const held_part_t<player_economy_t> economy(economy_link);
    if (economy.get())
        economy.get()->charge_player(-economy.get()->call911_cost(), true);
}
