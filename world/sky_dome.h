#pragma once
#include <array>
#include <cstdint>

#include "engine/vec.h"

// The sky drawn round the camera: two rings of four bent walls (the lower ring shows the horizon, the
// upper the sky), a top cap and a fan of clouds, each vertex with its packed colour.
struct sky_dome_t {
    // Corners of one bent wall, and of the cap; points of the cloud fan.
    static constexpr int wall_points = 6;
    static constexpr int cap_points = 8;
    static constexpr int cloud_points = 10;

    sky_dome_t();

    // Lowers the lower ring and the foot of the upper ring by `drop` (the sky-layer blend).
    void set_drop(float drop);
    // Every wall and cap vertex takes `colour`; each cloud layer's rim takes its colour without alpha
    // and its centre its colour with the layer's alpha (the high layer's limited to 7 bits).
    void colour(uint32_t colour, uint32_t low_alpha, uint32_t high_alpha);

    // Walls 0..3 the lower ring (-x, -z, +x, +z), 4..7 the upper.
    std::array<std::array<vec3_t, wall_points>, 8> walls;
    std::array<std::array<uint32_t, wall_points>, 8> wall_colours{};
    std::array<vec3_t, cap_points> cap;
    std::array<uint32_t, cap_points> cap_colours{};
    std::array<vec3_t, cloud_points> clouds;
    std::array<uint32_t, cloud_points> low_clouds{};
    std::array<uint32_t, cloud_points> high_clouds{};
    // Texture coordinates of a wall (and of the cap) and of the cloud fan.
    static const float wall_uv[16];
    static const float cloud_uv[20];
};
