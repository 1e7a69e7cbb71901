#pragma once
#include <cstdint>
#include <vector>

#include "engine/vec.h"

class def_obj_t;
struct c_item_t;

// One glow of a vehicle's light: a sprite at a point of the light's model, shown while the vehicle's
// lights bits share a bit with its kind, bright while its direction faces the camera.
struct vehicle_flare_t {
    uint8_t kind = 0;
    vec3_t offset;
    vec3_t direction;  // zero: seen from everywhere
    float scale = 1.0f;
    c_item_t* shader = nullptr;  // one use per flare
};

// The lights bit a light entry's subtype names ("normal" 1, "brake" 2, "reverse" 4, "lblinker" 8,
// "rblinker" 16), 0 for none.
uint8_t vehicle_light_bit(const char* subtype);

// The flare shader `name` found in the first of `folders` (an accessory's own, then shared ones) that
// holds it; null with "Unable to load flare shader NAME" when none does.
c_item_t* load_vehicle_flare_shader(const char* const* folders, int count, const char* name);
// Reads a light accessory's flares ("flare_offset" points, "subtype", "flare_scale" and
// "flare_direction" points made unit) into `out`, one per offset, each holding a use of `shader` (the
// accessory's "flare_shader", loaded by the caller; null draws nothing). Takes the caller's use of
// `shader` for the first flare and gives it back when there is none.
void read_vehicle_flares(const def_obj_t& keys, c_item_t* shader, std::vector<vehicle_flare_t>& out);
// Gives back the flares' shader uses and empties the list.
void free_vehicle_flares(std::vector<vehicle_flare_t>& flares);
// How a vehicle's flares show: each at full brightness from everywhere (the player's truck and the
// trailers), or only where its direction faces the camera, greyer as it turns away (the traffic's trucks).
enum class flare_view_t { everywhere, facing_camera };
// Draws, at the current world matrix, the flares whose kind shares a bit with `bits`.
void draw_vehicle_flares(const std::vector<vehicle_flare_t>& flares, uint8_t bits, flare_view_t view);
