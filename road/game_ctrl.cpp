#include "road/game_ctrl.h"

#include <cmath>
#include <cstring>

#include "engine/cache.h"
#include "engine/cvar.h"
#include "engine/def_pool.h"
#include "engine/entity_proc.h"
#include "engine/snd.h"
#include "engine/ui.h"
#include "common/bridge_parts.h"
#include "common/cvar_value.h"
#include "common/engine_api.h"
#include "common/position_report.h"
#include "common/game_bridge.h"
#include "common/impulses.h"
#include "physics/scene_proc.h"
#include "physics/body_callback.h"
#include "physics/contact_filters.h"
#include "world/owning_process.h"
#include "common/view_params.h"
#include "road/game_clock.h"

namespace {

// Parameter of ui_wshow that brings a window to the front with the focus.
constexpr unsigned show_in_front = 0x20000000;
// Far view distance limits.
constexpr float far_view_limit = 45000.0f;
constexpr float far_view_city_floor = 20000.0f;
constexpr float far_view_min_speed = 50.0f;
// How far below a point the ground is looked for.
constexpr float ground_reach = 3000.0f;

// The number of the console variable `name`, or `fallback` when it does not exist.
float cvar_real(const char* name, const float fallback)
{
    const char* text = cvar_string_value(api::cvar_get(name));
    return text ? static_cast<float>(atof(text)) : fallback;
}

}  // namespace

game_ctrl_e::game_ctrl_e() : game_clock(game_clock_start) {}

game_ctrl_e::~game_ctrl_e() = default;

entity_handle_t game_ctrl_e::economy_handle() const { return bridge ? bridge->economy() : entity_handle_t{}; }
entity_handle_t game_ctrl_e::truck_handle() const { return bridge ? bridge->avatar() : entity_handle_t{}; }
entity_handle_t game_ctrl_e::environment_handle() const { return bridge ? bridge->environment() : entity_handle_t{}; }
entity_handle_t game_ctrl_e::traffic_handle() const { return bridge ? bridge->traffic() : entity_handle_t{}; }

int game_ctrl_e::init(const int phase)
{
    if (phase == -10 && !prepare_segment_server(game_ctrl_segment_slots, game_ctrl_aux_segment_slots))
        return 1;
    const int base = base_ctrl_e::init(phase);
    if (base != 0)
        return base;
    if (phase == -10) {
        if (!bridge)
            bridge = get_game_bridge();
        // A second controller is reported by the bridge and goes on without being its base controller.
        if (bridge && !registered_)
            registered_ = bridge->register_base_ctrl(handle());
    } else if (phase == 0) {
        ui_pshow(-1);
        // Built hidden: the notebook key, a dealer or the contest's end shows it.
        notebook_ = ui_winsert("menu", "notebook", 0x40, "/ui/notebook/notebook.esc", false);
        if (notebook_ && bridge)
            bridge->adopt_window(notebook_);
        ambience_.load_sounds();
        stations_.load_sounds();
    } else if (phase == 10) {
        traffic_ = bridge ? bridge->traffic() : entity_handle_t{};
        if (road_geo_t* const road = road_collision_.geometry())
            road->release_all();
        release_segments();
        const char* path = bridge ? bridge->get_map_name() : "";
        const int32_t read = load_map(path, nullptr);
        if (read < 0) {
            refuse_map();
            return read;
        }
        build_after_load();
    }
    return 0;
}

void game_ctrl_e::activate_items()
{
    for (int32_t index = 0; index < miscitems.count; ++index) {
        map_miscitem_t& item = miscitems[index];
        base_ctrl_list_t list = base_ctrl_list_count;
        switch (item.type) {
        case map_misc_mover:
            activate_miscitem(item);
            break;
        case map_misc_sky_swap:
            list = base_ctrl_sky_swaps;
            break;
        case map_misc_gas_station:
        case map_misc_service:
        case map_misc_truck_stop:
        case map_misc_scales:
        case map_misc_dealer:
            list = base_ctrl_stations;
            break;
        case map_misc_cut_plane:
            list = base_ctrl_cut_planes;
            break;
        case map_misc_no_weather:
            list = base_ctrl_no_weather;
            break;
        default:
            break;
        }
        // Marked active, so that the streaming does not list the item a second time.
        if (list != base_ctrl_list_count && item.active == 0 && active_list(list).append(index))
            item.active = 1;
    }
}

void game_ctrl_e::refuse_map()
{
    // The reader has named the file and the fault; the game world that cannot be built goes, and the
    // menu comes back in the next frame.
    if (bridge && (bridge->mode() == game_mode_game || bridge->mode() == game_mode_preview))
        api::cmd_add("menu");
}

void game_ctrl_e::build_after_load()
{
    const int32_t count = semaphore_count;
    free_semaphores();
    semaphore_count = count;
    if (semaphore_count > 0) {
        semaphores = static_cast<map_semaphore_t*>(
            api::mem_sys_alloc(sizeof(map_semaphore_t) * static_cast<size_t>(semaphore_count)));
        if (!semaphores) {
            api::error("Not enough memory for the %d semaphores of %s", semaphore_count, name());
            semaphore_count = 0;
        }
        for (int32_t i = 0; semaphores && i < semaphore_count; ++i)
            semaphores[i] = map_semaphore_t{map_semaphore_unused, map_light_open, 0, vec3_t{}};
    }
    // The crossings' lamps show the cycle's phase from the first frame, not red until its first step.
    if (seg_server)
        seg_server->set_lamp_state(lights_.mask());
    {
        // The boxes are owned by the controller; the traffic's contact callbacks handle their contacts.
        // During the init phases the controller is not in its process yet: its block's process is the
        // world it will live in.
        auto* const scene = dynamic_cast<scene_proc_t*>(owning_process(*this));
        entity_t* const traffic = traffic_.resolve();
        box_pool.create(scene ? &scene->physics() : nullptr, handle(), dynamic_cast<body_callback_t*>(traffic));
        road_collision_.insert(scene ? &scene->physics() : nullptr, handle().word());
    }
    add_service_points();
    {
        const held_part_t<ctrl_economy_t> economy(economy_handle());
        const int32_t dealers = economy.get() ? economy.get()->dealer_count() : 0;
        dealer_start = static_cast<int32_t>(std::lround(api::sys_rand() * static_cast<float>(dealers - 1)));
    }
    stations_.assign_prices(dealer_start);
    hazards_.load();
    add_noweather_items();
    music_.build_list();
    activate_items();
    build_item_tree();
    map_view_.open_window();
    {
        const held_part_t<ctrl_environment_t> environment(environment_handle());
        if (environment.get() && environment.get()->sky_count() > 0)
            environment.get()->set_sky(0);
    }
    stations_.load_target_models();
    api::message("Game map %s: %d edges, %d nodes, %d items", bridge ? bridge->get_map_name() : "", edges.count,
                 nodes.count, freeitems.count + miscitems.count);
}

int game_ctrl_e::destroy(const int phase)
{
    if (phase == 0) {
        box_pool.destroy();
        road_collision_.remove();
        lights_.clear();
        hazards_.clear();
        music_.clear();
        ambience_.free_sounds();
        stations_.free_sounds();
        // The windows belong to the bridge, which removes them with the world.
        notebook_ = nullptr;
        map_view_.forget_window();
        stations_.free_target_models();
        stations_.forget_windows();
    }
    return base_ctrl_e::destroy(phase);
}

void game_ctrl_e::handler()
{
    base_ctrl_e::handler();
    const vprocess_t* const owner = process();
    tick(owner ? owner->frame_seconds() : 0.0);
}

// The game controller's frame, in the order docs/architecture.md gives it; each step belongs to the
// controller or to one of its parts.
void game_ctrl_e::tick(const double dt)
{
    if (key_timer > 0.0f)
        key_timer = static_cast<float>(key_timer - dt);
    if (game_clock_advance(game_clock, dt))
        weekly_settlement();
    night = game_clock_is_night(game_clock) ? 1 : 0;
    if (road_geo_t* const road = road_collision_.geometry())
        road->expire_queries();
    game_keys(dt);
    map_follow();
    far_view(dt);
    update_cut_planes();
    lights_.step(dt);
    update_box_pool();
    update_sky_swap();
    stations_.interaction();
    hazards_.reshuffle(static_cast<float>(dt));
    ambience_.update(map_view_.city());
    music_.update();
}

void game_ctrl_e::map_follow()
{
    const held_part_t<ctrl_truck_t> truck(truck_handle());
    if (truck.get())
        map_view_.follow(truck.get()->truck_position());
}

void game_ctrl_e::update_box_pool()
{
    const held_part_t<ctrl_truck_t> truck(truck_handle());
    if (!truck.get() || !seg_server)
        return;
    const vprocess_t* const owner = process();
    box_pool.update(seg_server->loose_instances, truck.get()->truck_position(),
                    owner ? static_cast<float>(owner->process_time()) : 0.0f);
}

void game_ctrl_e::on_instance_placed(board_instance_t& board)
{
    board.flags &= ~loose_carried;
    board.body = nullptr;
    board.box = -1;
}

void game_ctrl_e::on_instance_removed(board_instance_t& board) { box_pool.give_back(board); }

void game_ctrl_e::show_target(map_miscitem_t& record)
{
    if (!seg_server || seg_server->target.shown)
        return;
    const held_part_t<ctrl_economy_t> economy(economy_handle());
    int32_t level = -1;
    int32_t colour = 0;
    if (economy.get())
        economy.get()->city_headquarters(record.params[1], level, colour);
    if (level == -1) {
        record.model_words[0] = 0;
        return;
    }
    seg_server->show_target(record.points[0], record.params[0], level, colour);
}

void game_ctrl_e::hide_target()
{
    if (seg_server)
        seg_server->hide_target();
}

void game_ctrl_e::weekly_settlement()
{
    const held_part_t<ctrl_economy_t> economy(economy_handle());
    if (economy.get())
        economy.get()->weekly_report();
}

c_item_t* game_ctrl_e::open_window(const char* group, const char* name, const unsigned flags, const char* script)
{
    c_item_t* window = bridge ? bridge->find_window(group, name) : nullptr;
    if (!window) {
        window = ui_winsert(group, name, flags, script, true);
        if (window && bridge)
            bridge->adopt_window(window);
    }
    return window;
}

void game_ctrl_e::report_truck_position(c_item_t* window) const
{
    const auto* view =
        window && (window->class_flags & 0x400) ? static_cast<const ui_window_t*>(window->object) : nullptr;
    c_item_t* handler = view ? view->handler_item : nullptr;
    auto* report = handler ? dynamic_cast<position_report_t*>(static_cast<entity_t*>(handler->object)) : nullptr;
    const held_part_t<ctrl_truck_t> truck(truck_handle());
    if (report && truck.get()) {
        const vec3_t position = truck.get()->truck_position();
        report->set_report_position(position[0], position[1], position[2]);
    }
}

void game_ctrl_e::game_keys(const double dt)
{
    if (notebook_ && api::inp_impulse_value(impulse_notebook, 0) != 0.0f)
        ui_wshow(notebook_, show_in_front);
    const bool ready = key_timer <= 0.0f;
    if (ready && api::inp_impulse_value(impulse_map, 0) != 0.0f) {
        key_timer = game_ctrl_key_delay;
        if (map_view_.cycle()) {
            const held_part_t<ctrl_truck_t> truck(truck_handle());
            if (truck.get())
                truck.get()->show_hud(!map_view_.shown());
        }
    } else if (ready && api::inp_impulse_value(impulse_jukebox, 0) != 0.0f) {
        key_timer = game_ctrl_key_delay;
        if (c_item_t* jukebox = open_window("jukebox", "game", 1, "/ui/jukebox.esc"))
            ui_wshow(jukebox, show_in_front);
    } else if (ready && api::inp_impulse_value(impulse_bug_report, 0) != 0.0f) {
        key_timer = game_ctrl_key_delay;
        if (c_item_t* report = open_window("system_04", "bugreport", 1, "/ui/system/bugreport.esc")) {
            report_truck_position(report);
            ui_wshow(report, show_in_front);
        }
    }
    stations_.keys(static_cast<float>(dt));
}

void game_ctrl_e::far_view(const double dt)
{
    gfx_view_t view;
    if (!get_view_params(&view) || view.far_plane >= far_view_limit)
        return;
    const held_part_t<ctrl_truck_t> truck(truck_handle());
    const float speed = truck.get() ? truck.get()->truck_speed() : 0.0f;
    if (speed <= far_view_min_speed)
        return;
    const float configured = 20000.0f + 30000.0f * cvar_real("g_view_dist", 1.0f);
    float far_plane = view.far_plane;
    if (!map_view_.in_city() && far_plane < configured)
        far_plane = static_cast<float>(far_plane + speed * dt);
    else if (map_view_.in_city() && far_plane > std::max(configured * 0.7f, far_view_city_floor))
        far_plane = static_cast<float>(far_plane - speed * dt);
    if (far_plane != view.far_plane) {
        view.far_plane = far_plane;
        set_view_params(&view);
    }
}

void game_ctrl_e::update_cut_planes()
{
    const float x = camera_position.x;
    const float z = camera_position.z;
    for (const int32_t index : active_list(base_ctrl_cut_planes)) {
        if (!miscitems.valid(index))
            continue;
        map_miscitem_t& item = miscitems[index];
        // The three line equations (a, b, c) are the words after the waypoints.
        const float* const lines = &item.tangents[0].x;
        int32_t side = lines[0] * x + lines[1] * z + lines[2] >= 0.0f ? 1 : 0;
        if (lines[3] * x + lines[4] * z + lines[5] < 0.0f)
            side = -1;
        if (lines[6] * x + lines[7] * z + lines[8] < 0.0f)
            side = -1;
        item.params[0] = side;
    }
}

void game_ctrl_e::mem_move(const ptrdiff_t delta)
{
    base_ctrl_e::mem_move(delta);
    box_pool.relink_owners();
    // The road's and the city blocks' geometries point at the owner record inside the controller.
    road_collision_.relink();
}

int32_t game_ctrl_e::edge_of_contact(const cd_geo_t* geometry, const uint32_t item) const
{
    return road_collision_.edge_of_contact(geometry, item);
}

bool game_ctrl_e::find_ground(const vec3_t& point, vec3_t& out_point)
{
    auto* const scene = dynamic_cast<scene_proc_t*>(owning_process(*this));
    if (!scene)
        return false;
    const phys_contact_t* const hit =
        scene->physics().ray_cast(point, point - vec3_t{0.0f, ground_reach, 0.0f}, &world_ray_filter, nullptr, 0, 0);
    if (!hit)
        return false;
    out_point = hit->position;
    return true;
}

void game_ctrl_e::draw()
{
    const char* colbox = cvar_string_value(api::cvar_get("g_colbox"));
    if (colbox && !strcmp(colbox, "1")) {
        box_pool.debug_draw();
        if (road_geo_t* const road = road_collision_.geometry())
            road->debug_draw();
    }
    gfx_camera_t camera{};
    if (!api::gfx_get_camera)
        return;
    api::gfx_get_camera(&camera);
    camera_position = vec3_t(camera.position[0], camera.position[1], camera.position[2]);
    // The road network is built and drawn within reach of the camera.
    const float reach = game_ctrl_road_reach;
    const float low[3] = {camera.position[0] - reach, camera.position[1] - reach, camera.position[2] - reach};
    const float high[3] = {camera.position[0] + reach, camera.position[1] + reach, camera.position[2] + reach};
    cd_bounds_t box;
    box.set_empty();
    box.add_box(low, high);
    draw_roads(box);
    if (seg_server) {
        seg_server->draw_objects(night != 0);
        seg_server->draw_lights(cityblocks, night != 0);
        seg_server->draw_free_items(freeitems, night != 0);
    }
    const vprocess_t* const owner = process();
    stations_.draw_targets(static_cast<float>(owner ? owner->frame_seconds() : 0.0));
}

void game_ctrl_e::get_start_pos(vec3_t& out_position, quat_t& out_rotation)
{
    const held_part_t<ctrl_economy_t> economy(economy_handle());
    const int32_t city = economy.get() ? economy.get()->headquarters_city() : -1;
    if (city < 0 || !seg_server || city >= seg_server->city_count) {
        base_ctrl_e::get_start_pos(out_position, out_rotation);
        return;
    }
    const city_area_t& area = seg_server->cities[city];
    out_position = area.start_position;
    out_rotation.set(vec3_t(0.0f, 1.0f, 0.0f), area.start_rotation);
    const char* city_name = economy.get()->city_name(city);
    if (!city_name)
        return;
    char path[160];
    snprintf(path, sizeof path, "/defs/cities/%s.def", city_name);
    c_item_t* item = api::mm_precache(path);
    const auto* pool = item ? static_cast<const def_pool_t*>(item->object) : nullptr;
    const def_obj_t* object = pool ? pool->find("city") : nullptr;
    const char* sky_text = object ? object->get_value("sky_idx") : nullptr;
    const int32_t sky = sky_text ? object->get_int("sky_idx") : -1;
    if (item)
        api::ci_dec_refs(item);
    if (!sky_text)
        return;
    const held_part_t<ctrl_environment_t> environment(environment_handle());
    if (!environment.get())
        return;
    // A sky the environment does not have is reported and the sky stays as it is.
    if (sky < 0 || sky >= environment.get()->sky_count()) {
        api::error("City %s names sky %d, of %d", city_name, sky, environment.get()->sky_count());
        return;
    }
    environment.get()->set_sky(sky);
}

void game_ctrl_e::activate_miscitem(map_miscitem_t& record)
{
    if (!(record.flags & map_misc_night) && night)
        return;
    base_ctrl_e::activate_miscitem(record);
}

int32_t game_ctrl_e::edge_surface_class(const int32_t edge) const
{
    if (!edges.valid(edge))
        return -1;
    const map_edge_t& record = edges[edge];
    if (record.kind == map_edge_city_road)
        return 2;
    if (record.kind != map_edge_road)
        return -1;
    return record.road_type == 1 ? 0 : record.road_type == 4 ? 1 : 3;
}
