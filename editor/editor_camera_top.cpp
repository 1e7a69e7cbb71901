#include "editor/editor_camera_top.h"

#include <algorithm>
#include <cmath>

#include "engine/gfx_view.h"
#include "engine/ui.h"
#include "common/engine_api.h"
#include "common/view_params.h"
#include "editor/edit_ctrl.h"
#include "editor/editor_keys.h"

namespace {

constexpr int top_camera_levels[] = {0, 10};

}  // namespace

const level_list_t editor_camera_top_e::top_camera_init_list(&object_e::object_init_list, top_camera_levels);

editor_camera_top_e::editor_camera_top_e() { kind = edit_view_top; }

float editor_camera_top_e::height_of_zoom(const float value)
{
    return std::max(value * editor_top_height_span + editor_top_height_at_zero, editor_top_min_height);
}

int editor_camera_top_e::init(const int phase)
{
    const int base = object_e::init(phase);
    if (base != 0)
        return base;
    if (phase == 0) {
        bind_editor_keys();
        zoom = 0.1f;
        position = vec3_t(0.0f, 25000.0f, 0.0f);
        orientation = vec3_t(-90.0f, 0.0f, 0.0f);
        height_readout = static_cast<int32_t>(position.y);
        set_position(position);
    } else if (phase == 10) {
        edit_ctrl_e* const ctrl = controller();
        if (ctrl)
            ctrl->register_camera(*this);
    }
    return 0;
}

void editor_camera_top_e::set_position(const vec3_t& point)
{
    position.x = point.x;
    position.z = point.z;
    position.y = height_of_zoom(zoom);
    view_changed = true;
    height_readout = static_cast<int32_t>(position.y);
    gfx_view_t view;
    if (!get_view_params(&view))
        return;
    if (view.far_plane <= position.y + 2000.0f)
        view.far_plane = position.y + 4000.0f;
    else if (position.y < 6000.0f)
        view.far_plane = 8000.0f;
    set_view_params(&view);
}

void editor_camera_top_e::handler()
{
    object_e::handler();
    if (action_timer > 0.0f)
        action_timer -= frame_time();
    if (takes_input())
        input_step();
}

void editor_camera_top_e::input_step()
{
    const float dt = frame_time();
    const float before = zoom;
    if (api::inp_impulse_value(editor_impulse_down, 1) != 0.0f)
        zoom = std::max(zoom - dt * editor_top_zoom_rate, 0.0f);
    else if (api::inp_impulse_value(editor_impulse_up, 1) != 0.0f)
        zoom = std::min(zoom + dt * editor_top_zoom_rate, 1.0f);
    else if (api::inp_impulse_value(editor_impulse_zoom_in_step, 0) != 0.0f)
        zoom = std::max(zoom - 0.002f, 0.0f);
    else if (api::inp_impulse_value(editor_impulse_zoom_out_step, 0) != 0.0f)
        zoom = std::min(zoom + 0.002f, 1.0f);
    do_actions(1);
    if (zoom != before)
        set_position(position);
}

void editor_camera_top_e::ground_point(const float screen_dx, const float screen_dy, vec3_t& in_out_point,
                                       const bool no_snap)
{
    const mat4_t projection = view_projection();
    const float unit = static_cast<float>(grid_unit);
    const vec3_t centre(position.x, in_out_point.y, position.z);
    const vec3_t on_centre = mult_point_matrix(projection, centre);
    const vec3_t along_x = mult_point_matrix(projection, centre + vec3_t(unit, 0.0f, 0.0f));
    const vec3_t along_z = mult_point_matrix(projection, centre + vec3_t(0.0f, 0.0f, unit));
    const float per_unit_x = along_x.x - on_centre.x;
    const float per_unit_z = along_z.y - on_centre.y;
    float x = position.x;
    float z = position.z;
    if (per_unit_x != 0.0f)
        x += screen_dx / per_unit_x * unit;
    if (per_unit_z != 0.0f)
        z += screen_dy / per_unit_z * unit;
    if (!no_snap) {
        x = std::floor(x * inverse_grid_unit + 0.5f) * unit;
        z = std::floor(z * inverse_grid_unit + 0.5f) * unit;
    }
    in_out_point.x = x;
    in_out_point.z = z;
}
