// The player's truck's scenes: the police ticket and the start-of-game intro.
#include "vehicles/player/player_scenes.h"

#include <cmath>

#include "engine/check.h"
#include "engine/snd.h"
#include "engine/ui.h"
#include "engine/ui_view.h"
#include "engine/ui_window.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/loading_screen.h"
#include "common/ui_find_component.h"
#include "common/world_pause.h"
#include "physics/phys_body.h"
#include "vehicles/links/player_links.h"
#include "vehicles/player/car_player.h"

void player_scenes_t::open_ticket(int32_t offence, int32_t amount, bool charge)
{
    if (ticket_shown_)
        return;
    offence_timer_ = 0.0f;
    ticket_shown_ = 1;
    ticket_window_ = ui_winsert("gpolice1", "ticket_hud", 0, "/ui/gticket.esc", true);
    if (ticket_window_) {
        if (game_bridge_t* const bridge = get_game_bridge())
            bridge->adopt_window(ticket_window_);
        hide_ticket_reasons();
        show_ticket_reason(offence);
        ui_wshow(ticket_window_, 0);
    }
    ticket_scene_ = 1;
    scene_timer_ = 0.0f;
    saved_camera_mode_ = truck_.camera_mode;
    truck_.set_camera_mode(car_player_e::cam_police);
    if (truck_.sounds[car_player_e::snd_engine])
        api::snd_volume(truck_.sounds[car_player_e::snd_engine], 0.0f);
    {
        const held_part_t<player_traffic_t> traffic(truck_.traffic_link);
        if (traffic.get())
            traffic.get()->stop_smoke();
    }
    if (charge) {
        const held_part_t<player_economy_t> economy(truck_.economy_link);
        if (economy.get())
            economy.get()->charge_player(offence == 180 && amount != -1 ? -amount : -1000, true);
    }
    vec3_t police_point = truck_.get_position() + vec3_t(0.0f, 500.0f, 0.0f);
    game_bridge_t* const bridge = get_game_bridge();
    if (bridge && bridge->has_police()) {
        const held_part_t<player_police_t> police(bridge->police());
        if (police.get()) {
            const vec3_t at = police.get()->police_position();
            if ((at - truck_.get_position()).length() <= 5000.0f)
                police_point = at;
        }
    }
    truck_.cameras().set_police_point(police_point);
}

void player_scenes_t::update_ticket(float dt)
{
    // A ticket scene only starts with its ticket shown, and both end together.
    kv_assert(!ticket_scene_ || ticket_shown_);
    if (truck_.body)
        truck_.body->current->linear_velocity = vec3_t();
    scene_timer_ += dt;
    if (scene_timer_ <= 8.0f)
        return;
    ticket_scene_ = 0;
    scene_timer_ = 0.0f;
    game_bridge_t* const bridge = get_game_bridge();
    if (bridge && bridge->has_police()) {
        const held_part_t<player_police_t> police(bridge->police());
        if (police.get())
            police.get()->request_remove();
    }
    truck_.set_camera_mode(saved_camera_mode_);
    if (truck_.sounds[car_player_e::snd_engine])
        api::snd_volume(truck_.sounds[car_player_e::snd_engine], 1.0f);
    if (ticket_window_) {
        if (bridge)
            bridge->remove_window(ticket_window_);
        ticket_window_ = nullptr;
    }
    ticket_shown_ = 0;
    const held_part_t<player_traffic_t> traffic(truck_.traffic_link);
    if (traffic.get())
        traffic.get()->reset();
}

void player_scenes_t::hide_ticket_reasons()
{
    if (!ticket_window_)
        return;
    for (int32_t code = 110; code <= 180; code += 10)
        if (ui_view_t* const view = ui_window_component(ticket_window_, code))
            view->show(false);
}

void player_scenes_t::show_ticket_reason(int32_t code)
{
    if (!ticket_reason_known(code)) {
        api::error("<car_player_e> unknown reason %d", code);
        return;
    }
    if (ui_view_t* const view = ticket_window_ ? ui_window_component(ticket_window_, code) : nullptr)
        view->show(true);
}

void player_scenes_t::start_intro()
{
    intro_running_ = 1;
    scene_timer_ = 0.0f;
    saved_camera_mode_ = truck_.camera_mode;
    truck_.set_camera_mode(car_player_e::cam_intro);
}

void player_scenes_t::update_intro(float dt)
{
    if (truck_.body)
        truck_.body->current->linear_velocity = vec3_t();
    scene_timer_ += dt;
    loading_screen_progress(static_cast<int>(std::lround(scene_timer_ * 100.0f)), 320);
    if (scene_timer_ <= 3.2f)
        return;
    intro_running_ = 0;
    scene_timer_ = 0.0f;
    truck_.set_camera_mode(saved_camera_mode_);
    loading_screen_close();
    // From now on the player may pause the game.
    current_world_allow_pause(true);
    api::inp_set_active(1);
    api::message("<car_player_e> the drive starts");
}

void player_scenes_t::release()
{
    if (!ticket_window_)
        return;
    if (game_bridge_t* const bridge = get_game_bridge())
        bridge->remove_window(ticket_window_);
    ticket_window_ = nullptr;
}
