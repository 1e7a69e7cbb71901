#include "world/sky_dome.h"

namespace {

// One side of the -x wall from its top and bottom heights, turned a quarter `turns` times about y.
std::array<vec3_t, sky_dome_t::wall_points> wall(int turns, float bottom, float top)
{
    std::array<vec3_t, sky_dome_t::wall_points> points = {vec3_t(-352, top, 0),       vec3_t(-256, top, -256),
                                                          vec3_t(-256, bottom, -256), vec3_t(-352, bottom, 0),
                                                          vec3_t(-256, bottom, 256),  vec3_t(-256, top, 256)};
    for (vec3_t& p : points)
        for (int t = 0; t < turns; ++t)
            p = vec3_t(-p.z, p.y, p.x);
    return points;
}

}  // namespace

const float sky_dome_t::wall_uv[16] = {0.5f, 0, 1, 0, 1, 1, 0.5f, 1, 0, 1, 0, 0, 0, 0, 0, 0};
const float sky_dome_t::cloud_uv[20] = {0.5f, 0.5f, 0,      0.5f,   0.125f, 0.875f, 0.5f,   1,      0.875f, 0.875f,
                                        1,    0.5f, 0.875f, 0.125f, 0.5f,   0,      0.125f, 0.125f, 0,      0.5f};

sky_dome_t::sky_dome_t()
{
    cap = {vec3_t(-352, 300, 0), vec3_t(-256, 300, 256), vec3_t(0, 300, 352),  vec3_t(256, 300, 256),
           vec3_t(352, 300, 0),  vec3_t(256, 300, -256), vec3_t(0, 300, -352), vec3_t(-256, 300, -256)};
    clouds[0] = vec3_t(0, 64, 0);
    for (int i = 0; i < cap_points; ++i)
        clouds[static_cast<size_t>(i) + 1] = vec3_t(cap[static_cast<size_t>(i)].x, 64, cap[static_cast<size_t>(i)].z);
    clouds[9] = clouds[1];
    set_drop(0.0f);
}

void sky_dome_t::set_drop(float drop)
{
    for (int side = 0; side < 4; ++side) {
        walls[static_cast<size_t>(side)] = wall(side, -70.0f - drop, 60.0f - drop);
        walls[static_cast<size_t>(side) + 4] = wall(side, 60.0f - drop, 300.0f);
    }
}

void sky_dome_t::colour(uint32_t colour, uint32_t low_alpha, uint32_t high_alpha)
{
    for (auto& points : wall_colours)
        points.fill(colour);
    cap_colours.fill(colour);
    const uint32_t rgb = colour & 0x00FFFFFFu;
    low_clouds.fill(rgb);
    high_clouds.fill(rgb);
    low_clouds[0] = rgb | (low_alpha & 0xFFu) << 24;
    high_clouds[0] = rgb | (high_alpha & 0x7Fu) << 24;
}
