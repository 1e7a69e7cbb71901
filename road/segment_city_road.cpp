#include <algorithm>
#include <cmath>

#include "engine/geometry.h"
#include "engine/matrix.h"
#include "common/engine_api.h"
#include "road/base_ctrl.h"
#include "road/segment.h"
#include "road/segment_shaders.h"

namespace {

constexpr vec3_t up_axis(0.0f, 1.0f, 0.0f);

// True when a piece of these parts fits one block.
bool parts_fit(const city_road_def_t& def)
{
    int64_t bytes = 0;
    for (int32_t part = 0; part < def.part_count; ++part) {
        const road_section_t& piece = def.parts[part];
        if (piece.vertex_count() > 65535)
            return false;
        bytes += 32 * static_cast<int64_t>(piece.vertex_count()) + 2 * (piece.index_count() + 1);
    }
    return bytes <= segment_block_bytes;
}

// Spacing of the street lights along each side, and how far beside the road's centre line they stand.
constexpr float light_spacing = 4000.0f;
constexpr float light_offset = 1300.0f;
// Lanes that can be painted with an arrow, and where the arrows lie: from the node along the road and
// from the centre line sideways.
constexpr int32_t arrow_lanes = 3;
constexpr float arrow_near = 50.0f;
constexpr float arrow_far = 600.0f;
constexpr float arrow_inner = 100.0f;
constexpr float arrow_outer = 300.0f;
constexpr float arrow_lane_width = 400.0f;

// Places the street lights of lamp `lamp` every 4000 along the road, starting `first` from the start
// node, 1300 beside the centre line (`side` -1 the first side, +1 the second), facing `facing`.
void place_lights(segment_t& slot, seg_server_t& server, const vec3_t& start, const vec3_t& forward,
                  const vec3_t& side_vector, const float length, const float first, const float side,
                  const int32_t lamp, const vec3_t& facing)
{
    quat_t rotation;
    rotation.set_cartes(facing);
    const auto place = [&](const float d) {
        light_instance_node_t* const light =
            server.add_light(start - forward * d + side_vector * (side * light_offset), rotation, lamp);
        if (light && !slot.keep_instance(light))
            server.remove_light(light);
    };
    for (float d = first; d > 0.0f; d -= light_spacing)
        place(d);
    for (float d = first + light_spacing; d < length; d += light_spacing)
        place(d);
}

// The arrow kinds (-1 none, 0 left, 1 straight, 2 straight and right, 3 right) of the three lanes that
// enter Cross `cross` from node `node`, by the exits their curves reach.
void lane_arrow_kinds(base_ctrl_e& controller, map_edge_t& cross, const int32_t node, int32_t (&kinds)[arrow_lanes])
{
    static const int32_t left_exit[4] = {3, 2, 0, 1};
    static const int32_t straight_exit[4] = {1, 0, 3, 2};
    static const int32_t right_exit[4] = {2, 3, 1, 0};
    std::fill(std::begin(kinds), std::end(kinds), -1);
    const prefab_t* const prefab = controller.get_prefab_def(cross, nullptr);
    int32_t s = 0;
    while (s < 4 && cross.nodes[s] != node)
        ++s;
    if (!prefab || prefab->nodes.empty() || s == 4)
        return;
    const auto count = static_cast<int32_t>(prefab->nodes.size());
    const int32_t r = ((cross.centre_word + s) % count + count) % count % 4;
    for (int32_t lane = 0; lane < arrow_lanes; ++lane) {
        int32_t& kind = kinds[lane];
        const int32_t* const curves = prefab_node_slot(*prefab, s, lane, cross.centre_word);
        for (int32_t c = 0; c < prefab_slot_curves && curves[c] != -1; ++c) {
            if (curves[c] < 0 || static_cast<size_t>(curves[c]) >= prefab->curves.size())
                continue;
            const prefab_curve_t& curve = prefab->curves[static_cast<size_t>(curves[c])];
            if (curve.exit_arms[left_exit[r]] && kind < 1)
                kind = 0;
            if (curve.exit_arms[straight_exit[r]])
                kind = kind == 3 ? 2 : kind == -1 ? 1 : kind;
            if (curve.exit_arms[right_exit[r]])
                kind = kind == -1 ? 3 : kind == 1 ? 2 : kind;
        }
    }
}

// Paints the lane arrows before Cross `cross` at `node` (the end `at` of this road, the road running
// on along `along` from it), into arrow ids `first_id` to `first_id` + 2.
void paint_lane_arrows(segment_t& slot, base_ctrl_e& controller, map_edge_t& cross, const int32_t node,
                       const vec3_t& at, const vec3_t& along, const vec3_t& side, const int32_t first_id,
                       const int32_t edge_index)
{
    int32_t kinds[arrow_lanes];
    lane_arrow_kinds(controller, cross, node, kinds);
    // Lanes that all allow the same turns need no arrows.
    if (kinds[0] == kinds[1] && kinds[1] == kinds[2])
        return;
    for (int32_t lane = 0; lane < arrow_lanes; ++lane) {
        if (kinds[lane] == -1)
            continue;
        const float inner = arrow_inner + arrow_lane_width * static_cast<float>(lane);
        const float outer = arrow_outer + arrow_lane_width * static_cast<float>(lane);
        const vec3_t a = at + along * arrow_near + side * inner;
        const vec3_t b = at + along * arrow_near + side * outer;
        const vec3_t c = at + along * arrow_far + side * inner;
        const vec3_t d = at + along * arrow_far + side * outer;
        const vec3_t quad[seg_arrow_quad_vertices] = {a, b, c, c, b, d};
        const int32_t id = first_id + lane;
        slot.arrow_ids[id] = controller.seg_server->add_lane_arrow(quad, kinds[lane], (id << 24) + edge_index);
    }
}

// The Cross on `node`'s link `link` when the node says that link holds one, null otherwise.
map_edge_t* cross_on_link(base_ctrl_e& controller, const map_node_t& node, const int32_t link)
{
    if (node.link_kinds[link] != map_edge_cross || !controller.edges.valid(node.links[link]))
        return nullptr;
    map_edge_t& edge = controller.edges[node.links[link]];
    return edge.kind == map_edge_cross ? &edge : nullptr;
}

}  // namespace

void segment_t::place_city_road_objects(base_ctrl_e& controller, map_edge_t& edge, const int32_t edge_index)
{
    seg_server_t& server = *controller.seg_server;
    const map_node_t& start = controller.nodes[edge.nodes[0]];
    const map_node_t& end = controller.nodes[edge.nodes[1]];
    const vec3_t side_start = start.direction.cross(up_axis).normalized();
    const vec3_t side_end = end.direction.cross(up_axis).normalized();
    const vec3_t forward = (start.position - end.position).normalized();
    // City blocks, second side first; the piece's bounds reach over them.
    for (int side = 1; side >= 0; --side) {
        const int32_t record = edge.sides[side].profile;
        if (record == -1)
            continue;
        if (!controller.cityblocks.valid(record)) {
            api::error("City road %d names city block %d, which the map does not hold", edge_index, record);
            continue;
        }
        server.acquire_city_block(record, controller.cityblocks[record]);
        city_blocks[side] = record;
        widen(0, side == 1 ? start.position + side_start * edge.length : start.position - side_start * edge.length);
    }
    // Street lights, the first side's from the middle of the road, the second side's between them.
    vec3_t flat_forward = forward;
    flat_forward.y = 0.0f;
    flat_forward = flat_forward.normalized();
    const float half = edge.length * 0.5f;
    if (edge.sides[0].vegetation != -1)
        place_lights(*this, server, start.position, forward, side_start, edge.length, half, -1.0f,
                     edge.sides[0].vegetation, flat_forward * -1.0f);
    if (edge.sides[1].vegetation != -1)
        place_lights(*this, server, start.position, forward, side_start, edge.length, half - light_spacing * 0.5f, 1.0f,
                     edge.sides[1].vegetation, flat_forward);
    // Lane arrows before a Cross at either end.
    if (map_edge_t* cross = cross_on_link(controller, start, 0))
        paint_lane_arrows(*this, controller, *cross, edge.nodes[0], start.position, forward * -1.0f, side_start * -1.0f,
                          0, edge_index);
    const bool second_is_this = end.links[1] == edge_index;
    if (map_edge_t* cross = cross_on_link(controller, end, second_is_this ? 0 : 1))
        paint_lane_arrows(*this, controller, *cross, edge.nodes[1], end.position, forward, side_end, 3, edge_index);
}

bool segment_t::build_city_road(base_ctrl_e& controller, map_edge_t& edge, const bool preview)
{
    const seg_server_t* server = controller.seg_server;
    if (!server || edge.definition < 0 || static_cast<size_t>(edge.definition) >= server->city_road_defs.size())
        return false;
    const city_road_def_t& def = server->city_road_defs[static_cast<size_t>(edge.definition)];
    const map_node_t* start = segment_node(controller, edge.nodes[0]);
    const map_node_t* end = segment_node(controller, edge.nodes[1]);
    if (def.bytes == 0 || def.part_count < 1 || !(def.length() > 0.0f) || !start || !end)
        return false;
    if (!parts_fit(def)) {
        api::error("City road %s does not fit one piece; edge %d is not built", def.name,
                   static_cast<int32_t>(&edge - controller.edges.begin()));
        return false;
    }
    centre = (start->position + end->position) * 0.5f;
    const int32_t parts = std::min(def.part_count, 2);
    if (!allocate(controller, 1, parts))
        return false;
    subdivision_count = 1;
    const float repeats = std::max(1.0f, std::round(edge.length / def.length()));
    const vec3_t side_start = start->direction.cross(up_axis).normalized();
    const vec3_t side_end = end->direction.cross(up_axis).normalized();
    const vec3_t forward = (start->position - end->position).normalized();
    mat4_t turn;
    matrix_set_rotate(turn, cartes_2_ypr(forward));
    if (edge.sign != -1)
        place_sign(controller, edge, *start, start->direction, *end, end->direction);
    if (!preview)
        place_city_road_objects(controller, edge, static_cast<int32_t>(&edge - controller.edges.begin()));
    segment_carver_t carver(piece_at(0).block);
    for (int32_t part = 0; part < parts; ++part) {
        const road_section_t& model = def.parts[part];
        segment_layer_t& layer = layer_at(0, part);
        layer.vertex_count = model.vertex_count();
        layer.index_count = model.index_count();
        carver.carve(layer);
        set_up_layer(0, part,
                     part == 0
                         ? segment_table_shader(server->road_shaders, server->road_shader_count, edge.road_type)
                         : segment_table_shader(server->sidewalk_shaders, server->sidewalk_count, edge.centre_word));
        std::copy(model.indices.begin(), model.indices.end(), layer.indices);
        for (int32_t v = 0; v < layer.vertex_count; ++v) {
            const auto at = static_cast<size_t>(v);
            const vec3_t& x = model.positions[at];
            vec3_t a = start->position - side_start * x.x;
            a.y = start->position.y + x.y;
            vec3_t b = end->position - side_end * x.x;
            b.y = end->position.y + x.y;
            const vec3_t point = a + (b - a) * model.t[at];
            layer.positions[v] = point;
            const vec3_t normal = model.normals.empty() ? up_axis : model.normals[at];
            layer.normals[v] = mult_normal_matrix_fast(turn, normal) * segment_shading(point);
            layer.uvs[2 * v] = model.uvs.empty() ? 0.0f : model.uvs[2 * at];
            layer.uvs[2 * v + 1] = (model.uvs.empty() ? 0.0f : model.uvs[2 * at + 1]) * repeats;
            widen(0, point);
        }
    }
    return true;
}
