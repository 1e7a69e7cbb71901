#include "world/env_rain.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/cache.h"
#include "engine/entity_proc.h"
#include "engine/geometry.h"
#include "engine/gfx_view.h"
#include "common/engine_api.h"
#include "common/world_view.h"
#include "world/decal_generic.h"

namespace {

constexpr evalue_def_t thunder_sounds_def =
    evalue_array("thunder_sounds", evalue_text, 64, evalue_bind<&env_rain_e::thunder_sounds>, nullptr, "");
constexpr evalue_def_t rain_sound_def =
    evalue_member("rain_sound", evalue_text, 64, evalue_bind<&env_rain_e::rain_sound>, nullptr, "");
constexpr evalue_def_t rain_volume_def =
    evalue_member("rain_volume", evalue_int, sizeof(int32_t), evalue_bind<&env_rain_e::rain_volume>, nullptr, "100");
constexpr evalue_def_t drop_size_def =
    evalue_member("drop_size", evalue_point, sizeof(vec3_t), evalue_bind<&env_rain_e::drop_size>, nullptr, "0.2 0.2 2");
constexpr evalue_def_t direction_def =
    evalue_member("direction", evalue_point, sizeof(vec3_t), evalue_bind<&env_rain_e::direction>, nullptr, "-90 0 0");
constexpr evalue_def_t falling_speed_def =
    evalue_member("falling_speed", evalue_real, sizeof(float), evalue_bind<&env_rain_e::falling_speed>, nullptr, "180");
constexpr evalue_def_t bounding_range_def = evalue_member(
    "bounding_range", evalue_point, sizeof(vec3_t), evalue_bind<&env_rain_e::bounding_range>, nullptr, "1000 500 2000");
constexpr evalue_def_t shader_name_def =
    evalue_member("shader_name", evalue_text, 64, evalue_bind<&env_rain_e::shader_name>, nullptr, "");
constexpr evalue_def_t item_count_def =
    evalue_member("item_count", evalue_int, sizeof(int32_t), evalue_bind<&env_rain_e::item_count>, nullptr, "1000");

const level_list_t rain_phases(&entity_t::init_list, {0});
const level_list_t rain_destroy_phases(&entity_t::destroy_list, {0});

}  // namespace

env_rain_e::~env_rain_e() { release(); }

const evalue_def_t* env_rain_e::get_evalue_root() const
{
    static std::array<evalue_def_t, 9> defs{item_count_def,    shader_name_def, bounding_range_def,
                                            falling_speed_def, direction_def,   drop_size_def,
                                            rain_volume_def,   rain_sound_def,  thunder_sounds_def};
    static const evalue_def_t* const root = decal_property_chain(defs, entity_t::get_evalue_root());
    return root;
}

const level_list_t* env_rain_e::get_init_list() const { return &rain_phases; }
const level_list_t* env_rain_e::get_destroy_list() const { return &rain_destroy_phases; }

int env_rain_e::init(int phase)
{
    const int base = entity_t::init(phase);
    if (base < 0 || phase != 0)
        return base;
    shader_ = api::mm_precache(shader_name);
    if (rain_sound[0]) {
        sound_ = api::snd_new(rain_sound, 4, 10);
        if (sound_)
            api::snd_volume(sound_, 0.0f);
    }
    const auto* names = static_cast<const char(*)[64]>(thunder_sounds.data);
    for (int i = 0; i < thunder_sounds.count; ++i)
        if (names[i][0])
            if (snd_sound_t* thunder = api::snd_new(names[i], 0, 10)) {
                api::snd_volume(thunder, 1.0f);
                thunder_.push_back(thunder);
            }
    fade_progress_ = 1.0f;
    volume_ = 0.0f;
    // A negative count makes no drops; more than one packet can draw are never shown.
    if (item_count < 0 || item_count > max_drops) {
        api::warning("env.rain: %d drops asked, %d kept", item_count, std::clamp(item_count, 0, max_drops));
        item_count = std::clamp(item_count, 0, max_drops);
    }
    box_.set_range(bounding_range);
    fall_ = ypr_2_cartes(direction);
    build_drops();
    if (sound_)
        api::snd_play(sound_);
    packet_.flags = 0x109;
    packet_.primitive = gfx_triangle_list;
    packet_.shader = shader_ ? shader_->object : nullptr;
    packet_.positions = positions_.empty() ? nullptr : &positions_[0].x;
    packet_.texcoords = texcoords_.empty() ? nullptr : texcoords_.data();
    set_intensity(0.0f);
    return base;
}

void env_rain_e::build_drops()
{
    const auto drops = static_cast<size_t>(item_count);
    positions_.assign(drops * 3, vec3_t());
    texcoords_.assign(drops * 6, 0.0f);
    hidden_.assign(drops, 0);
    mat4_t turn;
    matrix_set_rotate(turn, direction);
    const vec3_t& s = drop_size;
    for (size_t d = 0; d < drops; ++d) {
        const float r1 = api::sys_rand();
        const float r2 = api::sys_rand();
        const float r3 = api::sys_rand();
        const float r4 = api::sys_rand();
        const vec3_t v0((2 * r1 - 1) * bounding_range.x, (2 * r3 - 0.6f) * bounding_range.y,
                        (2 * r4 - 1) * bounding_range.z);
        vec3_t a(s.x, -s.y, s.z);
        vec3_t b(-s.x, s.y, s.z);
        if (r2 > 0.65f) {
            a = vec3_t(-s.x, s.y, s.z);
            b = vec3_t(s.x, -s.y, s.z);
        } else if (r2 > 0.35f) {
            a = vec3_t(s.x, s.y, s.z);
            b = vec3_t(-s.x, -s.y, s.z);
        }
        positions_[d * 3] = v0;
        positions_[d * 3 + 1] = v0 + mult_point_matrix_fast(turn, a);
        positions_[d * 3 + 2] = v0 + mult_point_matrix_fast(turn, b);
    }
}

int env_rain_e::destroy(int phase)
{
    if (phase == 0)
        release();
    return entity_t::destroy(phase);
}

void env_rain_e::release()
{
    if (shader_)
        api::ci_dec_refs(shader_);
    shader_ = nullptr;
    if (sound_)
        api::snd_delete(sound_);
    sound_ = nullptr;
    for (snd_sound_t* thunder : thunder_)
        api::snd_delete(thunder);
    thunder_.clear();
    positions_.clear();
    texcoords_.clear();
    hidden_.clear();
}

bool env_rain_e::set_intensity(float level)
{
    bool started = false;
    intensity_ = level;
    fade_progress_ = 0.0f;
    if (level > 0.01f) {
        if (!active_) {
            active_ = started = true;
            box_.restart();
            volume_ = 0.0f;
            const float r = api::sys_rand();
            const float r2 = api::sys_rand();
            fall_ = vec3_t(r * 0.2f - 0.1f, -1.0f, r2 * 0.2f - 0.1f);
            fall_.normalize();
            if (sound_) {
                api::snd_volume(sound_, 0.0f);
                api::snd_play(sound_);
            }
        }
    } else {
        active_ = false;
        intensity_ = 0.0f;
    }
    const float f = std::clamp(2.0f * intensity_, 0.0f, 1.0f);
    volume_start_ = volume_;
    volume_target_ = static_cast<float>(std::clamp(rain_volume, 0, 100)) * f * 0.01f;
    const float wanted = static_cast<float>(item_count) * intensity_;
    drawn_vertices_ = 3 * static_cast<int32_t>(std::clamp(wanted, 0.0f, static_cast<float>(max_drops)));
    packet_.vertex_count = std::clamp(drawn_vertices_, 0, max_vertices);
    return started;
}

void env_rain_e::handler()
{
    entity_t::handler();
    if (!box_.has_camera())
        return;
    const float dt = process() ? static_cast<float>(process()->frame_seconds()) : 0.0f;
    update(dt, box_.camera_centre());
    fade_sound(dt);
}

void env_rain_e::fade_sound(float dt)
{
    if (!sound_ || fade_progress_ >= 1.0f)
        return;
    fade_progress_ = std::min(fade_progress_ + dt, 1.0f);
    volume_ = volume_target_ * fade_progress_ + (1.0f - fade_progress_) * volume_start_;
    if (volume_ == 0.0f) {
        if (api::snd_playing(sound_))
            api::snd_stop(sound_);
    } else {
        api::snd_volume(sound_, volume_);
    }
}

void env_rain_e::move_drop(int32_t drop, const vec3_t& offset)
{
    for (int k = 0; k < 3; ++k)
        positions_[static_cast<size_t>(drop) * 3 + k] += offset;
}

void env_rain_e::update(float dt, const vec3_t& centre)
{
    const vec3_t offset = box_.move_to(centre);
    dry_box_t dry;
    const bool has_dry = weather_box_t::dry_area(centre, dry);
    const vec3_t d = offset + fall_ * (falling_speed * dt);
    const float r = 0.9f + 0.2f * api::sys_rand();
    const int32_t drops = drop_count();
    for (int32_t drop = 0; drop < drops; ++drop) {
        move_drop(drop, drop % 2 == 0 ? d * r : d);
        vec3_t first = vertex(drop, 0);
        if (hidden(drop))
            first.y += weather_hidden_drop;
        vec3_t shift;
        box_.wrap(first, shift);
        move_drop(drop, shift);
        if (!has_dry)
            continue;
        vec3_t world = vertex(drop, 1) + centre;
        if (hidden(drop))
            world.y += weather_hidden_drop;
        const bool dry_here = weather_box_t::inside(dry, world);
        if (dry_here && !hidden(drop)) {
            move_drop(drop, vec3_t(0.0f, -weather_hidden_drop, 0.0f));
            hidden_[static_cast<size_t>(drop)] = 1;
        } else if (!dry_here && hidden(drop)) {
            move_drop(drop, vec3_t(0.0f, weather_hidden_drop, 0.0f));
            hidden_[static_cast<size_t>(drop)] = 0;
        }
    }
}

void env_rain_e::draw()
{
    box_.take_camera();
    if (drawing_secondary_view() || !active_ || drawn_vertices_ == 0 || !packet_.positions)
        return;
    api::gfx_push();
    const vec3_t& centre = box_.centre();
    const float at[3] = {centre.x, centre.y, centre.z};
    api::gfx_translate(at);
    api::gfx_cache_data(&packet_);
    api::gfx_pop();
}
