#include "world/weather_box.h"

#include <cmath>
#include <cstring>

#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"

namespace {

float inverse_of(float value) { return value > 0.0f && std::isfinite(value) ? 1.0f / value : 0.0f; }

}  // namespace

void weather_box_t::set_range(const vec3_t& range)
{
    range_ = range;
    inverse_ = vec3_t(inverse_of(range.x), inverse_of(range.y), inverse_of(range.z));
}

void weather_box_t::take_camera()
{
    if (const float* camera = api::gfx_camera_inverse()) {
        std::memcpy(camera_.m, camera, sizeof camera_.m);
        have_camera_ = true;
    }
}

vec3_t weather_box_t::move_to(const vec3_t& centre)
{
    centre_ = centre;
    if (first_move_) {
        previous_centre_ = centre_;
        first_move_ = false;
    }
    const vec3_t offset = previous_centre_ - centre_;
    previous_centre_ = centre_;
    return offset;
}

vec3_t weather_box_t::centre_for(const mat4_t& camera, const vec3_t& range)
{
    const vec3_t eye = mult_point_matrix_fast(camera, vec3_t(0.0f, 0.0f, 0.0f));
    const vec3_t ahead = mult_point_matrix_fast(camera, vec3_t(0.0f, 0.0f, -1.0f));
    const vec3_t forward = ahead - eye;
    return vec3_t(ahead.x + forward.x * range.x, ahead.y + forward.y * range.y, ahead.z + forward.z * range.z);
}

bool weather_box_t::inside(const dry_box_t& box, const vec3_t& point)
{
    return point.x >= box.minimum.x && point.x <= box.maximum.x && point.y >= box.minimum.y &&
           point.y <= box.maximum.y && point.z >= box.minimum.z && point.z <= box.maximum.z;
}

bool weather_box_t::dry_area(const vec3_t& centre, dry_box_t& out)
{
    const game_bridge_t* bridge = get_game_bridge();
    if (!bridge)
        return false;
    bool found = false;
    {
        const held_part_t<environment_ctrl_t> ctrl(bridge->base_ctrl());
        found = ctrl.get() && ctrl.get()->nearest_dry_box(centre, out);
    }
    if (found) {
        const held_part_t<environment_truck_t> truck(bridge->avatar());
        if (truck.get())
            truck.get()->set_rain_shelter(inside(out, centre));
    }
    return found;
}
