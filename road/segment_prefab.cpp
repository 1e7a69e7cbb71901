#include "common/engine_api.h"
#include "road/base_ctrl.h"
#include "road/segment.h"
#include "road/segment_shaders.h"

namespace {

// The shader a prefab part draws with: the Fork's shipper label on part 0, else the look's shader for
// the part's slot (the fallback for a slot or look the server does not hold).
const gfx_shader_t* part_shader(const seg_server_t& server, const map_edge_t& edge, const prefab_part_t& part,
                                const size_t index)
{
    const int32_t shipper = edge.sides[0].vegetation;
    if (index == 0 && edge.kind == map_edge_fork && shipper >= 0 && shipper < server.trader_count &&
        server.traders[shipper].label.shader)
        return server.traders[shipper].label.shader;
    int32_t entry = -1;
    const int32_t look = edge.road_type;
    if (look >= 0 && static_cast<size_t>(look) < server.prefab_looks.size() && part.shader_slot >= 0 &&
        part.shader_slot < prefab_look_slots)
        entry = server.prefab_looks[static_cast<size_t>(look)].slots[part.shader_slot];
    return server.prefab_shaders.valid(-1) ? server.prefab_shaders.at_or_spare(entry).shader.shader : nullptr;
}

// True when every part of `prefab` fits one block with arrays that agree with their counts.
bool parts_fit(const prefab_t& prefab)
{
    for (const prefab_part_t& part : prefab.parts) {
        const size_t vertices = part.positions.size();
        if (vertices > 65535 || part.normals.size() != vertices || part.uvs.size() != 2 * vertices ||
            32 * vertices + 2 * (part.indices.size() + 1) > static_cast<size_t>(segment_block_bytes))
            return false;
        for (const uint16_t index : part.indices)
            if (index >= vertices)
                return false;
    }
    return true;
}

}  // namespace

bool segment_t::build_prefab(base_ctrl_e& controller, map_edge_t& edge, const bool preview)
{
    const seg_server_t* server = controller.seg_server;
    if (!server || edge.definition < 0)
        return false;
    const prefab_t* prefab = controller.get_prefab_def(edge, nullptr);
    const map_node_t* start = segment_node(controller, edge.nodes[0]);
    const map_node_t* end = segment_node(controller, edge.nodes[1]);
    if (!prefab || !start)
        return false;
    const int32_t index = static_cast<int32_t>(&edge - controller.edges.begin());
    if (!parts_fit(*prefab)) {
        api::error("Prefab %s has a part that does not fit one piece; edge %d is not built", prefab->name, index);
        return false;
    }
    centre = end ? (start->position + end->position) * 0.5f : start->position;
    const uint32_t turns = edge.flags & 3u;
    vec3_t offset = start->position;
    if (!prefab->nodes.empty()) {
        const auto count = static_cast<int32_t>(prefab->nodes.size());
        const int32_t anchor = ((edge.centre_word % count) + count) % count;
        offset = start->position - prefab_turn(prefab->nodes[static_cast<size_t>(anchor)].position, turns);
    }
    if (!allocate(controller, static_cast<int32_t>(prefab->parts.size()), 1))
        return false;
    subdivision_count = 1;
    for (size_t i = 0; i < prefab->parts.size(); ++i) {
        const prefab_part_t& part = prefab->parts[i];
        const auto piece = static_cast<int32_t>(i);
        segment_layer_t& layer = layer_at(piece, 0);
        layer.vertex_count = static_cast<int32_t>(part.positions.size());
        layer.index_count = static_cast<int32_t>(part.indices.size());
        segment_carver_t(piece_at(piece).block).carve(layer);
        set_up_layer(piece, 0, part_shader(*server, edge, part, i));
        layer.centre = prefab_turn(part.centre, turns) + offset;
        layer.radius = part.radius;
        std::copy(part.uvs.begin(), part.uvs.end(), layer.uvs);
        std::copy(part.indices.begin(), part.indices.end(), layer.indices);
        for (int32_t v = 0; v < layer.vertex_count; ++v) {
            const vec3_t point = prefab_turn(part.positions[static_cast<size_t>(v)], turns) + offset;
            layer.positions[v] = point;
            layer.normals[v] = prefab_turn(part.normals[static_cast<size_t>(v)], turns) * segment_shading(point);
            widen(piece, point);
        }
    }
    // A loading dock whose shipper is known is announced to the controller.
    if (!preview && edge.kind == map_edge_fork && edge.sides[0].vegetation != -1 && !prefab->docks.empty())
        controller.on_edge_built(index);
    return true;
}
