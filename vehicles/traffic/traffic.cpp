#include "vehicles/traffic/traffic.h"

#include <algorithm>
#include <cstdio>

#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "engine/eblock.h"
#include "engine/entity_proc.h"
#include "engine/snd.h"
#include "physics/cd_geo_box.h"
#include "physics/phys_body.h"
#include "physics/scene_proc.h"
#include "road/game_ctrl.h"
#include "vehicles/links/traffic_player.h"
#include "world/car_smoke.h"
#include "world/environment.h"

namespace {

const level_list_t traffic_init_list(&entity_t::init_list, {-2, 0});
const level_list_t traffic_destroy_list(&entity_t::destroy_list, {-1, 0});

constexpr const char* flare_shader_paths[] = {"/models/ai/flares/light.shd", "/models/ai/flares/blinker.shd",
                                              "/models/ai/flares/brake.shd", "/models/ai/flares/s_red.shd",
                                              "/models/ai/flares/s_blue.shd"};
// Sound kinds of snd_new: a horn plays once, the motor loops, the siren loops.
constexpr uint32_t horn_kind = 0;
constexpr uint32_t motor_kind = 4;
constexpr uint32_t siren_kind = 5;
constexpr int sound_tag = 10;

snd_sound_t* numbered_sound(const char* stem, int number, uint32_t kind)
{
    char path[64];
    std::snprintf(path, sizeof path, "%s%d.ogg", stem, number);
    return api::snd_new(path, kind, sound_tag);
}

}  // namespace

// Drawn and pre-drawn each frame (the car decals are placed before the world is drawn).
traffic_e::traffic_e() { type_flags |= 4u; }

traffic_e::~traffic_e() { free_resources(); }

const level_list_t* traffic_e::get_init_list() const { return &traffic_init_list; }

const level_list_t* traffic_e::get_destroy_list() const { return &traffic_destroy_list; }

int traffic_e::init(const int phase)
{
    if (const int base = dynamic_object_e::init(phase))
        return base;
    if (phase == -2) {
        if (!bridge)
            bridge = get_game_bridge();
        if (bridge && !bridge->traffic().is_null()) {
            api::error("<traffic_e> the world already has a traffic; this one stays out of the bridge");
            return 0;
        }
        if (bridge)
            bridge->register_traffic(handle());
    } else if (phase == 0) {
        load_resources();
        load_smoke();
        motor_sounds_.load();
    }
    return 0;
}

void traffic_e::load_smoke()
{
    entity_proc_t* const world = process();
    if (!world || !smoke_emitter.is_null())
        return;
    eblock_t* const block = world->eblock_from_name("/scripts/game/ai_car_smoke.esc");
    if (!block || !world->init_eblock(block))
        return;
    if (auto* const emitter = dynamic_cast<car_smoke_e*>(block->root()))
        if (emitter->handle().add_use())
            smoke_emitter = emitter->handle();
}

void traffic_e::stop_smoke()
{
    smoking_car = -1;
    if (auto* const emitter = dynamic_cast<car_smoke_e*>(smoke_emitter.resolve()))
        emitter->set_emitting(false);
}

void traffic_e::load_resources()
{
    if (bridge)
        controller_link = bridge->base_ctrl();
    catalogue_.load();
    cars.assign(car_capacity, traffic_car_t{});
    roads.clear();
    roads.reserve(256);
    free_slots.clear();
    for (int32_t car = 1; car < car_capacity; ++car)
        free_slots.push_back(car);
    spawned.clear();
    knocked.clear();
    for (size_t i = 0; i < flare_shaders_.size(); ++i)
        if (!flare_shaders_[i])
            flare_shaders_[i] = api::mm_precache(flare_shader_paths[i]);
    for (size_t i = 0; i < horn_sounds_.size(); ++i)
        if (!horn_sounds_[i])
            horn_sounds_[i] = numbered_sound("/sounds/ai/ai_carhorn", static_cast<int>(i) + 1, horn_kind);
    for (size_t i = 0; i < engine_loops_.size(); ++i)
        if (!engine_loops_[i])
            engine_loops_[i] = numbered_sound("/sounds/ai/ai_carmotor", static_cast<int>(i) + 1, motor_kind);
    if (!siren_sound_)
        siren_sound_ = api::snd_new("/sounds/ai/ai_ambsiren.ogg", siren_kind, sound_tag);
}

int traffic_e::destroy(const int phase)
{
    if (phase == -1) {
        const held_part_t<game_ctrl_e> controller(controller_link);
        if (controller.get())
            for (const traffic_road_t& road : roads)
                if (road.first_edge() >= 0)
                    controller.get()->lights().detach(road.first_edge());
    } else if (phase == 0) {
        free_resources();
        if (!smoke_emitter.is_null())
            smoke_emitter.release();
        smoke_emitter = {};
    }
    return dynamic_object_e::destroy(phase);
}

void traffic_e::free_resources()
{
    for (int32_t car = 0; car < car_capacity; ++car)
        unload_car_model(car);
    motor_sounds_.free();
    // The world is going: the trailer's use is given back, and no one is told the truck left (the
    // bridge may already be gone).
    if (!ai_truck.trailer.is_null())
        ai_truck.trailer.release();
    ai_truck.trailer = {};
    ai_truck.present = false;
    free_ai_truck();
    catalogue_.free();
    roads.clear();
    cars.clear();
    free_slots.clear();
    spawned.clear();
    knocked.clear();
    for (c_item_t*& shader : flare_shaders_) {
        if (shader)
            api::ci_dec_refs(shader);
        shader = nullptr;
    }
    for (snd_sound_t*& sound : horn_sounds_) {
        if (sound)
            api::snd_delete(sound);
        sound = nullptr;
    }
    for (snd_sound_t*& sound : engine_loops_) {
        if (sound)
            api::snd_delete(sound);
        sound = nullptr;
    }
    if (siren_sound_)
        api::snd_delete(siren_sound_);
    siren_sound_ = nullptr;
}

void traffic_e::handler()
{
    dynamic_object_e::handler();
    const float dt = process() ? static_cast<float>(process()->frame_seconds()) : 0.0f;
    if (smoking_car >= 0 && smoking_car < static_cast<int32_t>(cars.size()))
        if (auto* const emitter = dynamic_cast<car_smoke_e*>(smoke_emitter.resolve())) {
            const route_cursor_t& car = cars[static_cast<size_t>(smoking_car)].route;
            emitter->set_position(car.position + car.rotation.rotate({0.0f, 0.0f, -150.0f}));
        }
    offences_.tick(dt);
}

void traffic_e::mem_move(const ptrdiff_t delta)
{
    dynamic_object_e::mem_move(delta);
    car_bodies_.relink(delta, this);
}

void traffic_e::print_info() const
{
    api::message("We have %d registered roads and %d of %d spawned cars", static_cast<int>(roads.size()),
                 static_cast<int>(spawned.size()), car_capacity);
}

void traffic_e::read_world()
{
    if (!bridge)
        return;
    {
        const held_part_t<environment_e> environment(bridge->environment());
        if (environment.get())
            dark = environment.get()->is_dark();
    }
    const held_part_t<traffic_player_t> player(bridge->avatar());
    if (player.get()) {
        player_speed_mph = player.get()->traffic_speed_mph();
        player_speed = player.get()->traffic_speed();
        viewer_position = player.get()->traffic_viewer_position();
    }
}

void traffic_e::set_player_points(const vec3_t& front, const vec3_t& rear, const vec3_t& middle)
{
    player_points = {front, middle, rear};
}

void traffic_e::get_car_pose(vec3_t& out_position, quat_t& out_rotation, const int32_t car) const
{
    if (car < 0 || car >= static_cast<int32_t>(cars.size()))
        return;
    out_position = cars[static_cast<size_t>(car)].route.position;
    out_rotation = cars[static_cast<size_t>(car)].route.rotation;
}

bool traffic_e::car_pose(const int32_t car, vec3_t& out_position, quat_t& out_rotation) const
{
    if (std::ranges::find(spawned, car) == spawned.end())
        return false;
    get_car_pose(out_position, out_rotation, car);
    return true;
}

physproc_t* traffic_e::physics() const
{
    auto* const scene = dynamic_cast<scene_proc_t*>(process());
    return scene ? &scene->physics() : nullptr;
}

int32_t traffic_e::level() const
{
    const float share = static_cast<float>(spawned.size()) * (1.0f / static_cast<float>(car_capacity));
    return share < 0.7f ? 0 : (share <= 0.9f ? 1 : 2);
}
