#include "vehicles/player/car_player.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/arg.h"
#include "engine/check.h"
#include "engine/evalue.h"
#include "engine/gfx_view.h"
#include "engine/random.h"
#include "engine/snd.h"
#include "engine/ui.h"
#include "engine/ui_view.h"
#include "engine/ui_window.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/game_settings.h"
#include "common/loading_screen.h"
#include "common/world_pause.h"
#include "common/ui_find_component.h"
#include "common/hud_components.h"
#include "physics/cd_geo.h"
#include "physics/phys_body.h"
#include "physics/physproc.h"
#include "road/game_ctrl.h"
#include "vehicles/body/car_trailor.h"
#include "vehicles/links/player_links.h"
#include "vehicles/player/windshield_drops.h"
#include "world/car_smoke.h"
#include "world/environment.h"

namespace {

// The damage smoke emitter among the truck's smoke emitters.
constexpr int damage_smoke = 4;
// How far the history's newest entry may lag behind the truck before a new one is taken.
constexpr float history_step = 3500.0f;

}  // namespace

const level_list_t car_player_e::player_init_list(&car_phys_e::object_init_list, {-1, 10});
const level_list_t car_player_e::player_destroy_list(&entity_t::destroy_list, {0});

car_player_e::car_player_e()
{
    entity_flags |= 0x1002u;
    base_mass = player_mass;
    is_player = 1;
    camera_mode = cam_chase;
}

car_player_e::~car_player_e()
{
    for (windshield_drops_t*& glass : windshields) {
        delete glass;
        glass = nullptr;
    }
}

const evalue_def_t* car_player_e::get_evalue_root() const
{
    static const evalue_def_t truck_build_def =
        evalue_member("truck_build", evalue_text, build_capacity, evalue_bind<&car_player_e::truck_build>,
                      car_truck_e::get_evalue_root(), "");
    return &truck_build_def;
}

int car_player_e::init(int phase)
{
    if (const int failed = car_truck_e::init(phase))
        return failed;
    if (phase == -1) {
        for (windshield_drops_t*& glass : windshields)
            if (!glass)
                glass = new windshield_drops_t;
    } else if (phase == 10) {
        insert_huds();
        load_sounds();
        scenes_.start_intro();
        apply_hud_flags();
        cb_radio_.bind_keys();
    }
    return 0;
}

int car_player_e::destroy(int phase)
{
    if (phase == 0) {
        const vec3_t at = get_position();
        api::message("<car_player_e> drove %.0f m, ended at %.0f %.0f %.0f in gear %d, camera %d",
                     distance_driven / 100.0, at.x, at.y, at.z, gear, camera_mode);
        for (snd_sound_t*& sound : sounds) {
            if (sound)
                api::snd_delete(sound);
            sound = nullptr;
        }
        scenes_.release();
        cb_radio_.release_sound();
        if (pager_sound)
            api::snd_delete(pager_sound);
        pager_sound = nullptr;
        for (windshield_drops_t* glass : windshields)
            if (glass)
                glass->release();
        if (force_feedback)
            for (int i = 0; i < 4; ++i)
                api::inp_force_destroy(static_cast<uint32_t>(joystick + 323), ff_effects[i]);
        force_feedback = 0;
        for (entity_handle_t* trailer : {&hitched_trailer, &offered_trailer}) {
            if (!trailer->is_null())
                trailer->release();
            *trailer = {};
        }
        main_hud = job_hud = nullptr;
    }
    return car_truck_e::destroy(phase);
}

bool car_player_e::build(const char* make, const char* const* accessories, int count)
{
    if (!car_truck_e::build(make, accessories, count))
        return false;
    load_make_sounds();
    for (int i = 0; i < 2; ++i) {
        windshield_drops_t* const glass = windshields[i];
        if (!glass)
            continue;
        vec3_t centre;
        psm_t* const interior = interior_slot >= 0 ? models[interior_slot].model : nullptr;
        char bone_name[32];
        std::snprintf(bone_name, sizeof bone_name, "wiper%d", i);
        const int bone = interior ? api::psm_bone_find_global(interior, bone_name) : -1;
        if (bone >= 0) {
            mat4_t matrix;
            if (api::psm_bone_get_matrix(interior, bone, &matrix))
                centre = mult_zero_matrix(matrix);
        }
        glass->release();
        glass->setup(centre, 60.0f, 60.0f, 0.5f, 0.05f, 350);
    }
    // The needles, wipers, steering wheel and lamps belong to the models this build made.
    instruments_.find_parts();
    setup_interior();
    cab_driver.load();
    return true;
}

void car_player_e::first_frame_setup()
{
    // A block's entities join the world's physics only after their init phases: the build and the
    // start place wait for the first frame.
    set_up = 1;
    if (truck_build[0] && build_from_text())
        place_at_start();
}

bool car_player_e::build_from_text()
{
    // The text is split in place of a copy: a make, then up to 64 accessory names.
    char text[build_capacity];
    std::snprintf(text, sizeof text, "%s", truck_build);
    const char* words[accessory_limit + 1] = {};
    int count = 0;
    for (char* word = std::strtok(text, " \t,"); word; word = std::strtok(nullptr, " \t,")) {
        if (count == accessory_limit + 1) {
            api::warning("<car_player_e> truck_build names more than %d accessories; the rest are left out",
                         accessory_limit);
            break;
        }
        words[count++] = word;
    }
    if (count == 0)
        return false;
    if (!build(words[0], words + 1, count - 1))
        return false;
    create_body(0);
    for (int i = 0; i < 4; ++i)
        wheels[i].ray_point = wheels[i].force_point;
    rear_ray_points[0] = wheels[2].force_point;
    rear_ray_points[1] = wheels[3].force_point;
    return true;
}

void car_player_e::rebuild(const char* make, const char (*accessories)[32], const int count, const uint32_t colour,
                           const bool keep_position)
{
    if (!make || !make[0])
        return;
    std::string text = make;
    for (int i = 0; accessories && i < count && i < accessory_limit; ++i) {
        const std::string name(accessories[i], strnlen(accessories[i], 32));
        if (!name.empty())
            text += " " + name;
    }
    if (text.size() >= sizeof truck_build) {
        api::warning("<car_player_e> the build of a %s is too long; the truck keeps its build", make);
        return;
    }
    std::snprintf(truck_build, sizeof truck_build, "%s", text.c_str());
    set_color(colour);
    if (!set_up)
        return;
    const vec3_t where = get_position();
    const quat_t turn = get_orientation();
    if (!build_from_text())
        return;
    if (keep_position) {
        set_transform(where, turn);
        place_on_ground(0);
    } else {
        place_at_start();
    }
}

void car_player_e::restore_place(const vec3_t& where, const quat_t& turn)
{
    start_place = where;
    restored_turn = turn;
    place_restored = 1;
    if (!body)
        return;
    set_transform(where, turn);
    if (ground_below())
        place_on_ground(0);
}

void car_player_e::place_at_start()
{
    vec3_t where = position;
    quat_t turn;
    if (place_restored) {
        where = start_place;
        turn = restored_turn;
    } else if (game_ctrl_e* const ctrl = game_ctrl()) {
        ctrl->get_start_pos(where, turn);
    }
    set_transform(where, turn);
    start_place = where;
    previous_body_position = where;
    if (!ground_below()) {
        // Until the ground exists the truck waits at its start place instead of falling for ever.
        waiting_for_ground = 1;
        api::warning("<car_player_e> nothing to stand on below the start place (%.0f %.0f %.0f); the truck waits "
                     "there",
                     where.x, where.y, where.z);
    } else if (!place_on_ground(0)) {
        api::warning("<car_player_e> the start place is taken by another vehicle");
    }
    api::message("<car_player_e> %s placed at %.0f %.0f %.0f", make_name, where.x, where.y, where.z);
}

bool car_player_e::ground_below() const
{
    physproc_t* const world = physics();
    if (!world)
        return false;
    const vec3_t where = get_position();
    const phys_pair_t pair{car_phys_pair, reinterpret_cast<uintptr_t>(this)};
    return world->ray_cast(where + vec3_t(0.0f, 150.0f, 0.0f), where - vec3_t(0.0f, 3000.0f, 0.0f), &pair, nullptr, 0,
                           0) != nullptr;
}

void car_player_e::wait_for_ground()
{
    if (body) {
        body->current->linear_velocity = vec3_t();
        body->current->angular_velocity = vec3_t();
    }
    set_transform(start_place, get_orientation());
    if (!ground_below())
        return;
    waiting_for_ground = 0;
    place_on_ground(0);
    api::message("<car_player_e> ground below the start place: the truck is down");
}

void car_player_e::create_body(int mode)
{
    car_phys_e::create_body(mode);
    contact_owner.tag = contact_kind_player;
}

bool car_player_e::place_on_ground(int mode)
{
    const bool placed = car_phys_e::place_on_ground(mode);
    reset_history();
    for (vec3_t& point : landing_points)
        point = get_position();
    previous_body_position = get_position();
    return placed;
}

void car_player_e::apply_forces()
{
    if (traffic_pending) {
        traffic_pending = 0;
        const held_part_t<player_traffic_t> traffic(traffic_link);
        if (traffic.get())
            traffic.get()->update();
    }
    if (waiting_for_ground && body) {
        body->current->linear_velocity = vec3_t();
        body->current->angular_velocity = vec3_t();
        return;
    }
    car_phys_e::apply_forces();
}

void car_player_e::draw()
{
    if (camera_mode == cam_fly)
        drive_input();
    if (camera_mode == cam_hood || camera_mode == cam_rear_mirror)
        return;
    if (camera_mode == cam_cabin) {
        // The cabin view draws the interior only, at the eye and with planes close enough for the dials;
        // the windshields' drops lie over it.
        psm_t* const interior = interior_slot >= 0 ? models[interior_slot].model : nullptr;
        if (interior) {
            gfx_view_t view;
            api::gfx_view_get(&view);
            view.near_plane = cabin_near_plane;
            view.far_plane = cabin_far_plane;
            api::gfx_view_push(&view);
            api::gfx_push_identity();
            api::gfx_push_mult(api::gfx_camera_inverse());
            const vec3_t unlook = -cameras_.look();
            api::gfx_rotate(&unlook.x);
            api::psm_draw(interior, 1, static_cast<unsigned>(paint_colour) | 0xFF000000u);
            cab_driver.draw();
            for (windshield_drops_t* glass : windshields)
                if (glass)
                    glass->draw();
            api::gfx_pop();
            api::gfx_pop();
            api::gfx_view_pop();
        }
        return;
    }
    car_phys_e::draw();
}

void car_player_e::apply_impact(const vclip_contact_t* point, cd_geo_t* other, uint32_t other_item)
{
    const int i = static_cast<int>(std::lround(api::sys_rand() * 3.0f));
    if (!wrecked) {
        // A graze (the body sliding along a wall or over the ground) is a scratch, not a crash: only a
        // contact met faster than the base impact's threshold crashes.
        if (speed <= 5.0f || impact_speed(point) <= 0.0f) {
            scratch = 1;
            snd_sound_t* const sound = sounds[snd_scratch];
            if (speed > 2.0f && sound && !api::snd_playing(sound)) {
                api::snd_play(sound);
                shake_force(1);
            }
        } else if (snd_sound_t* const crash = sounds[snd_crash_0 + i]; crash && crash_timer > 2.0f) {
            api::snd_play(crash);
            crash_timer = 0.0f;
            shake_force(2);
            car_phys_e::damage = std::min(car_phys_e::damage + 0.05f, 1.0f);
            const held_part_t<vehicle_economy_t> economy(economy_link);
            if (economy.get())
                economy.get()->set_hud_damage(car_phys_e::damage);
            const contact_owner_t* const record = other ? other->owner_record : nullptr;
            if (has_trailer() && record && record->tag != contact_kind_kicked_box && hitched_trailer.add_use()) {
                if (auto* const trailer = dynamic_cast<car_phys_e*>(hitched_trailer.resolve()))
                    trailer->set_damage(0.025f);
                hitched_trailer.release();
            }
            if (game_detail_level() >= 1 && car_phys_e::damage > 0.8f) {
                set_smoke(damage_smoke, true);
                pager_message("@@ui_wrecked@@", 1);
            }
        }
    }
    car_phys_e::apply_impact(point, other, other_item);
}

void car_player_e::shake_force(int kind_index) const
{
    if (force_feedback)
        api::inp_force_play(static_cast<uint32_t>(joystick + 323), ff_effects[kind_index], 1, 0);
}

void car_player_e::pager_message(const char* text, int with_sound)
{
    bool shown = false;
    if (main_hud && main_hud->object) {
        const auto* const window = static_cast<const ui_window_t*>(main_hud->object);
        if (auto* const handler = static_cast<ui_handler_t*>(c_item_lock(window->handler_item))) {
            if (auto* const pager = dynamic_cast<hud_pager_t*>(handler)) {
                pager->push_message(text);
                shown = true;
            }
            c_item_release(window->handler_item);
        }
    }
    // Without the HUD's pager the line still reaches the log, so nothing said is lost.
    if (!shown)
        api::message("<car_player_e> pager: %s", text);
    if (with_sound) {
        // Made on the first message that rings and replayed, so messages do not pile up sounds.
        if (!pager_sound)
            pager_sound = api::snd_new("/sounds/ui/pager.ogg", 32, 10);
        if (pager_sound)
            api::snd_play(pager_sound);
    }
}

void car_player_e::start_notice()
{
    if (!main_hud || !main_hud->object)
        return;
    const auto* const window = static_cast<const ui_window_t*>(main_hud->object);
    if (auto* const handler = static_cast<ui_handler_t*>(c_item_lock(window->handler_item))) {
        if (auto* const pager = dynamic_cast<hud_pager_t*>(handler))
            pager->start_notice();
        c_item_release(window->handler_item);
    }
}

void car_player_e::show_hud(bool shown)
{
    if (!shown)
        hud_show(truck_hud_right_mirror, false);
    else if (hud_detail & 2u)
        hud_show(truck_hud_right_mirror, true);
}

game_ctrl_e* car_player_e::game_ctrl() const
{
    // The controller lives as long as the world; the truck does not outlive it.
    return dynamic_cast<game_ctrl_e*>(controller_link.resolve());
}

int32_t car_player_e::rain_level() const
{
    const auto* const environment = dynamic_cast<const environment_e*>(environment_link.resolve());
    return environment ? environment->get_rain_level() : 0;
}

int32_t car_player_e::snow_level() const
{
    const auto* const environment = dynamic_cast<const environment_e*>(environment_link.resolve());
    return environment ? environment->get_snow_level() : 0;
}

bool car_player_e::hud_hidden_by_ctrl() const
{
    const game_ctrl_e* const ctrl = game_ctrl();
    return ctrl && ctrl->map_view().shown();
}

void car_player_e::insert_huds()
{
    game_bridge_t* const bridge = get_game_bridge();
    main_hud = ui_winsert("game1", "hud", 4, "/ui/ghud.esc", true);
    if (main_hud) {
        if (bridge)
            bridge->adopt_window(main_hud);
        ui_wshow(main_hud, 0);
    }
    apply_control_settings();
    job_hud = ui_winsert("game2", "jobhud", 4, "/ui/gjobhud.esc", true);
    if (job_hud && bridge)
        bridge->adopt_window(job_hud);
    // The job panel shows a hitched job: with none yet it would show an empty card.
    show_job_hud(false);
}

void car_player_e::apply_hud_flags()
{
    hud_detail = static_cast<uint32_t>(std::max(game_detail_level(), 0));
    hud_show(truck_hud_rear_mirror, (hud_detail & 1u) != 0);
    hud_show(truck_hud_left_mirror, (hud_detail & 2u) != 0);
    hud_show(truck_hud_right_mirror, !hud_hidden_by_ctrl() && (hud_detail & 2u) != 0);
    for (const int32_t id : {truck_hud_driver_panel, truck_hud_driver_detailed, truck_hud_driver_plain})
        hud_show(id, false);
}

ui_view_t* car_player_e::hud_view(int32_t id, bool job) const
{
    c_item_t* const window = job ? job_hud : main_hud;
    return window ? ui_window_component(window, id) : nullptr;
}

void car_player_e::hud_show(int32_t id, bool shown, bool job) const
{
    if (ui_view_t* const view = hud_view(id, job))
        view->show(shown);
}

void car_player_e::hud_value(int32_t id, float value) const
{
    if (ui_view_t* const view = hud_view(id)) {
        char text[32];
        std::snprintf(text, sizeof text, "%.9g", value);
        evalue_set(view, "value", 0, text);
    }
}

void car_player_e::hud_text(int32_t id, const char* text, bool job) const
{
    if (ui_view_t* const view = hud_view(id, job))
        evalue_set(view, "text", 0, text);
}

void car_player_e::hud_press(int32_t id, bool pressed) const
{
    ui_view_t* const view = hud_view(id);
    if (view && hud_buttons())
        hud_buttons()->set_pressed(view, pressed);
}

// --- Trailer coupling ---

void car_player_e::attach_trailer()
{
    if (offered_trailer.is_null() || has_trailer())
        return;
    if (body)
        body->current->linear_velocity = vec3_t();
    auto* const trailer = dynamic_cast<car_trailor_e*>(offered_trailer.resolve());
    if (!trailer)
        return;
    if (trailer->is_towed_by_ai()) {
        pager_message("@@ui_stealing_trailer@@", 0);
        return;
    }
    if ((trailer->get_kingpin_world() - get_position()).length() > 180.0f) {
        offered_trailer.release();
        offered_trailer = {};
        return;
    }
    if (sounds[snd_attach])
        api::snd_play(sounds[snd_attach]);
    // The offer's use becomes the hitch's use.
    hitched_trailer = offered_trailer;
    offered_trailer = {};
    trailer->player_link = handle();
    trailer->towing_truck = handle();
    trailer->attach();
    // The rig weighs the truck and the trailer's cargo.
    if (body)
        body->set_mass(trailer->get_cargo_value() + player_mass);
    if (trailer->job_index >= 0) {
        char route[512] = "";
        show_suggested_route(trailer->job_index, route, sizeof route);
        api::message("<car_player_e> hitched the trailer of job %d: \"%s\"", trailer->job_index, route);
        set_trailer_damage_text(static_cast<int32_t>(std::lround(trailer->damage * 100.0f)));
        if (route[0])
            pager_message(route, 0);
    }
    show_job_hud(true);
    reattach = 0;
    reset_history();
}

void car_player_e::detach_trailer(bool by_player)
{
    (void)by_player;
    show_job_hud(false);
    if (!has_trailer())
        return;
    if (sounds[snd_detach])
        api::snd_play(sounds[snd_detach]);
    if (hitched_trailer.add_use()) {
        if (auto* const trailer = dynamic_cast<car_trailor_e*>(hitched_trailer.resolve())) {
            trailer->towing_truck = {};
            trailer->detach();
        }
        hitched_trailer.release();
    }
    hitched_trailer.release();
    hitched_trailer = {};
    // The truck leaves the trailer with a push along its heading, as the coupling lets go.
    if (body) {
        body->current->linear_velocity += heading * 150.0f;
        body->set_mass(player_mass);
    }
}

void car_player_e::show_suggested_route(int32_t job, char* out_text, size_t out_size) const
{
    if (!job_hud || !job_hud->object)
        return;
    const auto* const window = static_cast<const ui_window_t*>(job_hud->object);
    if (auto* const handler = static_cast<ui_handler_t*>(c_item_lock(window->handler_item))) {
        if (auto* const route = dynamic_cast<job_route_hud_t*>(handler))
            route->show_suggested_route(job, out_text, out_size);
        c_item_release(window->handler_item);
    }
}

void car_player_e::show_job_hud(bool show)
{
    if (!job_hud || !job_hud->object)
        return;
    const bool visible = static_cast<const ui_view_t*>(job_hud->object)->is_visible();
    if (show && !visible)
        ui_wshow(job_hud, 0);
    else if (!show && visible)
        ui_whide(job_hud);
}

void car_player_e::set_trailer_damage_text(int32_t percent)
{
    if (!job_hud)
        return;
    char text[32];
    std::snprintf(text, sizeof text, "%d %%", percent);
    hud_text(job_hud_trailer_damage, text, true);
}

void car_player_e::begin_trailer_reattach()
{
    reattach = 1;
    reattach_timer = 0.0f;
}

int32_t car_player_e::get_trailer_job() const
{
    const auto* const trailer = dynamic_cast<const car_trailor_e*>(hitched_trailer.resolve());
    return trailer ? trailer->job_index : -1;
}

void car_player_e::get_trailer_damage(float& out) const
{
    if (const auto* const trailer = dynamic_cast<const car_phys_e*>(hitched_trailer.resolve()))
        out = trailer->damage;
}

void car_player_e::get_trailer_position(vec3_t& out) const
{
    if (const auto* const trailer = dynamic_cast<const car_phys_e*>(hitched_trailer.resolve()))
        out = trailer->get_position();
}

void car_player_e::get_trailer_orientation(quat_t& out) const
{
    if (const auto* const trailer = dynamic_cast<const car_phys_e*>(hitched_trailer.resolve()))
        out = trailer->get_orientation();
}

// --- Position history ---

void car_player_e::reset_history()
{
    const vec3_t where = get_position();
    const quat_t turn = get_orientation();
    vec3_t trailer_where = where;
    quat_t trailer_turn = turn;
    get_trailer_position(trailer_where);
    get_trailer_orientation(trailer_turn);
    for (int i = 0; i < history_size; ++i) {
        history_position[i] = where;
        history_orientation[i] = turn;
        trailer_history_position[i] = trailer_where;
        trailer_history_orientation[i] = trailer_turn;
    }
}

void car_player_e::update_history()
{
    const vec3_t where = get_position();
    // The index only ever steps round the ring.
    kv_assert(history_index >= 0 && history_index < history_size);
    if ((history_position[history_index] - where).length() <= history_step)
        return;
    history_index = (history_index + 1) % history_size;
    history_position[history_index] = where;
    history_orientation[history_index] = get_orientation();
    if (has_trailer()) {
        get_trailer_position(trailer_history_position[history_index]);
        get_trailer_orientation(trailer_history_orientation[history_index]);
    }
}

void car_player_e::get_history(int i, vec3_t& out_position, quat_t& out_orientation) const
{
    if (i < 0 || i >= history_size)
        return;
    out_position = history_position[i];
    out_orientation = history_orientation[i];
}

void car_player_e::show_ticket(int32_t offence, int32_t amount) { scenes_.open_ticket(offence, amount, true); }

void car_player_e::show_driver_panel(bool show, int32_t driver)
{
    const ui_view_t* const panel = hud_view(truck_hud_driver_panel);
    if (driver != -1 && panel && panel->is_visible())
        return;
    if (driver >= 0) {
        const held_part_t<player_economy_t> economy(economy_link);
        char image[64] = "", name[64] = "", employer[96] = "";
        if (economy.get() && economy.get()->driver_card(driver, image, name, employer, 64)) {
            char picture[128];
            std::snprintf(picture, sizeof picture, "<img src=/shaders/ui/icons/driver/%s>", image);
            hud_text(truck_hud_driver_picture, picture);
            hud_text(truck_hud_driver_name, name);
            hud_text(truck_hud_driver_employer, employer);
        }
    }
    hud_show(truck_hud_driver_panel, show);
    if (show) {
        const bool detailed = game_detail_level() != 0;
        hud_show(truck_hud_driver_detailed, detailed);
        hud_show(truck_hud_driver_plain, !detailed);
    }
}
