#include "editor/editor_camera_free.h"

#include "engine/matrix.h"
#include "common/engine_api.h"
#include "editor/edit_ctrl.h"
#include "editor/editor_keys.h"

namespace {

constexpr int free_camera_levels[] = {0, 10};
// Centimetres per second the free camera flies.
constexpr float free_camera_speed = 6000.0f;
// Seconds between two steps of the height target, and the step.
constexpr float height_step_delay = 0.05f;
constexpr int32_t height_step = 10;

}  // namespace

const level_list_t editor_camera_free_e::free_camera_init_list(&object_e::object_init_list, free_camera_levels);

editor_camera_free_e::editor_camera_free_e() { kind = edit_view_free; }

int editor_camera_free_e::init(const int phase)
{
    const int base = object_e::init(phase);
    if (base != 0)
        return base;
    if (phase == 0) {
        bind_editor_key(editor_impulse_switch_camera, "edit_6", "c");
        position = vec3_t{};
        orientation = vec3_t(-60.0f, 0.0f, 0.0f);
    } else if (phase == 10) {
        edit_ctrl_e* const ctrl = controller();
        if (ctrl)
            ctrl->register_camera(*this);
    }
    return 0;
}

void editor_camera_free_e::handler()
{
    object_e::handler();
    if (takes_input())
        input_step();
    if (action_timer > 0.0f)
        action_timer -= frame_time();
}

void editor_camera_free_e::input_step()
{
    const float dt = frame_time();
    const auto value = [](const int32_t impulse) { return api::inp_impulse_value(impulse, 0); };
    orientation.x += value(112) - value(113);
    orientation.y += value(110) - value(111);
    const float speed = dt * free_camera_speed;
    const vec3_t move = vec3_t(value(103) - value(102), 0.0f, value(101) - value(100)) * speed;
    mat4_t turn;
    matrix_set_rotate(turn, orientation);
    position += mult_normal_matrix_fast(turn, move);
    view_changed = true;
    if (api::inp_impulse_value(editor_impulse_switch_camera, 1) != 0.0f)
        switch_view(edit_view_top);
    else
        switch_timer = 0.0f;
    // The height keys are the editor's own (context 1), as for the top camera's zoom.
    const bool up = api::inp_impulse_value(editor_impulse_up, 1) != 0.0f;
    const bool down = api::inp_impulse_value(editor_impulse_down, 1) != 0.0f;
    if ((up || down) && action_timer <= 0.0f) {
        action_timer = height_step_delay;
        edit_ctrl_e* const ctrl = controller();
        if (ctrl)
            ctrl->step_height(up ? height_step : -height_step);
    }
}
