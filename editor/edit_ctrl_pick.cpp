#include "engine/matrix.h"
#include "editor/edit_ctrl.h"
#include "editor/editor_camera.h"

namespace {

// How near, squared in normalised screen units, a point must come to the pointer.
constexpr float pick_tolerance_sq = 0.001f;
// Points closer to the camera than this depth are never picked.
constexpr float pick_min_depth = 0.1f;

// True when `point` projects (through `projection`) within the tolerance of (x, y) in the view.
bool under_pointer(const mat4_t& projection, const vec3_t& point, const float x, const float y)
{
    const vec3_t p = mult_point_matrix(projection, point);
    // Behind the camera the divide by w gives a depth beyond the far plane (above 1): no pick either.
    if (p.z < pick_min_depth || p.z > 1.0f || p.x < -1.0f || p.x > 1.0f || p.y < -1.0f || p.y > 1.0f)
        return false;
    const float dx = x - p.x;
    const float dy = y - p.y;
    return dx * dx + dy * dy < pick_tolerance_sq;
}

}  // namespace

bool edit_ctrl_e::pick(const float x, const float y, const int32_t except)
{
    const bool holding = pointer.held != -1;
    if (!holding) {
        pointer.picked_type = edit_pick_none;
        pointer.picked_item = pointer.picked_point = -1;
    }
    editor_camera_e* const camera = current_camera();
    if (!camera)
        return false;
    const mat4_t projection = camera->view_projection();
    const auto hit = [&](const int32_t type, const int32_t item, const int32_t point, const vec3_t& at) {
        pointer.ground = at;
        if (!holding) {
            pointer.picked_type = type;
            pointer.picked_item = item;
            pointer.picked_point = point;
        }
        return true;
    };
    const int32_t held_type = pointer.picked_type;
    for (int32_t s = 0; s < segment_slot_count; ++s) {
        const segment_t* const slot = segment_slot(s);
        if (!slot || !edges.valid(slot->edge_index))
            continue;
        for (const int32_t n : edges[slot->edge_index].nodes) {
            if (!nodes.valid(n) || (held_type == edit_pick_node && n == except))
                continue;
            if (under_pointer(projection, nodes[n].position, x, y))
                return hit(edit_pick_node, n, -1, nodes[n].position);
        }
    }
    for (int32_t s = 0; s < aux_segment_slot_count; ++s) {
        const aux_segment_t* const slot = aux_segment_slot(s);
        if (!slot || !aux_edges.valid(slot->aux_edge))
            continue;
        for (const int32_t n : aux_edges[slot->aux_edge].nodes) {
            if (!aux_nodes.valid(n) || (held_type == edit_pick_aux_node && n == except))
                continue;
            if (under_pointer(projection, aux_nodes[n].position, x, y))
                return hit(edit_pick_aux_node, n, -1, aux_nodes[n].position);
        }
    }
    if (seg_server)
        for (auto* board = seg_server->boards.first(); board; board = board->next()) {
            const board_instance_t& sign = board->value();
            if (!sign.visible || !signs.valid(sign.sign) || (held_type == edit_pick_sign && sign.sign == except))
                continue;
            if (under_pointer(projection, sign.position, x, y))
                return hit(edit_pick_sign, sign.sign, -1, sign.position);
        }
    if (seg_server)
        for (const int32_t index : seg_server->shown_freeitems)
            if (freeitems.valid(index) && !(held_type == edit_pick_free_item && index == except) &&
                under_pointer(projection, freeitems[index].position, x, y))
                return hit(edit_pick_free_item, index, -1, freeitems[index].position);
    const struct {
        base_ctrl_list_t list;
        int32_t points;
    } misc_lists[] = {{base_ctrl_sky_swaps, 2},
                      {base_ctrl_cut_planes, 2},
                      {base_ctrl_movers, 0},
                      {base_ctrl_stations, 1},
                      {base_ctrl_no_weather, 1}};
    for (const auto& entry : misc_lists)
        for (const int32_t index : active_list(entry.list)) {
            if (!miscitems.valid(index) || (held_type == edit_pick_misc_point && index == except))
                continue;
            const map_miscitem_t& item = miscitems[index];
            const int32_t points = entry.points ? entry.points : static_cast<int32_t>(item.flags & 3u) + 1;
            for (int32_t p = 0; p < points; ++p)
                if (under_pointer(projection, item.points[p], x, y))
                    return hit(edit_pick_misc_point, index, p, item.points[p]);
        }
    if (seg_server && seg_server->target.shown && miscitems.valid(current_item) &&
        under_pointer(projection, miscitems[current_item].points[0], x, y))
        return hit(edit_pick_misc_point, current_item, 0, miscitems[current_item].points[0]);
    return false;
}
