#include "world/environment.h"
#include "world/environment_colour.h"

#include <cstdio>
#include <cstdlib>

#include "engine/cache.h"
#include "engine/cvar.h"
#include "engine/def_pool.h"
#include "engine/entity_proc.h"
#include "engine/evalue.h"
#include "common/cvar_value.h"
#include "common/def_count.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/view_params.h"
#include "common/world_services.h"
#include "world/owning_process.h"

namespace {

constexpr evalue_def_t def_name_def =
    evalue_member("def_name", evalue_text, 64, evalue_bind<&environment_e::def_name>, nullptr, "/defs/sun.def");
constexpr evalue_def_t start_hour_def = evalue_member("start_hour", evalue_int, sizeof(int32_t),
                                                      evalue_bind<&environment_e::start_hour>, &def_name_def, "8");

const level_list_t environment_init_list(&entity_t::init_list, {-10, 0, 10});

// The world services of the process an entity lives in, or null.
world_services_t* services_of(const entity_t& entity)
{
    return dynamic_cast<world_services_t*>(owning_process(entity));
}

// The game controller of the world as the environment reads it, held for the caller's use.
held_part_t<environment_ctrl_t> held_ctrl()
{
    const game_bridge_t* bridge = get_game_bridge();
    return held_part_t<environment_ctrl_t>(bridge ? bridge->base_ctrl() : entity_handle_t{});
}

}  // namespace

uint32_t environment_e::current_sky_colour = 0xFFFFFFFFu;
float environment_e::view_distance = 50000.0f;

environment_e::environment_e()
{
    sun_sprite_.colour = 0xFFFFFFFFu;
    sun_sprite_.scale = 1.0f;
    sun_sprite_.uv1[0] = 1.0f;
    sun_sprite_.uv1[1] = 1.0f;
}

environment_e::~environment_e() { free_skies(); }

const evalue_def_t* environment_e::get_evalue_root() const { return &start_hour_def; }

const level_list_t* environment_e::get_init_list() const { return &environment_init_list; }

int environment_e::init(int phase)
{
    if (const int base = entity_t::init(phase))
        return base;
    if (phase == -10) {
        game_bridge_t* bridge = get_game_bridge();
        if (bridge)
            registered_ = bridge->register_environment(handle());
        if (world_services_t* services = services_of(*this)) {
            services->set_background(this);
            background_set_ = true;
        }
        precache_thunder();
    } else if (phase == 0) {
        load_skies();
        {
            const held_part_t<environment_ctrl_t> ctrl = held_ctrl();
            if (ctrl.get())
                ctrl.get()->set_game_time(static_cast<float>(start_hour) * 3600.0f);
        }
        load_sun_data();
        set_view();
        if (world_services_t* services = services_of(*this))
            world_light_ = services->new_light();
        sun_shader_ = api::mm_precache("/shaders/skies/sun.shd");
        update_light(static_cast<float>(start_hour) * 3600.0f);
        load_effects();
    }
    return 0;
}

int environment_e::destroy(int phase)
{
    if (phase == 0) {
        world_services_t* services = services_of(*this);
        if (world_light_ && services)
            services->remove_light(world_light_);
        world_light_ = nullptr;
        reset_environment_light_colour();
        if (sun_shader_)
            api::ci_dec_refs(sun_shader_);
        sun_shader_ = nullptr;
        if (background_set_ && services)
            services->clear_background(this);
        background_set_ = false;
        free_skies();
        for (snd_sound_t*& thunder : thunder_) {
            if (thunder)
                api::snd_delete(thunder);
            thunder = nullptr;
        }
    }
    return entity_t::destroy(phase);
}

void environment_e::handler()
{
    const float dt = process() ? static_cast<float>(process()->frame_seconds()) : 0.0f;
    light_timer_ -= dt;
    if (light_timer_ <= 0.0f) {
        light_timer_ += light_period;
        update_light(game_time());
    }
    weather_.update(dt, *this);
    const double now = process() ? process()->process_time() : 0.0;
    if (thunder_pending_ && now - lightning_time_ > thunder_delay) {
        thunder_pending_ = false;
        snd_sound_t* thunder = api::sys_rand() > 0.5f ? thunder_[0] : thunder_[1];
        if (thunder)
            api::snd_play(thunder);
    }
}

float environment_e::game_time() const
{
    const held_part_t<environment_ctrl_t> ctrl = held_ctrl();
    return ctrl.get() ? ctrl.get()->game_time() : 0.0f;
}

void environment_e::set_time(int32_t seconds)
{
    // A time before midnight counts back from the end of the day.
    if (seconds < 0)
        seconds = seconds % 86400 + 86400;
    {
        const held_part_t<environment_ctrl_t> ctrl = held_ctrl();
        if (ctrl.get())
            ctrl.get()->set_game_time(static_cast<float>(seconds));
    }
    update_light(static_cast<float>(seconds));
    const int32_t minutes = ((seconds / 60) % 1440 + 1440) % 1440;
    api::message("environment: the time of day is %02d:%02d, the sky colour %08x", minutes / 60, minutes % 60,
                 sky_colour_);
}

void environment_e::set_fov(int32_t degrees)
{
    gfx_view_t view;
    if (!get_view_params(&view))
        return;
    view.fov = static_cast<float>(degrees);
    set_view_params(&view);
}

void environment_e::set_view()
{
    const char* text = cvar_string_value(api::cvar_get("g_view_dist"));
    const float v = text && *text ? static_cast<float>(std::atof(text)) : 1.0f;
    view_distance = 20000.0f + 30000.0f * v;
    gfx_view_t view;
    if (!get_view_params(&view))
        return;
    view.near_plane = 64.0f;
    view.far_plane = view_distance;
    view.fov = 70.0f;
    set_view_params(&view);
}

void environment_e::precache_thunder()
{
    for (int i = 1; i <= 2; ++i) {
        char path[64];
        std::snprintf(path, sizeof path, "%s/am_thunder0%d.ogg", "/sounds/environment", i);
        thunder_[i - 1] = api::snd_new(path, 0, 10);
    }
}

void environment_e::load_skies()
{
    free_skies();
    c_item_t* item = api::mm_precache("/defs/seg_server/skies.def");
    const auto* pool = item ? static_cast<const def_pool_t*>(item->object) : nullptr;
    const def_obj_t* skies = pool ? pool->find("skies") : nullptr;
    const int count = skies ? def_count(*skies, "sky_shader_count", "/defs/seg_server/skies.def") : 0;
    if (count > 0) {
        horizon_shaders_ = new c_item_t*[static_cast<size_t>(count)]();
        for (int i = 0; i < count; ++i) {
            char key[32];
            std::snprintf(key, sizeof key, "sky_shader%d", i);
            const char* name = skies->get_value(key);
            horizon_shaders_[i] = name ? api::mm_precache(name) : nullptr;
            if (!horizon_shaders_[i])
                api::error("sky %d: no shader", i);
        }
        sky_count_ = count;
    }
    if (item)
        api::ci_dec_refs(item);
    const char* folder = "/shaders/skies/";
    char name[96];
    std::snprintf(name, sizeof name, "%sup.shd", folder);
    up_shader_ = api::mm_precache(name);
    std::snprintf(name, sizeof name, "%sscll.shd", folder);
    low_cloud_shader_ = api::mm_precache(name);
    std::snprintf(name, sizeof name, "%ssclh.shd", folder);
    high_cloud_shader_ = api::mm_precache(name);
}

void environment_e::free_skies()
{
    for (c_item_t** shader : {&up_shader_, &low_cloud_shader_, &high_cloud_shader_}) {
        if (*shader)
            api::ci_dec_refs(*shader);
        *shader = nullptr;
    }
    for (int32_t i = 0; i < sky_count_; ++i)
        if (horizon_shaders_[i])
            api::ci_dec_refs(horizon_shaders_[i]);
    delete[] horizon_shaders_;
    horizon_shaders_ = nullptr;
    sky_count_ = 0;
}

void environment_e::set_sky(int32_t index)
{
    // Only a sky the environment holds can be shown; -1 shows none.
    if (index < -1 || index >= sky_count_) {
        api::error("environment: no sky %d (of %d)", index, sky_count_);
        return;
    }
    sky_index_ = index;
}

void environment_e::set_sky_blend(float blend)
{
    sky_blend_ = blend >= 0.0f && blend <= 1.0f ? blend : 1.0f;
    dome_.set_drop(sky_drop());
}

void environment_e::set_weather_state(int32_t surface_class) { weather_.set_state(surface_class); }

void environment_e::load_effects()
{
    world_services_t* services = services_of(*this);
    entity_t* rain = services ? services->instantiate_block("/scripts/game/rain.esc") : nullptr;
    entity_t* snow = services ? services->instantiate_block("/scripts/game/snow.esc") : nullptr;
    rain_ = rain ? rain->handle() : entity_handle_t{};
    snow_ = snow ? snow->handle() : entity_handle_t{};
    set_rain_active(false);
    set_snow_active(false);
}

void environment_e::set_rain_active(bool active)
{
    if (auto* effect = dynamic_cast<weather_effect_t*>(rain_.resolve()))
        effect->set_active(active);
}

void environment_e::set_snow_active(bool active)
{
    if (auto* effect = dynamic_cast<weather_effect_t*>(snow_.resolve()))
        effect->set_active(active);
}

void environment_e::apply_rain_level(float level)
{
    if (auto* effect = dynamic_cast<weather_effect_t*>(rain_.resolve()))
        effect->set_intensity(level);
}

void environment_e::apply_snow_level(float level)
{
    if (auto* effect = dynamic_cast<weather_effect_t*>(snow_.resolve()))
        effect->set_intensity(level);
}

void environment_e::windshield(float level)
{
    const game_bridge_t* bridge = get_game_bridge();
    const held_part_t<environment_truck_t> truck(bridge ? bridge->avatar() : entity_handle_t{});
    if (truck.get())
        truck.get()->set_windshield_rain(level);
}
