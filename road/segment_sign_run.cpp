// The sign boards standing along a built edge: its run of sign records, each placed on the edge's
// curve (on a City Road the straight line between its nodes) and turned to face along it.
#include "engine/geometry.h"
#include "common/engine_api.h"
#include "road/base_ctrl.h"
#include "road/segment.h"

namespace {

constexpr vec3_t up_axis(0.0f, 1.0f, 0.0f);
// Bit of a sign's flag word that turns it to face the other way along the edge.
constexpr uint32_t sign_faces_back = 1u << 28;

}  // namespace

void segment_t::place_sign(base_ctrl_e& controller, map_edge_t& edge, const map_node_t& start,
                           const vec3_t& start_tangent, const map_node_t& end, const vec3_t& end_tangent)
{
    const auto index = static_cast<int32_t>(&edge - controller.edges.begin());
    for (int32_t record = edge.sign; controller.signs.valid(record) && controller.signs[record].edge == index;
         ++record) {
        const map_sign_t& sign = controller.signs[record];
        vec3_t point;
        vec3_t direction = start_tangent;
        if (edge.kind == map_edge_city_road)
            point = start.position + (end.position - start.position) * sign.position;
        else
            smooth_curve(start.position, start_tangent, end.position, end_tangent, sign.position, point, &direction);
        const bool backwards = (sign.board_flags & sign_faces_back) != 0;
        if (backwards)
            direction = direction * -1.0f;
        vec3_t flat = direction;
        flat.y = 0.0f;
        const vec3_t side = flat.cross(up_axis).normalized();
        point = point + side * static_cast<float>(sign.offset);
        quat_t rotation;
        rotation.set_cartes(direction);
        // Board 0 names the place the sign faces towards.
        const int32_t text = (backwards ? start : end).road_name;
        board_instance_node_t* const board = controller.build_sign_visual(point, rotation, index, sign, text);
        if (board && !keep_placed(board)) {
            api::error("Edge %d has more than %d signs; the rest are left out", index, segment_max_placed);
            controller.on_instance_removed(board->value());
            controller.seg_server->remove_board_instance(board);
            return;
        }
    }
}
