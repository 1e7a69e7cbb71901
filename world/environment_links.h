#pragma once
#include <cstdint>

#include "engine/vec.h"

// What the environment and the weather effects ask of the world's other parts, and what those parts
// ask of the environment. The game controller, the vehicles and the player's truck are built above
// the scenery; each side reaches the other through the bridge with held_part_t, so an empty slot (or
// an entity without the interface) means there is nothing to ask or tell.

// The environment, as the game controller's start position and sky zones set it.
class ctrl_environment_t {
public:
    virtual ~ctrl_environment_t() = default;
    // Number of skies the environment can show.
    virtual int32_t sky_count() const = 0;
    // Shows sky `index` (0 to sky_count - 1).
    virtual void set_sky(int32_t index) = 0;
    // The sky shown now.
    virtual int32_t sky_index() const = 0;
    // Blends the sky shown towards the next (0 none, 1 all) and rebuilds its layers.
    virtual void set_sky_blend(float blend) = 0;
};

// The environment's weather state, set from the road surface class under the wheels.
class vehicle_weather_t {
public:
    virtual ~vehicle_weather_t() = default;
    virtual void set_weather_state(int32_t surface_class) = 0;
};

// A box of the map where no rain or snow falls (bounds inclusive).
struct dry_box_t {
    vec3_t position;
    vec3_t minimum;
    vec3_t maximum;
};

// The game controller, as the environment and the rain and snow read it.
class environment_ctrl_t {
public:
    virtual ~environment_ctrl_t() = default;
    // The game clock in seconds of the week.
    virtual float game_time() const = 0;
    virtual void set_game_time(float seconds) = 0;
    // The dry box whose position is nearest `point` (squared distance below 1e13); false when none.
    virtual bool nearest_dry_box(const vec3_t& point, dry_box_t& out) = 0;
    // The time of day's light for the roads and their models: the direction towards the sun and the
    // diffuse and ambient colours (0..1).
    virtual void set_road_lighting(const vec3_t& direction, const vec3_t& diffuse, const vec3_t& ambient) = 0;
};

// The player's truck, as the weather tells it about rain and shelter.
class environment_truck_t {
public:
    virtual ~environment_truck_t() = default;
    // Rain on the windshields (0..1), or snow as a negative level.
    virtual void set_windshield_rain(float level) = 0;
    // Whether the camera is under a dry box.
    virtual void set_rain_shelter(bool sheltered) = 0;
};
