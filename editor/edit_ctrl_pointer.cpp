#include <cmath>
#include <cstdio>

#include "engine/input.h"
#include "common/engine_api.h"
#include "editor/edit_ctrl.h"
#include "editor/editor_camera.h"
#include "editor/ui_handler_editor_hud.h"

namespace {

// Pointer buttons: the main button and the one that drags the view.
constexpr uint32_t main_button = 1;
constexpr uint32_t drag_button = 4;
// Shift or Ctrl in the modifiers byte: a press in move mode splits the node.
constexpr uint8_t split_modifiers = 0x30;
// Height units per normalised pointer unit in height mode.
constexpr float height_per_unit = 1000.0f;
// Degrees a held free item turns per normalised pointer unit in the rotate modes.
constexpr float degrees_per_unit = 360.0f;

bool road_sub_mode(const int32_t sub_mode) { return sub_mode == edit_sub_city_road || sub_mode == edit_sub_road; }

}  // namespace

void edit_ctrl_e::on_button_down(const uint32_t button, const uint8_t modifiers)
{
    if (button & drag_button) {
        if (editor_camera_e* camera = current_camera()) {
            pointer.drag_x = pointer.last_x;
            pointer.drag_y = pointer.last_y;
            pointer.drag_camera = camera->get_position();
            pointer.view_drag = true;
        }
        return;
    }
    if (!(button & main_button))
        return;
    switch (mode) {
    case edit_mode_new_item:
        create_at_pointer();
        modified = true;
        break;
    case edit_mode_move:
        if (pointer.picked_type == edit_pick_free_item || pointer.picked_type == edit_pick_misc_point) {
            pointer.held = pointer.picked_item;
        } else if (pointer.picked_type == edit_pick_node || pointer.picked_type == edit_pick_aux_node) {
            pointer.held = pointer.picked_item;
            if (modifiers & split_modifiers) {
                if (pointer.picked_type == edit_pick_node)
                    split_node();
                else
                    split_aux_node();
                modified = true;
            }
        }
        break;
    case edit_mode_delete:
        if (pointer.picked_type == edit_pick_node) {
            const int32_t edge = edge_starting_at(pointer.picked_item);
            if (edge != -1)
                remove_edge(edge);
        } else if (pointer.picked_type == edit_pick_aux_node) {
            const int32_t edge = aux_edge_starting_at(pointer.picked_item);
            if (edge != -1)
                remove_aux_edge(edge);
        } else if (pointer.picked_type == edit_pick_free_item) {
            remove_free_item(pointer.picked_item);
        } else if (pointer.picked_type == edit_pick_misc_point) {
            remove_misc_item(pointer.picked_item);
        }
        build_item_tree();
        pointer.held = -1;
        pointer.picked_type = edit_pick_none;
        pointer.picked_item = pointer.picked_point = -1;
        modified = true;
        break;
    case edit_mode_place_start:
        start_position = pointer.ground;
        if (pointer.picked_type == edit_pick_node && nodes.valid(pointer.picked_item))
            start_position.y = nodes[pointer.picked_item].position.y;
        else if (pointer.picked_type == edit_pick_free_item && freeitems.valid(pointer.picked_item))
            start_position.y = freeitems[pointer.picked_item].position.y;
        pointer.held = 1;
        build_start_marker();
        modified = true;
        break;
    case edit_mode_item_properties:
        if (pointer.picked_type == edit_pick_node && edge_starting_at(pointer.picked_item) != -1)
            edge_properties(edge_starting_at(pointer.picked_item));
        else if (pointer.picked_type == edit_pick_aux_node && aux_edge_starting_at(pointer.picked_item) != -1)
            aux_edge_properties(aux_edge_starting_at(pointer.picked_item));
        else if (pointer.picked_type == edit_pick_sign)
            sign_properties(pointer.picked_item);
        else if (pointer.picked_type == edit_pick_free_item)
            free_item_properties(pointer.picked_item);
        else if (pointer.picked_type == edit_pick_misc_point)
            misc_item_properties(pointer.picked_item, pointer.picked_point);
        break;
    case edit_mode_node_properties:
        if (pointer.picked_type == edit_pick_node)
            node_properties(pointer.picked_item);
        else if (pointer.picked_type == edit_pick_aux_node)
            aux_node_properties(pointer.picked_item);
        break;
    case edit_mode_import:
        import_map(pointer.ground);
        modified = true;
        break;
    case edit_mode_brush:
        if (stamp_cell.found) {
            check_stamps((modifiers & split_modifiers) != 0);
            modified = true;
        }
        break;
    case edit_mode_height:
        if (pointer.picked_type != edit_pick_none && pointer.picked_type != edit_pick_sign) {
            pointer.held = pointer.picked_item;
            height_target = edit_height_target_t{pointer.picked_item, pointer.picked_type, pointer.picked_point};
        }
        break;
    case edit_mode_rotate_x:
    case edit_mode_rotate_y:
    case edit_mode_rotate_z:
        if (pointer.picked_type == edit_pick_free_item)
            pointer.held = pointer.picked_item;
        break;
    default:
        break;
    }
}

void edit_ctrl_e::create_at_pointer()
{
    if (road_sub_mode(sub_mode)) {
        const int32_t node = add_node(pointer.ground);
        if (node < 0)
            return;
        if (pointer.create_state == 0) {
            pointer.held = node;
            if (!can_begin_edge(node)) {
                pointer.held = -1;
                return;
            }
            pointer.create_state = 1;
            map_node_t& record = nodes[node];
            if (record.links[0] == -1 && record.link_kinds[0] < 2 && record.link_kinds[1] < 2)
                record.position.y = pointer.ground.y = static_cast<float>(node_height);
            return;
        }
        if (can_end_edge(node)) {
            map_node_t& record = nodes[node];
            if (record.links[1] == -1) {
                record.position.y = static_cast<float>(node_height);
                if (record.link_kinds[0] < 2 && record.link_kinds[1] < 2)
                    pointer.ground.y = record.position.y;
            }
            create_edge(pointer.held, node);
        }
        pointer.held = node;
        if (!can_begin_edge(node) || sub_mode == edit_sub_city_road) {
            pointer.create_state = 0;
            pointer.held = -1;
        }
        return;
    }
    if (sub_mode == edit_sub_aux_item) {
        const int32_t node = add_aux_node(pointer.ground);
        if (node < 0)
            return;
        if (pointer.create_state == 0) {
            if (!can_begin_aux_edge(node))
                return;
            aux_nodes[node].position.y = pointer.ground.y = static_cast<float>(aux_node_height);
            pointer.held = node;
            pointer.create_state = 1;
            return;
        }
        if (can_end_aux_edge(node)) {
            aux_nodes[node].position.y = static_cast<float>(aux_node_height);
            create_aux_edge(pointer.held, node);
        }
        pointer.held = node;
        if (!can_begin_aux_edge(node)) {
            pointer.create_state = 0;
            pointer.held = -1;
        }
        return;
    }
    if (sub_mode == edit_sub_free_item) {
        create_free_item(pointer.ground);
        return;
    }
    if (sub_mode == edit_sub_misc_item) {
        create_misc_item(pointer.ground);
        return;
    }
    if (sub_mode == edit_sub_fork || sub_mode == edit_sub_cross || sub_mode == edit_sub_prefab) {
        const int32_t node = add_node(pointer.ground);
        if (node >= 0 && can_begin_edge(node))
            create_edge(node, -1);
        pointer.held = -1;
        pointer.create_state = 0;
    }
}

void edit_ctrl_e::on_pointer_move(const float x, const float y, vec3_t& out_point)
{
    editor_camera_e* const camera = current_camera();
    bool picked = false;
    if (view_mode == edit_view_top)
        picked = pick(x, y, pointer.held);
    else if (pointer.held == -1) {
        pointer.picked_type = edit_pick_none;
        pointer.picked_item = pointer.picked_point = -1;
    }
    vec3_t ground(0.0f, pointer.ground.y, 0.0f);
    if (camera)
        camera->ground_point(x, y, ground, false);
    out_point = picked ? pointer.ground : ground;
    if (!picked && mode < edit_mode_height)
        pointer.ground = ground;
    const float dy_pointer = y - pointer.last_y;
    pointer.last_x = x;
    pointer.last_y = y;
    if (pointer.view_drag) {
        if (camera) {
            vec3_t at_press(0.0f, ground.y, 0.0f);
            camera->ground_point(pointer.drag_x, pointer.drag_y, at_press, true);
            vec3_t now(0.0f, ground.y, 0.0f);
            camera->ground_point(x, y, now, true);
            camera->set_position(pointer.drag_camera + at_press - now);
        }
        return;
    }
    switch (mode) {
    case edit_mode_new_item:
        if (road_sub_mode(sub_mode) && pointer.create_state == 1 && nodes.valid(pointer.held))
            if (auto* hud = ui_handler_editor_hud_t::of_bridge()) {
                char text[64];
                std::snprintf(text, sizeof text, "Length:%.2fm",
                              (pointer.ground - nodes[pointer.held].position).length() * 0.01);
                hud->set_quick_help(text);
            }
        break;
    case edit_mode_move:
        if (pointer.picked_type == edit_pick_node && nodes.valid(pointer.held)) {
            move_node(pointer.held, pointer.ground);
            modified = true;
        } else if (pointer.picked_type == edit_pick_aux_node && aux_nodes.valid(pointer.held)) {
            aux_nodes[pointer.held].position = pointer.ground;
            update_aux_chain(pointer.held);
            modified = true;
        } else if (pointer.picked_type == edit_pick_free_item && pointer.held != -1) {
            place_free_item(pointer.held, pointer.ground, false);
            modified = true;
        } else if (pointer.picked_type == edit_pick_misc_point && pointer.held != -1) {
            move_misc_item_point(pointer.held, pointer.picked_point, pointer.ground, false);
            modified = true;
        }
        break;
    case edit_mode_place_start:
        if (pointer.held == 1) {
            start_position = pointer.ground;
            build_start_marker();
            modified = true;
        }
        break;
    case edit_mode_brush:
        find_stamp_cell();
        break;
    case edit_mode_height:
        if (pointer.held != -1) {
            const float dy = std::round(dy_pointer * height_per_unit);
            float height = pointer.ground.y;
            if (pointer.picked_type == edit_pick_node)
                height = raise_node(pointer.held, dy);
            else if (pointer.picked_type == edit_pick_aux_node)
                height = raise_aux_node(pointer.held, dy);
            else if (pointer.picked_type == edit_pick_free_item)
                height = raise_free_item(pointer.held, dy);
            else if (pointer.picked_type == edit_pick_misc_point)
                height = raise_misc_item(pointer.held, pointer.picked_point, dy);
            pointer.ground.y = out_point.y = height;
            modified = true;
        }
        break;
    case edit_mode_rotate_x:
    case edit_mode_rotate_y:
    case edit_mode_rotate_z:
        if (pointer.held != -1 && pointer.picked_type == edit_pick_free_item) {
            vec3_t turn{};
            turn[mode - edit_mode_rotate_x] = std::round(dy_pointer * degrees_per_unit);
            turn_free_item(pointer.held, turn.x, turn.y, turn.z);
            modified = true;
        }
        break;
    default:
        break;
    }
    update_hover_text();
}

void edit_ctrl_e::on_button_up(const uint32_t button)
{
    if (button & drag_button) {
        pointer.view_drag = false;
        return;
    }
    if (!(button & main_button))
        return;
    if (mode == edit_mode_move && pointer.held != -1) {
        if (pointer.picked_type == edit_pick_node && nodes.valid(pointer.held)) {
            const int32_t target = find_node_at(pointer.ground, pointer.held);
            if (target != -1)
                join_nodes(pointer.held, target, nullptr);
            else
                update_roads_at_node(pointer.held);
        } else if (pointer.picked_type == edit_pick_free_item) {
            place_free_item(pointer.held, pointer.ground, true);
        } else if (pointer.picked_type == edit_pick_misc_point) {
            move_misc_item_point(pointer.held, pointer.picked_point, pointer.ground, true);
        }
        build_item_tree();
        pointer.held = -1;
        modified = true;
    } else if (mode == edit_mode_place_start) {
        start_position = pointer.ground;
        pointer.held = -1;
        build_start_marker();
        modified = true;
    } else if (mode >= edit_mode_height) {
        pointer.held = -1;
    }
}

void edit_ctrl_e::step_height(const int32_t dy)
{
    const auto delta = static_cast<float>(dy);
    if (height_target.kind == edit_pick_node)
        raise_node(height_target.index, delta);
    else if (height_target.kind == edit_pick_aux_node)
        raise_aux_node(height_target.index, delta);
    else if (height_target.kind == edit_pick_free_item)
        raise_free_item(height_target.index, delta);
    else if (height_target.kind == edit_pick_misc_point)
        raise_misc_item(height_target.index, height_target.point, delta);
    else
        return;
    modified = true;
}
