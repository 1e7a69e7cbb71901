#include "world/environment_colour.h"

#include <algorithm>

namespace {

uint32_t light_colour = 0xFFFFFFFFu;

// A channel 0..1 as a byte, truncated.
uint32_t channel(float value) { return static_cast<uint32_t>(std::clamp(value, 0.0f, 1.0f) * 255.0f); }

}  // namespace

uint32_t environment_light_colour() { return light_colour; }

void set_environment_light(const vec3_t& direction, const vec3_t& diffuse, const vec3_t& ambient)
{
    const float length = direction.length();
    const float up = length > 0.0f ? std::max(direction.y / length, 0.0f) : 0.0f;
    light_colour = 0xFF000000u | channel(ambient.x + diffuse.x * up) << 16 | channel(ambient.y + diffuse.y * up) << 8 |
                   channel(ambient.z + diffuse.z * up);
}

void reset_environment_light_colour() { light_colour = 0xFFFFFFFFu; }
