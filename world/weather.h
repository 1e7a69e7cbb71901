#pragma once
#include <cstdint>

// Where the weather's changes go: the rain and snow effects and the player's windshields.
class weather_sink_t {
public:
    virtual ~weather_sink_t() = default;
    virtual void set_rain_active(bool active) = 0;
    virtual void set_snow_active(bool active) = 0;
    virtual void apply_rain_level(float level) = 0;
    virtual void apply_snow_level(float level) = 0;
    // Rain on the windshields (0..1), snow as a negative level.
    virtual void windshield(float level) = 0;
};

// A rain or snow effect as the weather drives it.
class weather_effect_t {
public:
    virtual ~weather_effect_t() = default;
    virtual void set_active(bool active) = 0;
    // Hands the effect its level (0..1); true when this just made it active.
    virtual bool set_intensity(float level) = 0;
};

// The weather of a world: every 120 s it rolls rain, snow and a storm from the probabilities of its
// state, lets the cloud cover drift, moves the rain and snow levels toward the cloud cover every 5 s
// and fades a shower out (0.001 a frame) after it ends.
class weather_t {
public:
    // Seconds between two rolls, and between two level steps.
    static constexpr float roll_period = 120.0f;
    static constexpr float level_period = 5.0f;
    // Bytes of the save section, and without the sky index (saves before version 14).
    static constexpr int32_t section_size = 63;
    static constexpr int32_t section_size_v13 = 59;

    weather_t() { set_state(3); }

    // The state from a road surface class (0..3); leaving state 1 rolls on the next frame.
    void set_state(int32_t state);
    // One frame of `dt` seconds.
    void update(float dt, weather_sink_t& sink);

    // 0 none or light (up to 0.1), 1 medium (up to 0.7), 2 heavy.
    int32_t rain_class() const { return level_class(rain_on, rain_fading, rain_level, rain_fade_level); }
    int32_t snow_class() const { return level_class(snow_on, snow_fading, snow_level, snow_fade_level); }

    // The low and high cloud layers' centre alpha.
    uint32_t low_cloud_alpha() const { return static_cast<uint32_t>((1.0f - cloudiness) * 255.0f); }
    uint32_t high_cloud_alpha() const { return static_cast<uint32_t>(cloudiness * 127.5f); }

    float cloudiness = 0.5f;
    float cloud_drift = 0.0f;
    float roll_timer = 1000.0f;
    float level_timer = 1000.0f;
    int32_t state = -1;
    float p_rain = 0.0f;
    float p_snow = 0.0f;
    float p_storm = 0.0f;
    uint8_t rain_on = 0;
    uint8_t snow_on = 0;
    uint8_t storm_on = 0;
    uint8_t rain_fading = 0;
    uint8_t snow_fading = 0;
    float rain_level = 0.0f;
    float snow_level = 0.0f;
    float rain_fade_level = 0.0f;
    float snow_fade_level = 0.0f;

private:
    static int32_t level_class(uint8_t on, uint8_t fading, float level, float fade_level);
    void roll(weather_sink_t& sink);
    void step_levels(float dt, weather_sink_t& sink);
    void tell_windshields(weather_sink_t& sink) const;
    void fade(weather_sink_t& sink);
};
