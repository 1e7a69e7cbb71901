#include "world/env_snow.h"

#include <algorithm>
#include <cmath>

#include "engine/cache.h"
#include "engine/entity_proc.h"
#include "engine/geometry.h"
#include "engine/gfx_view.h"
#include "common/engine_api.h"
#include "common/world_view.h"
#include "world/decal_generic.h"

namespace {

constexpr evalue_def_t wind_sounds_def =
    evalue_array("wind_sounds", evalue_text, 64, evalue_bind<&env_snow_e::wind_sounds>, nullptr, "");
constexpr evalue_def_t scale_y_def =
    evalue_member("scale_y", evalue_real, sizeof(float), evalue_bind<&env_snow_e::scale_y>, nullptr, "1.0");
constexpr evalue_def_t scale_x_def =
    evalue_member("scale_x", evalue_real, sizeof(float), evalue_bind<&env_snow_e::scale_x>, nullptr, "1.0");
constexpr evalue_def_t jitter_size_def =
    evalue_member("jitter_size", evalue_real, sizeof(float), evalue_bind<&env_snow_e::jitter_size>, nullptr, "10");
constexpr evalue_def_t direction_def =
    evalue_member("direction", evalue_point, sizeof(vec3_t), evalue_bind<&env_snow_e::direction>, nullptr, "-90 0 0");
constexpr evalue_def_t falling_speed_def =
    evalue_member("falling_speed", evalue_real, sizeof(float), evalue_bind<&env_snow_e::falling_speed>, nullptr, "60");
constexpr evalue_def_t bounding_range_def = evalue_member(
    "bounding_range", evalue_point, sizeof(vec3_t), evalue_bind<&env_snow_e::bounding_range>, nullptr, "900 400 900");
constexpr evalue_def_t shader_name_def =
    evalue_member("shader_name", evalue_text, 64, evalue_bind<&env_snow_e::shader_name>, nullptr, "");
constexpr evalue_def_t flakes_count_def =
    evalue_member("flakes_count", evalue_int, sizeof(int32_t), evalue_bind<&env_snow_e::flakes_count>, nullptr, "100");

const level_list_t snow_phases(&entity_t::init_list, {0});
const level_list_t snow_destroy_phases(&entity_t::destroy_list, {0});

}  // namespace

env_snow_e::~env_snow_e() { release(); }

const evalue_def_t* env_snow_e::get_evalue_root() const
{
    static std::array<evalue_def_t, 9> defs{flakes_count_def,  shader_name_def, bounding_range_def,
                                            falling_speed_def, direction_def,   jitter_size_def,
                                            scale_x_def,       scale_y_def,     wind_sounds_def};
    static const evalue_def_t* const root = decal_property_chain(defs, entity_t::get_evalue_root());
    return root;
}

const level_list_t* env_snow_e::get_init_list() const { return &snow_phases; }
const level_list_t* env_snow_e::get_destroy_list() const { return &snow_destroy_phases; }

int env_snow_e::init(int phase)
{
    const int base = entity_t::init(phase);
    if (base < 0 || phase != 0)
        return base;
    shader_ = api::mm_precache(shader_name[0] ? shader_name : "specials/notfound.shd");
    if (flakes_count < 0 || flakes_count > max_flakes) {
        api::warning("env.snow: %d flakes asked, %d kept", flakes_count, std::clamp(flakes_count, 0, max_flakes));
        flakes_count = std::clamp(flakes_count, 0, max_flakes);
    }
    flakes_.assign(static_cast<size_t>(flakes_count), gfx_sprite_t{});
    hidden_.assign(static_cast<size_t>(flakes_count), 0);
    for (gfx_sprite_t& flake : flakes_) {
        const float r = api::sys_rand();
        const float r2 = api::sys_rand();
        const float r3 = api::sys_rand();
        flake.position[0] = (2 * r - 1) * bounding_range.x;
        flake.position[1] = (2 * r2 - 0.6f) * bounding_range.y;
        flake.position[2] = (2 * r3 - 1) * bounding_range.z;
        flake.colour = 0xFFFFFFFFu;
        flake.scale = 0.2f;
        flake.rotation = api::sys_rand() * 360.0f;
        flake.uv1[0] = flake.uv1[1] = 1.0f;
    }
    // Ten steps that add up to nothing, so a flake's wobble never carries it away.
    vec3_t previous;
    for (int k = 0; k < 9; ++k) {
        const vec3_t q(api::sys_rand() * jitter_size, api::sys_rand() * jitter_size, api::sys_rand() * jitter_size);
        wobble_[static_cast<size_t>(k)] = q - previous;
        previous = q;
    }
    wobble_[9] = vec3_t() - previous;
    fall_ = ypr_2_cartes(direction);
    box_.set_range(bounding_range);
    sprite_size_ = bounding_range.length();
    return base;
}

int env_snow_e::destroy(int phase)
{
    if (phase == 0)
        release();
    return entity_t::destroy(phase);
}

void env_snow_e::release()
{
    if (shader_)
        api::ci_dec_refs(shader_);
    shader_ = nullptr;
    flakes_.clear();
    hidden_.clear();
}

bool env_snow_e::set_intensity(float level)
{
    const float wanted = static_cast<float>(flakes_count) * level;
    drawn_flakes_ = static_cast<int32_t>(std::clamp(wanted, 0.0f, static_cast<float>(flake_count())));
    if (active_)
        return false;
    active_ = true;
    box_.restart();
    return true;
}

void env_snow_e::handler()
{
    entity_t::handler();
    if (!box_.has_camera())
        return;
    const float dt = process() ? static_cast<float>(process()->frame_seconds()) : 0.0f;
    update(dt, box_.camera_centre());
}

void env_snow_e::update(float dt, const vec3_t& centre)
{
    const vec3_t offset = box_.move_to(centre);
    dry_box_t dry;
    const bool has_dry = weather_box_t::dry_area(centre, dry);
    const vec3_t d = offset + fall_ * (falling_speed * dt);
    size_t wobble = 0;
    for (size_t i = 0; i < flakes_.size(); ++i) {
        if (api::sys_rand() < 0.01f)
            wobble = (wobble + 1) % wobble_.size();
        vec3_t p(flakes_[i].position[0], flakes_[i].position[1], flakes_[i].position[2]);
        p += d + wobble_[wobble] * dt;
        if (hidden_[i])
            p.y += weather_hidden_drop;
        vec3_t shift;
        box_.wrap(p, shift);
        if (has_dry) {
            const bool dry_here = weather_box_t::inside(dry, p + centre);
            hidden_[i] = dry_here ? 1 : 0;
        }
        if (hidden_[i])
            p.y -= weather_hidden_drop;
        flakes_[i].position[0] = p.x;
        flakes_[i].position[1] = p.y;
        flakes_[i].position[2] = p.z;
    }
}

void env_snow_e::draw()
{
    box_.take_camera();
    if (drawing_secondary_view() || !active_ || flakes_.empty() || drawn_flakes_ == 0 || !shader_)
        return;
    api::gfx_push();
    const vec3_t& centre = box_.centre();
    const float at[3] = {centre.x, centre.y, centre.z};
    api::gfx_translate(at);
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    api::gfx_sprite(shader_->object, origin, sprite_size_, drawn_flakes_, flakes_.data(), 0.2f, 0.2f, 0, -1.0f);
    api::gfx_pop();
}
