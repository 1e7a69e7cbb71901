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
        const road_piece_t& piece = def.parts[part];
        if (piece.vertex_count() > 65535)
            return false;
        bytes += 32 * static_cast<int64_t>(piece.vertex_count()) + 2 * (piece.index_count() + 1);
    }
    return bytes <= segment_block_bytes;
}

}  // namespace

bool segment_t::build_city_road(base_ctrl_e& controller, map_edge_t& edge, const bool)
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
    segment_carver_t carver(piece_at(0).block);
    for (int32_t part = 0; part < parts; ++part) {
        const road_piece_t& model = def.parts[part];
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
