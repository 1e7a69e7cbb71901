#include <cmath>
#include <cstring>

#include "common/engine_api.h"
#include "world/environment.h"

namespace {

// The magic that opens the section, with its terminating zero byte.
constexpr char section_magic[] = "3nv1r0nm3nth34d3r";
constexpr int magic_size = sizeof section_magic;
static_assert(magic_size == 18);

// A little-endian writer and reader over a fixed buffer.
void put_u32(uint8_t*& at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        *at++ = static_cast<uint8_t>(value >> (8 * i));
}
void put_f32(uint8_t*& at, float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    put_u32(at, bits);
}
uint32_t get_u32(const uint8_t*& at)
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(*at++) << (8 * i);
    return value;
}
float get_f32(const uint8_t*& at)
{
    const uint32_t bits = get_u32(at);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

// A stored level or probability: kept within 0..1, and 0 when it is not a number.
float unit_value(float value) { return std::isfinite(value) ? std::fmin(std::fmax(value, 0.0f), 1.0f) : 0.0f; }

}  // namespace

int32_t environment_e::save(int file)
{
    uint8_t buffer[weather_t::section_size];
    uint8_t* at = buffer;
    std::memcpy(at, section_magic, magic_size);
    at += magic_size;
    put_f32(at, weather_.cloudiness);
    put_f32(at, weather_.cloud_drift);
    put_f32(at, weather_.p_rain);
    put_f32(at, weather_.p_snow);
    put_f32(at, weather_.p_storm);
    *at++ = weather_.rain_fading;
    *at++ = weather_.snow_fading;
    put_f32(at, weather_.snow_fade_level);
    put_f32(at, weather_.rain_fade_level);
    put_f32(at, weather_.snow_level);
    put_f32(at, weather_.rain_level);
    *at++ = weather_.rain_on;
    *at++ = weather_.snow_on;
    *at++ = weather_.storm_on;
    put_u32(at, static_cast<uint32_t>(sky_index_));
    const long written = api::vfs_write(file, buffer, sizeof buffer);
    return written == static_cast<long>(sizeof buffer) ? static_cast<int32_t>(written) : -1;
}

int32_t environment_e::check(const int file, const int32_t version) { return check_section(file, version); }

int32_t environment_e::check_section(int file, int32_t version)
{
    uint8_t buffer[weather_t::section_size];
    if (api::vfs_read(file, buffer, magic_size) != magic_size || std::memcmp(buffer, section_magic, magic_size) != 0)
        return -1;
    const long rest = (version == 14 ? weather_t::section_size : weather_t::section_size_v13) - magic_size;
    return api::vfs_read(file, buffer + magic_size, rest) == rest ? static_cast<int32_t>(magic_size + rest) : -1;
}

int32_t environment_e::load(int file, int32_t version)
{
    uint8_t buffer[weather_t::section_size];
    if (api::vfs_read(file, buffer, magic_size) != magic_size || std::memcmp(buffer, section_magic, magic_size) != 0)
        return -1;
    const long rest = (version == 14 ? weather_t::section_size : weather_t::section_size_v13) - magic_size;
    // A short section changes nothing.
    if (api::vfs_read(file, buffer + magic_size, rest) != rest) {
        api::error("environment: the save section ends early");
        return -1;
    }
    const uint8_t* at = buffer + magic_size;
    weather_.cloudiness = unit_value(get_f32(at));
    const float drift = get_f32(at);
    weather_.cloud_drift = std::isfinite(drift) ? std::fmin(std::fmax(drift, -0.05f), 0.05f) : 0.0f;
    weather_.p_rain = unit_value(get_f32(at));
    weather_.p_snow = unit_value(get_f32(at));
    weather_.p_storm = unit_value(get_f32(at));
    weather_.rain_fading = *at++ ? 1 : 0;
    weather_.snow_fading = *at++ ? 1 : 0;
    weather_.snow_fade_level = unit_value(get_f32(at));
    weather_.rain_fade_level = unit_value(get_f32(at));
    weather_.snow_level = unit_value(get_f32(at));
    weather_.rain_level = unit_value(get_f32(at));
    weather_.rain_on = *at++ ? 1 : 0;
    weather_.snow_on = *at++ ? 1 : 0;
    weather_.storm_on = *at++ ? 1 : 0;
    if (version == 14) {
        const int32_t sky = static_cast<int32_t>(get_u32(at));
        // A sky the environment does not hold is not shown.
        if (sky >= -1 && sky < sky_count_)
            sky_index_ = sky;
        else
            api::warning("environment: the save names sky %d, of %d", sky, sky_count_);
    }
    return static_cast<int32_t>(magic_size + rest);
}
