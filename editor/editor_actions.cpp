#include "common/engine_api.h"
#include "editor/edit_ctrl.h"
#include "editor/editor_camera_top.h"
#include "editor/editor_keys.h"
#include "editor/ui_handler_editor_help.h"

namespace {

// Impulses that choose a mode or a sub-mode, and the one they choose.
struct mode_key_t {
    int32_t impulse;
    int32_t value;
};
constexpr mode_key_t mode_keys[] = {
    {50, edit_mode_new_item},        {51, edit_mode_move}, {52, edit_mode_delete},      {53, edit_mode_item_properties},
    {54, edit_mode_node_properties}, {57, edit_mode_none}, {59, edit_mode_place_start}, {61, edit_mode_height},
    {65, edit_mode_import},
};
constexpr mode_key_t sub_mode_keys[] = {
    {67, edit_sub_road},   {68, edit_sub_city_road}, {69, edit_sub_fork},     {70, edit_sub_cross},
    {71, edit_sub_prefab}, {72, edit_sub_free_item}, {73, edit_sub_aux_item}, {74, edit_sub_misc_item},
};

}  // namespace

void editor_camera_top_e::do_actions(const int flag)
{
    edit_ctrl_e* const ctrl = controller();
    if (!ctrl)
        return;
    // A guarded action runs at most once per editor_action_delay.
    const auto guarded = [this] {
        if (action_timer > 0.0f)
            return false;
        action_timer = editor_action_delay;
        return true;
    };
    const auto held = [flag](const int32_t impulse) { return api::inp_impulse_value(impulse, flag) != 0.0f; };
    for (const mode_key_t& key : mode_keys)
        if (held(key.impulse) && ctrl->mode != key.value)
            ctrl->set_mode(key.value);
    if (held(editor_impulse_switch_camera))
        switch_view(edit_view_free);
    else
        switch_timer = 0.0f;
    if (held(editor_impulse_find_edge) && guarded())
        ctrl->find_edge();
    // The defaults dialog is modal: one press opens it once.
    if (held(editor_impulse_edge_defaults) && guarded())
        ctrl->edit_properties();
    if (held(editor_impulse_help))
        editor_show_help();
    if (held(editor_impulse_next_look) && guarded())
        ctrl->cycle_look_down();
    if (held(editor_impulse_previous_look) && guarded())
        ctrl->cycle_look_up();
    if (held(64) && guarded())
        ctrl->set_mode(ctrl->mode == edit_mode_rotate_x   ? edit_mode_rotate_y
                       : ctrl->mode == edit_mode_rotate_y ? edit_mode_rotate_z
                                                          : edit_mode_rotate_x);
    // Brush opens the stamp selection every time, also in brush mode.
    if (held(66) && guarded())
        ctrl->set_mode(edit_mode_brush);
    for (const mode_key_t& key : sub_mode_keys)
        if (held(key.impulse) && ctrl->sub_mode != key.value)
            ctrl->set_sub_mode(key.value);
    if (held(75) && guarded()) {
        ctrl->background_visible = !ctrl->background_visible;
        ctrl->load_background_map();
    }
    if (api::inp_impulse_value(editor_impulse_bug_list, 0) != 0.0f && guarded())
        ctrl->read_bug_list();
}
