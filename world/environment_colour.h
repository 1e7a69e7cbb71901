#pragma once
#include <cstdint>

#include "engine/vec.h"

// The time of day's light as one colour, module-wide: what the light gives a surface facing up
// (ambient + diffuse x the sun's height, each channel at most 1). Road packets drawn with a colour
// element read it for every vertex. 0xAARRGGBB (the renderer's order) with alpha 0xFF; white until the
// first light update.
uint32_t environment_light_colour();
// Computes and keeps the colour of a light: `direction` towards the sun, colours 0..1.
void set_environment_light(const vec3_t& direction, const vec3_t& diffuse, const vec3_t& ambient);
// Back to white (a world without an environment draws its roads unlit).
void reset_environment_light_colour();
