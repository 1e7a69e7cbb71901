#include "engine/cache.h"
#include "engine/gfx_render.h"
#include "engine/gfx_view.h"
#include "common/engine_api.h"
#include "world/environment.h"

namespace {

// The object behind a shader handle, or null.
const void* shader_of(const c_item_t* item) { return item ? item->object : nullptr; }

// Queues one fan of the sky.
void queue_fan(const vec3_t* points, const uint32_t* colours, int count, const float* uv, const void* shader)
{
    gfx_data_t fan;
    fan.flags = 0x10D;
    fan.primitive = gfx_triangle_fan;
    fan.shader = shader;
    fan.vertex_count = count;
    fan.positions = &points[0].x;
    fan.colours = colours;
    fan.texcoords = uv;
    api::gfx_cache_data(&fan);
}

}  // namespace

void environment_e::draw()
{
    api::gfx_push_identity();
    gfx_camera_t camera{};
    api::gfx_get_camera(&camera);
    api::gfx_translate(camera.position);
    draw_sky();
    api::gfx_pop();
}

void environment_e::draw_sky()
{
    if (sky_index_ < 0 || sky_index_ >= sky_count_)
        return;
    const void* horizon = shader_of(horizon_shaders_[sky_index_]);
    for (int wall = 0; wall < 8; ++wall)
        queue_fan(dome_.walls[static_cast<size_t>(wall)].data(), dome_.wall_colours[static_cast<size_t>(wall)].data(),
                  sky_dome_t::wall_points, sky_dome_t::wall_uv, wall < 4 ? horizon : shader_of(up_shader_));
    queue_fan(dome_.cap.data(), dome_.cap_colours.data(), sky_dome_t::cap_points, sky_dome_t::wall_uv,
              shader_of(up_shader_));
    if (sun_placed_ && sun_shader_) {
        api::gfx_sprite(sun_shader_->object, &sun_position_.x, 50.0f, 1, &sun_sprite_, sun_size_ * 0.2f,
                        sun_size_ * 0.2f, 0, -1.0f);
        api::gfx_path_flush();
    }
    const float cover = weather_.cloudiness;
    if (cover < 0.9f)
        queue_fan(dome_.clouds.data(), dome_.low_clouds.data(), sky_dome_t::cloud_points, sky_dome_t::cloud_uv,
                  shader_of(low_cloud_shader_));
    if (cover > 0.5f)
        queue_fan(dome_.clouds.data(), dome_.high_clouds.data(), sky_dome_t::cloud_points, sky_dome_t::cloud_uv,
                  shader_of(high_cloud_shader_));
    api::gfx_path_flush();
}
