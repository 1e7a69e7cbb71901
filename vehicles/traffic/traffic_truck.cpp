#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/game_settings.h"
#include "engine/def_obj.h"
#include "engine/eblock.h"
#include "engine/entity_proc.h"
#include "engine/gfx_render.h"
#include "engine/psm.h"
#include "engine/snd.h"
#include "road/game_ctrl.h"
#include "vehicles/body/car_trailor.h"
#include "vehicles/body/make_files.h"
#include "vehicles/traffic/traffic.h"
#include "vehicles/links/traffic_player.h"
#include "vehicles/body/vehicle_flares.h"
#include "vehicles/links/vehicle_links.h"

namespace {

// The truck stands this fast where it enters its edge, at this share of the edge's length (centimetres
// from its start, as the traffic's own cars).
constexpr float entry_speed = 200.0f;
constexpr float entry_offset = 600.0f;
// A truck is only shown where the player cannot see it appear: farther than about 346 m (squared).
constexpr float hidden_distance = 1.2e9f;
// Seconds after the spawn before the driver calls in on the CB radio.
constexpr float call_in_seconds = 5.0f;
// The trailer enters this far above the truck's road point.
constexpr float trailer_lift = 200.0f;
// The horn: a positional one-shot sound of the traffic's tag.
constexpr uint32_t horn_kind = 1;
constexpr int horn_tag = 10;
// The truck is drawn this far above its road point, less its ride height.
constexpr float draw_lift = 115.0f;
// The ride height adds this to the wheel size and the front wheel's height.
constexpr float ride_margin = 62.0f;
// Off the lanes, the truck leaves the traffic past this share of an edge it did not enter on.
constexpr float off_lanes_leave_share = 0.6f;

const char* text_of(const def_obj_t& object, const char* key)
{
    const char* const value = object.get_value(key);
    return value ? value : "";
}

float square_distance(const vec3_t& a, const vec3_t& b)
{
    const vec3_t d = a - b;
    return d.x * d.x + d.y * d.y + d.z * d.z;
}

// A name of a build order: copied when it ends within its field, else reported and left empty.
bool order_name(char (&out)[ai_truck_t::accessory_name_size], const char* field)
{
    const void* const end = std::memchr(field, '\0', ai_truck_t::accessory_name_size);
    if (!end) {
        api::error("AI truck accessory name without an end; it is left out");
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, field, static_cast<size_t>(static_cast<const char*>(end) - field) + 1);
    return true;
}

}  // namespace

void traffic_e::answer_horn()
{
    if (!cars.empty())
        cars[0].horn_bits &= static_cast<uint8_t>(~1u);
}

void traffic_e::spawn_ai_truck(const int32_t edge, const int32_t driver, const char* trailer_make,
                               const int32_t trailer_variant, const char* truck_make,
                               const char (*truck_accessories)[ai_truck_t::accessory_name_size],
                               const uint32_t paint_colour)
{
    if (ai_truck.present || roads.empty() || cars.empty())
        return;
    const auto road = std::ranges::find_if(roads, [edge](const traffic_road_t& r) { return r.has_edge(edge); });
    if (road == roads.end() || road->pending_removal)
        return;
    const auto road_slot = static_cast<int32_t>(road - roads.begin());
    int32_t next_edge = -1;
    const held_part_t<traffic_economy_t> economy(bridge ? bridge->economy() : entity_handle_t{});
    if (economy.get())
        economy.get()->driver_next_node(driver, next_edge);
    ai_truck.driver = driver;
    ai_truck.paint_colour = paint_colour;

    traffic_car_t& c = cars[0];
    bool forward = true;
    {
        const held_part_t<game_ctrl_e> controller(controller_link);
        game_ctrl_e* const ctrl = controller.get();
        if (!ctrl || !ctrl->edges.valid(edge) || ctrl->road_def_word(edge, true) <= 0)
            return;
        c = traffic_car_t{};
        const float length = ctrl->edges[edge].length;
        const float fraction = length > entry_offset ? entry_offset / length : 0.0f;
        ctrl->place_on_edge(c.route, edge, next_edge, entry_speed, fraction, &forward, driver, &ai_truck.route, 0.0f);
    }
    // Out of the player's sight, but not where the traffic would let it go again at once.
    const float viewer_square = square_distance(c.route.position, viewer_position);
    if (c.route.edge != edge || viewer_square <= hidden_distance || viewer_square > ai_truck_removal_distance)
        return;

    ai_truck.present = true;
    spawned.push_back(0);
    c.road_slot = road_slot;
    c.state = 1;
    c.decision_stamp = clock;
    c.entry_edge = edge;
    if (!place_car(0, 1, forward ? 1 : 0)) {
        release_car(0, false);
        return;
    }
    // Listed in lane 1, the truck drives there too (it entered the edge in the lane its route names).
    c.route.lane = 1.0f;
    {
        const held_part_t<game_ctrl_e> controller(controller_link);
        if (controller.get())
            controller.get()->update_lane_offset(c.route);
    }
    if (economy.get())
        economy.get()->set_driver_spawned(driver, true);

    if (entity_proc_t* const world = process()) {
        eblock_t* const block = world->eblock_from_name("/scripts/game/trailer.esc");
        if (block && world->init_eblock(block))
            if (auto* const trailer = dynamic_cast<car_trailor_e*>(block->root())) {
                trailer->attach_to_ai_truck(trailer_make, trailer_variant,
                                            c.route.position + vec3_t{0.0f, trailer_lift, 0.0f}, c.route.rotation);
                if (trailer->handle().add_use())
                    ai_truck.trailer = trailer->handle();
            }
    }
    build_ai_truck(truck_make, truck_accessories);
    message("The truck of driver %d drives in on edge %d", static_cast<int>(driver), static_cast<int>(edge));
    ai_truck.arrival_timer = 0.0f;
    ai_truck.arrival_pending = true;
}

void traffic_e::leave_ai_truck()
{
    if (!ai_truck.trailer.is_null()) {
        if (auto* const trailer = dynamic_cast<car_trailor_e*>(ai_truck.trailer.resolve()))
            trailer->request_destroy();
        ai_truck.trailer.release();
        ai_truck.trailer = {};
    }
    if (!ai_truck.present)
        return;
    ai_truck.present = false;
    if (!bridge)
        return;
    {
        const held_part_t<traffic_economy_t> economy(bridge->economy());
        if (economy.get())
            economy.get()->set_driver_spawned(ai_truck.driver, false);
    }
    const held_part_t<traffic_player_t> player(bridge->avatar());
    if (player.get())
        player.get()->driver_truck_left();
}

void traffic_e::drive_ai_truck()
{
    if (!ai_truck.present || cars.empty())
        return;
    traffic_car_t& c = cars[0];
    const held_part_t<traffic_economy_t> economy(bridge ? bridge->economy() : entity_handle_t{});
    int32_t node = -1;
    if (economy.get())
        economy.get()->driver_route_node(ai_truck.driver, node);
    if (ai_truck.arrival_pending) {
        ai_truck.arrival_timer += time_step;
        if (ai_truck.arrival_timer > call_in_seconds) {
            ai_truck.arrival_pending = false;
            const held_part_t<traffic_player_t> player(bridge ? bridge->avatar() : entity_handle_t{});
            if (player.get())
                player.get()->driver_truck_arrived(ai_truck.driver);
        }
    }
    if (economy.get() && node != c.route.edge) {
        int32_t next = -1;
        economy.get()->driver_next_node(ai_truck.driver, next);
        economy.get()->driver_route_step(ai_truck.driver);
        if (next != c.route.edge) {
            // The truck turned off its driver's route: it leaves the traffic.
            if (c.has(traffic_car_t::status_body))
                unload_car_model(0);
            release_car(0, true);
            unlink_car(0);
            ai_truck.driver = -1;
            return;
        }
    }
    // The lane the route leaves the edge by (counted from 0) decides which way the truck changes lanes.
    const int32_t exit_lane = c.route.route ? c.route.route->entries[0].lane : -1;
    if (exit_lane != -1) {
        const auto wanted = static_cast<float>(exit_lane + 1);
        if (wanted > c.route.lane)
            change_lane_up(0);
        else if (wanted < c.route.lane)
            change_lane_down(0);
    }
    if (ai_truck.horn)
        api::snd_position(ai_truck.horn, &c.route.position.x);
}

void traffic_e::move_ai_truck_off_lanes()
{
    if (!ai_truck.present || ai_truck.stepped || cars.empty())
        return;
    traffic_car_t& c = cars[0];
    if (!(c.route_flags & traffic_car_t::route_off_lanes))
        return;
    {
        const held_part_t<game_ctrl_e> controller(controller_link);
        if (controller.get())
            controller.get()->next_path_point(c.route, time_step);
    }
    // Off the lanes the truck is drawn by the traffic without a body; its trailer follows slot 0's pose.
    if (c.has(traffic_car_t::status_body))
        unload_car_model(0);
    if (c.route.distance * c.route.inv_length <= off_lanes_leave_share || c.entry_edge > c.route.edge)
        return;
    release_car(0, true);
    c.leader = c.follower = -1;
    std::erase(knocked, 0);
}

void traffic_e::build_ai_truck(const char* make, const char (*accessories)[ai_truck_t::accessory_name_size])
{
    free_ai_truck();
    ai_truck.part_count = ai_truck_t::first_extra_part;
    if (!make || !accessories)
        return;
    for (int i = 0; i < ai_truck_t::accessory_capacity; ++i) {
        char name[ai_truck_t::accessory_name_size];
        if (accessories[i][0] && order_name(name, accessories[i]))
            read_truck_accessory(make, name);
    }
}

psm_t* traffic_e::load_ai_truck_model(const char* make, const char* accessory, const char* model_name,
                                      const char* shader_list)
{
    char path[256];
    if (!make_path(path, sizeof path, "/makes/truck/%s/acc/%s/%s", make, accessory, model_name))
        return nullptr;
    psm_t* const model = make_model_alloc(path);
    if (!model) {
        api::error("Unable to load model %s", path);
        return nullptr;
    }
    char own[256], shared[256];
    make_path(own, sizeof own, "/makes/truck/%s/acc/%s", make, accessory);
    make_path(shared, sizeof shared, "/makes/truck/%s/acc/shared", make);
    const char* const folders[] = {own, shared};
    make_set_shaders(model, shader_list, folders, 2, true);
    car_phys_e::light_model(model, controller_link);
    return model;
}

c_item_t* traffic_e::load_ai_truck_flare(const char* make, const char* accessory, const char* name)
{
    char own[256], shared[256];
    make_path(own, sizeof own, "/makes/truck/%s/acc/%s", make, accessory);
    make_path(shared, sizeof shared, "/makes/truck/%s/acc/shared", make);
    const char* const folders[] = {own, shared};
    return load_vehicle_flare_shader(folders, 2, name);
}

void traffic_e::read_truck_accessory(const char* make, const char* accessory)
{
    const accessory_desc_t desc("truck", make, accessory);
    if (!desc.keys())
        return;
    const def_obj_t& keys = *desc.keys();
    const char* const type = text_of(keys, "type");
    for (const char* ignored : {"interior", "engine", "transmission", "brakes"})
        if (std::strcmp(type, ignored) == 0)
            return;
    if (ai_truck.part_count >= ai_truck_t::part_capacity) {
        api::error("AI truck %s has more than %d parts; accessory %s is left out", make, ai_truck_t::part_capacity,
                   accessory);
        return;
    }
    const int slot = ai_truck.part_count;
    ai_truck_part_t* part = nullptr;

    if (std::strcmp(type, "wheels") == 0) {
        const bool low_hidden = game_detail_level() == 2;
        for (psm_t* ai_truck_t::*wheel : {&ai_truck_t::front_wheel_model, &ai_truck_t::rear_wheel_model}) {
            const bool front = wheel == &ai_truck_t::front_wheel_model;
            psm_t* const model =
                load_ai_truck_model(make, accessory, text_of(keys, front ? "front_model" : "rear_model"),
                                    text_of(keys, front ? "front_shader" : "rear_shader"));
            if (!model)
                continue;
            make_show_part(model, "low", !low_hidden);
            make_show_part(model, "high0", low_hidden);
            make_show_part(model, "high1", low_hidden);
            if (ai_truck.*wheel)
                api::psm_free(ai_truck.*wheel);
            ai_truck.*wheel = model;
        }
    } else if (std::strcmp(type, "base") == 0) {
        psm_t* const base = load_ai_truck_model(make, accessory, text_of(keys, "model"), text_of(keys, "shader"));
        part = &ai_truck.parts[1];
        if (part->model)
            api::psm_free(part->model);
        *part = ai_truck_part_t{};
        part->model = base;
        char bone[24];
        for (int i = 0; i < ai_truck_t::front_wheel_count; ++i) {
            std::snprintf(bone, sizeof bone, "wheel%d", i);
            ai_truck.front_wheel_points[static_cast<size_t>(i)] = {};
            make_bone_position(base, bone, ai_truck.front_wheel_points[static_cast<size_t>(i)]);
        }
        ai_truck.wheel_count = 0;
        for (int i = 0; i < ai_truck_t::wheel_point_capacity; ++i) {
            std::snprintf(bone, sizeof bone, "wheel%d", i + 2);
            vec3_t& point = ai_truck.wheel_points[static_cast<size_t>(i)];
            point = {};
            if (make_bone_position(base, bone, point))
                ++ai_truck.wheel_count;
        }
        ai_truck.ride_height = keys.get_real("wheel_size") + ai_truck.front_wheel_points[0].y + ride_margin;
        const bool has0 = make_bone_position(base, "bb0", ai_truck.bounds_min);
        const bool has1 = make_bone_position(base, "bb1", ai_truck.bounds_max);
        if (!has0)
            api::error("base bb0 bone not found");
        if (!has1)
            api::error("base bb1 bone not found");
        ai_truck.body_offset = (std::fabs(ai_truck.bounds_min.z) - std::fabs(ai_truck.bounds_max.z)) * 0.5f;
    } else if (text_of(keys, "model")[0]) {
        part = &ai_truck.parts[static_cast<size_t>(slot)];
        *part = ai_truck_part_t{};
        part->model = load_ai_truck_model(make, accessory, text_of(keys, "model"), text_of(keys, "shader"));
        keys.get_point("offset", part->offset);
    }

    if (std::strcmp(type, "paint") == 0 && ai_truck.cabin_slot >= 0) {
        psm_t* const cabin = ai_truck.parts[static_cast<size_t>(ai_truck.cabin_slot)].model;
        const int paint_part = cabin ? api::psm_part_find(cabin, "cabin") : -1;
        char shader[256];
        if (paint_part >= 0 &&
            make_path(shader, sizeof shader, "/makes/truck/%s/acc/%s/%s", make, accessory, text_of(keys, "shader")))
            api::psm_set_shader(cabin, paint_part, shader);
    }
    if (std::strcmp(type, "cabin") == 0 && part) {
        ai_truck.cabin_slot = slot;
        char horn[256];
        if (ai_truck.horn)
            api::snd_delete(ai_truck.horn);
        ai_truck.horn = nullptr;
        if (text_of(keys, "horn_snd")[0] &&
            make_path(horn, sizeof horn, "/makes/truck/%s/acc/%s/%s", make, accessory, text_of(keys, "horn_snd")))
            ai_truck.horn = api::snd_new(horn, horn_kind, horn_tag);
        for (int i = 0; i < ai_truck_t::deform_point_capacity; ++i) {
            char bone[24];
            std::snprintf(bone, sizeof bone, "deform%d", i);
            make_bone_position(part->model, bone, ai_truck.deform_points[static_cast<size_t>(i)]);
        }
    }
    const int bone = keys.get_int("bone_offset", -1);
    if (bone != -1 && part) {
        // The bone number comes from the file: one outside the cabin's deform bones moves nothing.
        if (bone >= 0 && bone < ai_truck_t::deform_point_capacity && ai_truck.cabin_slot >= 0)
            part->offset += ai_truck.parts[static_cast<size_t>(ai_truck.cabin_slot)].offset +
                            ai_truck.deform_points[static_cast<size_t>(bone)];
        else
            api::error("AI truck accessory %s follows deform bone %d, which the cabin does not have", accessory, bone);
    }
    if (std::strncmp(type, "lights", 6) == 0 && part && text_of(keys, "flare_offset")[0])
        read_vehicle_flares(keys, load_ai_truck_flare(make, accessory, text_of(keys, "flare_shader")), part->flares);
    // The next accessory's model takes the next slot (the base keeps slot 1).
    if (part == &ai_truck.parts[static_cast<size_t>(slot)])
        ++ai_truck.part_count;
}

void traffic_e::free_ai_truck()
{
    for (ai_truck_part_t& part : ai_truck.parts) {
        if (part.model)
            api::psm_free(part.model);
        free_vehicle_flares(part.flares);
        part = ai_truck_part_t{};
    }
    for (psm_t** wheel : {&ai_truck.front_wheel_model, &ai_truck.rear_wheel_model}) {
        if (*wheel)
            api::psm_free(*wheel);
        *wheel = nullptr;
    }
    if (ai_truck.horn)
        api::snd_delete(ai_truck.horn);
    ai_truck.horn = nullptr;
    ai_truck.cabin_slot = -1;
    ai_truck.part_count = ai_truck_t::first_extra_part;
}

void traffic_e::draw_ai_truck()
{
    if (!ai_truck.present || cars.empty())
        return;
    traffic_car_t& c = cars[0];
    c.draw_level = 2;
    uint8_t bits = c.lights & 1;
    if (c.left_blinker && blink_timer > 0.5f)
        bits |= 8;
    if (c.right_blinker && blink_timer > 0.5f)
        bits |= 16;
    if (auto* const trailer = dynamic_cast<car_trailor_e*>(ai_truck.trailer.resolve()))
        trailer->lights = bits;

    api::gfx_push();
    api::gfx_translate(&c.route.position.x);
    api::gfx_qrotate(&c.route.rotation.x);
    const vec3_t lift{0.0f, draw_lift - ai_truck.ride_height, 0.0f};
    api::gfx_translate(&lift.x);
    for (int slot = 1; slot < ai_truck.part_count; ++slot) {
        const ai_truck_part_t& part = ai_truck.parts[static_cast<size_t>(slot)];
        if (!part.model)
            continue;
        api::gfx_push();
        api::gfx_translate(&part.offset.x);
        api::psm_draw(part.model, 1, ai_truck.paint_colour);
        draw_vehicle_flares(part.flares, bits, flare_view_t::facing_camera);
        api::gfx_pop();
    }
    const auto draw_wheel = [&](psm_t* model, const vec3_t& at, int index) {
        if (!model)
            return;
        api::gfx_push();
        api::gfx_translate(&at.x);
        const vec3_t roll{-c.wheel_angle, 0.0f, 0.0f};
        api::gfx_rotate(&roll.x);
        if (index % 2 == 0) {
            const vec3_t flip{0.0f, 180.0f, 0.0f};
            api::gfx_rotate(&flip.x);
        }
        api::psm_draw(model, 1, 0xFFFFFFFFu);
        api::gfx_pop();
    };
    for (int i = 0; i < ai_truck_t::front_wheel_count; ++i)
        draw_wheel(ai_truck.front_wheel_model, ai_truck.front_wheel_points[static_cast<size_t>(i)], i);
    for (int i = 0; i < ai_truck.wheel_count; ++i)
        draw_wheel(ai_truck.rear_wheel_model, ai_truck.wheel_points[static_cast<size_t>(i)], i);
    api::gfx_pop();
}
