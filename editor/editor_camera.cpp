#include "editor/editor_camera.h"

#include "engine/axial.h"
#include "engine/gfx_view.h"
#include "engine/entity_proc.h"
#include "engine/process.h"
#include "common/console_window.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/view_params.h"
#include "editor/edit_ctrl.h"

editor_camera_e::editor_camera_e()
{
    object_reals[0] = 32.0f;
    object_reals[1] = 2.0f;
    object_reals[2] = 3.0f;
}

void editor_camera_e::set_position(const vec3_t& point)
{
    position.x = point.x;
    position.z = point.z;
    view_changed = true;
}

void editor_camera_e::ground_point(float, float, vec3_t& in_out_point, bool) { in_out_point = vec3_t{}; }

mat4_t editor_camera_e::view_projection()
{
    gfx_view_t view;
    if (!get_view_params(&view))
        view = gfx_view_t{};
    gfx_params_t params{};
    if (api::gfx_get_params)
        api::gfx_get_params(&params);
    const float aspect = params.width > 0 && params.height > 0
                             ? static_cast<float>(params.width) / static_cast<float>(params.height)
                             : 4.0f / 3.0f;
    mat4_t projection;
    matrix_set_perspective(projection, view.fov > 0.0f ? view.fov : 70.0f, aspect,
                           view.near_plane > 0.0f ? view.near_plane : 64.0f,
                           view.far_plane > view.near_plane ? view.far_plane : view.near_plane + 20000.0f);
    mat4_t frame, world_to_camera;
    get_world_axial(frame, world_to_camera);
    view_changed = false;
    return projection * world_to_camera;
}

edit_ctrl_e* editor_camera_e::controller()
{
    const game_bridge_t* bridge = get_game_bridge();
    return bridge ? dynamic_cast<edit_ctrl_e*>(bridge->base_ctrl().resolve()) : nullptr;
}

float editor_camera_e::frame_time() const
{
    const vprocess_t* const owner = process();
    return owner ? static_cast<float>(owner->frame_seconds()) : 0.0f;
}

bool editor_camera_e::is_avatar() const
{
    const game_bridge_t* bridge = get_game_bridge();
    return bridge && bridge->avatar() == handle();
}

bool editor_camera_e::takes_input() const { return is_avatar() && !console_window_open(); }

void editor_camera_e::switch_view(const int32_t view)
{
    if (switch_timer > 0.0f) {
        switch_timer -= frame_time();
        return;
    }
    edit_ctrl_e* const ctrl = controller();
    if (ctrl) {
        ctrl->set_view_mode(view);
        editor_camera_e* const current = ctrl->current_camera();
        // The new camera takes the old one's place; the top camera then keeps its zoom's height.
        if (current && current != this) {
            current->position = position;
            current->set_position(position);
        }
        ctrl->pointer.view_drag = false;
    }
    switch_timer = editor_action_delay;
}
