#include "vehicles/traffic/traffic_motor_sounds.h"

#include <algorithm>
#include <cmath>

#include "common/engine_api.h"
#include "engine/check.h"
#include "engine/snd.h"
#include "physics/phys_body.h"
#include "vehicles/traffic/traffic.h"

namespace {

// Sound flags (positional, looped, kept) and tag of the motor channels, and their distances.
constexpr uint32_t motor_channel_flags = 21;
constexpr int motor_channel_tag = 10;
constexpr float motor_near = 5000.0f;
constexpr float motor_far = 10000.0f;
// The channels of each sound class: [first, last].
struct channel_range_t {
    int first;
    int last;
};
constexpr channel_range_t class_channels[] = {{3, 8}, {1, 2}, {0, 0}};
// Pitch per centimetre a car came nearer since the frame before, its bounds, and the change that
// is worth telling the sound.
constexpr float pitch_per_centimetre = 20.0f * 0.001f;
constexpr float lowest_pitch = 0.5f;
constexpr float highest_pitch = 2.0f;
constexpr float pitch_step = 0.01f;
// A car from this draw level on is near enough to be heard.
constexpr int32_t heard_draw_level = 2;

const char* channel_path(const int channel)
{
    if (channel == 0)
        return "/sounds/ai/ai_carmotor3.ogg";
    return channel <= 2 ? "/sounds/ai/ai_carmotor2.ogg" : "/sounds/ai/ai_carmotor1.ogg";
}

}  // namespace

void traffic_motor_sounds_t::load()
{
    for (int i = 0; i < channel_count; ++i) {
        channel_t& channel = channels_[static_cast<size_t>(i)];
        channel.car = -1;
        if (channel.sound)
            continue;
        channel.sound = api::snd_new(channel_path(i), motor_channel_flags, motor_channel_tag);
        if (channel.sound)
            api::snd_distances(channel.sound, motor_near, motor_far);
    }
}

void traffic_motor_sounds_t::free()
{
    for (channel_t& channel : channels_) {
        if (channel.sound)
            api::snd_delete(channel.sound);
        channel = channel_t{};
    }
    for (traffic_car_t& c : traffic_.cars)
        c.motor_channel = -1;
}

void traffic_motor_sounds_t::start(const int32_t car)
{
    traffic_car_t& c = traffic_.cars[static_cast<size_t>(car)];
    const ai_car_def_t* const def = traffic_.catalogue().find(c.model);
    if (!def)
        return;
    const uint8_t sound_class = def->sound_class;
    if (sound_class >= std::size(class_channels))
        return;
    const channel_range_t range = class_channels[sound_class];
    for (int i = range.first; i <= range.last; ++i) {
        kv_assert(is_channel(i));
        channel_t& channel = channels_[static_cast<size_t>(i)];
        if (channel.car != -1)
            continue;
        channel.car = car;
        c.motor_channel = i;
        if (channel.sound)
            api::snd_play(channel.sound);
        return;
    }
}

void traffic_motor_sounds_t::stop(const int32_t car)
{
    traffic_car_t& c = traffic_.cars[static_cast<size_t>(car)];
    if (!is_channel(c.motor_channel))
        return;
    channel_t& channel = channels_[static_cast<size_t>(c.motor_channel)];
    if (channel.sound)
        api::snd_stop(channel.sound);
    channel.car = -1;
    c.motor_channel = -1;
}

void traffic_motor_sounds_t::update(const int32_t car)
{
    traffic_car_t& c = traffic_.cars[static_cast<size_t>(car)];
    if (!is_channel(c.motor_channel))
        return;
    kv_assert(channels_[static_cast<size_t>(c.motor_channel)].car == car);
    snd_sound_t* const sound = channels_[static_cast<size_t>(c.motor_channel)].sound;
    const vec3_t at = traffic_.car_point(car);
    if (sound)
        api::snd_position(sound, &at.x);
    const float nearer = std::sqrt(c.previous_viewer_distance) - std::sqrt(c.viewer_distance);
    const float pitch = std::clamp(1.0f + nearer * pitch_per_centimetre, lowest_pitch, highest_pitch);
    if (std::fabs(c.motor_pitch / pitch - 1.0f) < pitch_step)
        return;
    c.motor_pitch = pitch;
    if (sound)
        api::snd_rate(sound, pitch);
}

void traffic_motor_sounds_t::step(const int32_t car)
{
    const traffic_car_t& c = traffic_.cars[static_cast<size_t>(car)];
    if (c.motor_channel != -1)
        update(car);
    if (c.draw_level < heard_draw_level || c.has(traffic_car_t::status_knocked)) {
        if (c.motor_channel != -1)
            stop(car);
    } else if (c.motor_channel == -1) {
        start(car);
    }
}
