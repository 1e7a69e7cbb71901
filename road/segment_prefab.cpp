#include "common/engine_api.h"
#include "road/base_ctrl.h"
#include "road/segment.h"
#include "road/segment_shaders.h"

namespace {

// The shader a prefab part draws with: the Fork's shipper label on part 0, else the look's shader for
// the part's slot (the fallback for a slot or look the server does not hold). `plain` says whether the
// part is lit by its normals (the label, a plain shader entry) or drawn with the environment's colour.
const gfx_shader_t* part_shader(const seg_server_t& server, const map_edge_t& edge, const prefab_part_t& part,
                                const size_t index, bool& plain)
{
    plain = true;
    const int32_t shipper = edge.sides[0].vegetation;
    if (index == 0 && edge.kind == map_edge_fork && shipper >= 0 && shipper < server.trader_count &&
        server.traders[shipper].label.shader)
        return server.traders[shipper].label.shader;
    int32_t entry = -1;
    const int32_t look = edge.road_type;
    if (look >= 0 && static_cast<size_t>(look) < server.prefab_looks.size() && part.shader_slot >= 0 &&
        part.shader_slot < prefab_look_slots)
        entry = server.prefab_looks[static_cast<size_t>(look)].slots[part.shader_slot];
    if (!server.prefab_shaders.valid(-1))
        return nullptr;
    const seg_flagged_shader_t& shader = server.prefab_shaders.at_or_spare(entry);
    plain = shader.flag != 0;
    return shader.shader.shader;
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

// The turn of `turns` quarter turns about the up axis, as prefab_turn turns points.
quat_t quarter_turn(const uint32_t turns)
{
    static const float degrees[4] = {0.0f, 90.0f, 180.0f, -90.0f};
    quat_t turn;
    turn.set(vec3_t(0.0f, 1.0f, 0.0f), degrees[turns & 3u]);
    return turn;
}

// The traffic-light entry of node slot `slot` (0 to 3) of a Cross: the first side's words 20 to 23.
int32_t cross_light_entry(const map_edge_t& edge, const int32_t slot)
{
    const map_edge_side_t& side = edge.sides[0];
    const int32_t entries[4] = {side.railing, side.railing_shader, side.profile, side.terrain};
    return entries[slot];
}

// Where a prefab's model points land on the map: turned by the edge's quarter turns, then moved.
struct prefab_place_t {
    uint32_t turns;
    vec3_t offset;
    vec3_t at(const vec3_t& point) const { return prefab_turn(point, turns) + offset; }
};

// Places the prefab's sign boards, one per prefab sign with the edge's sign records from its first on;
// each board names the node of its target slot, with that node's compass direction and symbols.
void place_prefab_signs(segment_t& slot, base_ctrl_e& controller, const map_edge_t& edge, const prefab_t& prefab,
                        const prefab_place_t& place)
{
    const auto node_count = static_cast<int32_t>(prefab.nodes.size());
    const quat_t turn = quarter_turn(place.turns);
    for (size_t i = 0; i < prefab.signs.size(); ++i) {
        const int32_t record = edge.sign + static_cast<int32_t>(i);
        if (!controller.signs.valid(record))
            break;
        const prefab_sign_t& sign = prefab.signs[i];
        map_sign_t choices = controller.signs[record];
        choices.definition = sign.model_id;
        int32_t texts[board_instance_boards] = {-1, -1, -1};
        for (int32_t b = 0; b < prefab_sign_boards && node_count > 0; ++b) {
            if (sign.destinations[b] < 0)
                continue;
            const int32_t at = ((sign.destinations[b] - edge.centre_word) % node_count + node_count) % node_count;
            const int32_t node = at < 4 ? edge.nodes[at] : -1;
            if (!controller.nodes.valid(node))
                continue;
            const uint32_t flags = controller.nodes[node].flags;
            texts[b] = controller.nodes[node].road_name;
            const uint32_t compass_shift = 12u + 4u * static_cast<uint32_t>(b);
            choices.board_flags = (choices.board_flags & ~(0xFu << compass_shift)) | (flags >> 4 & 7u) << compass_shift;
            choices.first_symbols[b] = static_cast<int32_t>(flags >> 8 & 0xFFu) - 1;
            choices.second_symbols[b] = static_cast<int32_t>(flags >> 16 & 0xFFu) - 1;
        }
        const quat_t rotation = place.turns == 0 ? sign.rotation : turn * sign.rotation;
        board_instance_node_t* const board =
            controller.build_board_visual(place.at(sign.position), rotation, choices, texts);
        if (!board)
            continue;
        board->value().sign = record;
        controller.on_instance_placed(board->value());
        if (!slot.keep_placed(board)) {
            api::error("Prefab %s places more than %d sign boards; the rest are left out", prefab.name,
                       segment_max_placed);
            controller.on_instance_removed(board->value());
            controller.seg_server->remove_board_instance(board);
            break;
        }
    }
}

// Places a Cross's traffic lights: one lamp per node slot that has a light entry, at the prefab's own
// light place of that node or else facing the node from its opposite.
void place_cross_lamps(segment_t& slot, base_ctrl_e& controller, const map_edge_t& edge, const prefab_t& prefab,
                       const prefab_place_t& place)
{
    static const float fixed_degrees[4] = {-90.0f, 90.0f, 0.0f, 180.0f};
    const auto node_count = static_cast<int32_t>(prefab.nodes.size());
    if (edge.kind != map_edge_cross || edge.sides[0].strip_width == 0 || node_count == 0)
        return;
    const quat_t turn = quarter_turn(place.turns);
    const vec3_t up(0.0f, 1.0f, 0.0f);
    for (int32_t k = 0; k < prefab_node_slots; ++k) {
        const int32_t entry = cross_light_entry(edge, k);
        if (entry == -1)
            continue;
        const int32_t n = ((edge.centre_word + k) % node_count + node_count) % node_count;
        vec3_t position;
        quat_t rotation;
        if (!prefab.light_places.empty()) {
            if (static_cast<size_t>(n) >= prefab.light_places.size())
                continue;
            position = prefab.light_places[static_cast<size_t>(n)].position;
            rotation = prefab.light_places[static_cast<size_t>(n)].rotation;
        } else {
            position = prefab.nodes[static_cast<size_t>(n)].position * -1.0f;
            rotation.set(up, fixed_degrees[n & 3]);
        }
        // Node 0 of a three-way crossing shows one light state on all its light points.
        const bool single_state = n == 0 && node_count == 3;
        lamp_instance_node_t* const lamp =
            controller.seg_server->add_lamp(place.at(position), turn * rotation, n > 1, entry, single_state);
        if (lamp && !slot.keep_instance(lamp))
            controller.seg_server->remove_lamp(lamp);
    }
}

}  // namespace

bool segment_t::build_prefab(base_ctrl_e& controller, map_edge_t& edge, const bool preview)
{
    seg_server_t* const server = controller.seg_server;
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
        bool plain = true;
        const gfx_shader_t* const shader = part_shader(*server, edge, part, i, plain);
        set_up_layer(piece, 0, shader, !plain);
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
    if (!preview) {
        const prefab_place_t place{turns, offset};
        if (edge.sign != -1)
            place_prefab_signs(*this, controller, edge, *prefab, place);
        place_cross_lamps(*this, controller, edge, *prefab, place);
    }
    // A loading dock whose shipper is known is announced to the controller.
    if (!preview && edge.kind == map_edge_fork && edge.sides[0].vegetation != -1 && !prefab->docks.empty())
        controller.on_edge_built(index);
    return true;
}
