#include "world/weather.h"

#include <algorithm>

#include "common/engine_api.h"

namespace {

// The roll probabilities of each weather state.
struct weather_odds_t {
    float rain;
    float snow;
    float storm;
};
constexpr weather_odds_t odds_by_state[4] = {
    {0.05f, 0.0f, 0.1f},
    {0.0f, 0.5f, 0.7f},
    {0.15f, 0.0f, 0.5f},
    {0.15f, 0.0f, 0.5f},
};

// A level as the windshields take it: nothing unless above 0.
float positive_or_zero(float level) { return level > 0.0f ? level : 0.0f; }

}  // namespace

void weather_t::set_state(int32_t new_state)
{
    if (new_state < 0 || new_state > 3 || new_state == state)
        return;
    if (state == 1)
        roll_timer = roll_period + 1.0f;
    state = new_state;
    p_rain = odds_by_state[new_state].rain;
    p_snow = odds_by_state[new_state].snow;
    p_storm = odds_by_state[new_state].storm;
}

int32_t weather_t::level_class(uint8_t on, uint8_t fading, float level, float fade_level)
{
    if (!on && !fading)
        return 0;
    const float l = on ? level : fade_level;
    if (l > 0.7f)
        return 2;
    return l > 0.1f ? 1 : 0;
}

void weather_t::update(float dt, weather_sink_t& sink)
{
    roll_timer += dt;
    level_timer += dt;
    if (roll_timer > roll_period)
        roll(sink);
    cloudiness = std::clamp(cloudiness + cloud_drift * dt, 0.0f, 1.0f);
    if (level_timer > level_period)
        step_levels(dt, sink);
    tell_windshields(sink);
    fade(sink);
}

void weather_t::roll(weather_sink_t& sink)
{
    roll_timer = 0.0f;
    cloud_drift = api::sys_rand() <= 0.5f ? -0.05f : 0.05f;
    if (rain_on) {
        rain_fading = 1;
        rain_fade_level = rain_level;
    }
    if (snow_on) {
        snow_fading = 1;
        snow_fade_level = snow_level;
    }
    rain_on = snow_on = storm_on = 0;
    if (api::sys_rand() < p_rain) {
        rain_on = 1;
        rain_fading = 0;
        sink.set_rain_active(true);
    } else if (api::sys_rand() < p_snow) {
        snow_on = 1;
        snow_fading = 0;
        sink.set_snow_active(true);
    }
    if (api::sys_rand() < p_storm)
        storm_on = 1;
}

void weather_t::step_levels(float dt, weather_sink_t& sink)
{
    level_timer = 0.0f;
    if (rain_on) {
        if (rain_level > cloudiness)
            rain_level -= 0.05f;
        else if (rain_level < cloudiness)
            rain_level += 0.05f;
        rain_level = std::clamp(rain_level, 0.0f, 1.0f);
        sink.apply_rain_level(rain_level);
    }
    if (snow_on) {
        // The snow level moves by this frame's time, not by a fixed step.
        if (snow_level > cloudiness)
            snow_level -= dt;
        else if (snow_level < cloudiness)
            snow_level += dt;
        snow_level = std::clamp(snow_level, 0.0f, 1.0f);
        sink.apply_snow_level(snow_level);
    }
}

void weather_t::tell_windshields(weather_sink_t& sink) const
{
    if (rain_on)
        sink.windshield(positive_or_zero(rain_level));
    if (rain_fading)
        sink.windshield(positive_or_zero(rain_fade_level));
    if (snow_on)
        sink.windshield(-positive_or_zero(snow_level));
    if (snow_fading)
        sink.windshield(-positive_or_zero(snow_fade_level));
}

void weather_t::fade(weather_sink_t& sink)
{
    if (rain_fading) {
        rain_fade_level -= 0.001f;
        if (rain_fade_level < 0.0f) {
            rain_fading = 0;
            rain_fade_level = 0.0f;
            sink.set_rain_active(false);
            rain_level = 0.0f;
            sink.windshield(0.0f);
        }
        sink.apply_rain_level(rain_fade_level);
        sink.windshield(rain_fade_level);
    }
    if (snow_fading) {
        snow_fade_level -= 0.001f;
        if (snow_fade_level < 0.0f) {
            snow_fading = 0;
            snow_fade_level = 0.0f;
            sink.set_snow_active(false);
            snow_level = 0.0f;
            sink.windshield(0.0f);
        }
        sink.apply_snow_level(snow_fade_level);
        sink.windshield(-snow_fade_level);
    }
}
