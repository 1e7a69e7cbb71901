// The pools of light the street lights lay on the ground at night: the ground's triangles around the
// lamp's first light point, cut to a cube about it, drawn with the lamp's decal shader and faded with
// the distance.
#include <algorithm>

#include "engine/check.h"
#include "engine/gfx_render.h"
#include "common/engine_api.h"
#include "physics/cd_geo.h"
#include "physics/tri_query.h"
#include "road/polygon_clip.h"
#include "road/seg_server.h"

namespace {

// Half the side of the cube a pool is cut to, and the most vertices a pool keeps.
constexpr float pool_reach = 1024.0f;
constexpr size_t pool_max_vertices = 1024;
// A pool is drawn within 25000 units and fades from 15000 units (squared distances).
constexpr float pool_far = 6.25e8f;
constexpr float pool_fade = 2.25e8f;
constexpr float pool_fade_scale = 2.5e-9f;

}  // namespace

void seg_server_t::build_light_pool(light_instance_t& light, const vec3_t& centre)
{
    if (light.pool_built || !pool_ground)
        return;
    light.pool_built = true;
    light.pool.clear();
    light.pool_texcoords.clear();
    const vec3_t reach(pool_reach, pool_reach, pool_reach);
    const vec3_t origin = pool_ground->pose.position;
    cd_tri_query_t query;
    query.begin(pool_ground, centre - reach, centre + reach);
    cd_item_t item;
    for (item.request = cd_item_t::request_vertices; query.next(item); item.request = cd_item_t::request_vertices) {
        if (item.kind != cd_item_t::kind_triangle || item.vertex_count != 3)
            continue;
        std::vector<vec3_t> polygon = {*item.vertex[0] + origin, *item.vertex[1] + origin, *item.vertex[2] + origin};
        for (int axis = 0; axis < 3 && !polygon.empty(); ++axis) {
            polygon = clip_polygon_axis(polygon, axis, centre[axis] - pool_reach, false);
            polygon = clip_polygon_axis(polygon, axis, centre[axis] + pool_reach, true);
        }
        // The polygon goes in as a fan of triangles, whole or not at all.
        const size_t added = polygon.size() >= 3 ? 3 * (polygon.size() - 2) : 0;
        if (added == 0 || light.pool.size() + added > pool_max_vertices)
            continue;
        for (size_t i = 1; i + 1 < polygon.size(); ++i)
            for (const vec3_t& corner : {polygon[0], polygon[i], polygon[i + 1]}) {
                light.pool.push_back(corner);
                // The decal spans the cube: its middle under the light.
                light.pool_texcoords.push_back((corner.x - centre.x) / (2.0f * pool_reach) + 0.5f);
                light.pool_texcoords.push_back((corner.z - centre.z) / (2.0f * pool_reach) + 0.5f);
            }
    }
    kv_assert(light.pool.size() <= pool_max_vertices && light.pool_texcoords.size() == 2 * light.pool.size());
    query.clear();
}

void seg_server_t::draw_light_pool(const light_instance_t& light, const gfx_shader_t* shader, const float distance_sq)
{
    if (light.pool.empty() || distance_sq > pool_far)
        return;
    const float brightness = distance_sq > pool_fade ? (pool_far - distance_sq) * pool_fade_scale : 1.0f;
    const auto grey = static_cast<uint32_t>(std::clamp(brightness, 0.0f, 1.0f) * 255.0f);
    std::vector<uint32_t> colours(light.pool.size(), 0xFF000000u + grey * 0x010101u);
    gfx_data_t data;
    data.flags = gfx_data_positions | gfx_data_texcoords | gfx_data_colours | gfx_data_world;
    data.primitive = gfx_triangle_list;
    data.shader = shader;
    data.vertex_count = static_cast<int32_t>(light.pool.size());
    data.positions = &light.pool[0].x;
    data.texcoords = light.pool_texcoords.data();
    data.colours = colours.data();
    api::gfx_cache_data(&data);
}
