#pragma once
#include <algorithm>
#include <cstdint>

#include "road/base_ctrl.h"
#include "road/road_section.h"
#include "road/seg_server.h"

// A flat road for tests that need a Road's geometry: a definition 800 wide and 1000 long whose
// collision piece is the same quad, and straight Road edges of it laid on a map controller.
namespace flat_road {

// Half the road's width and the definition's length.
constexpr float half_width = 400.0f;
constexpr float def_length = 1000.0f;

// A flat quad across the road from t 0 to t 1, as a model part: two triangles of surface word `word`.
struct flat_quad_t {
    const vec3_t positions[4] = {{-half_width, 0.0f, 0.0f},
                                 {half_width, 0.0f, 0.0f},
                                 {-half_width, 0.0f, def_length},
                                 {half_width, 0.0f, def_length}};
    const float uvs[8] = {0, 0, 1, 0, 0, 1, 1, 1};
    const uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
    uint16_t words[2] = {7, 7};

    // The part named `name` over this quad's arrays (valid while the quad lives).
    psm_part_t part(const char* name) const
    {
        psm_part_t out{};
        out.name = name;
        out.vertex_count = 4;
        out.positions = positions;
        out.uvs = uvs;
        out.index_count = 6;
        out.indices = indices;
        out.triangle_words = words;
        return out;
    }
};

// The flat quad imported as the road readers import a model, its triangles of surface word `word`;
// false when the import fails.
inline bool add_def(seg_server_t& server, const uint16_t word = 7)
{
    flat_quad_t quad;
    quad.words[0] = quad.words[1] = word;
    const psm_part_t part = quad.part("road");
    road_def_t def;
    def.part_count = 1;
    if (!road_section_import(part, {false, true, false, true, true, false, 0.0f}, def.parts[0], "flat", "road") ||
        !road_section_import(part, {false, false, true, true, true, false, 0.0f}, def.collision, "flat", "coll"))
        return false;
    def.bytes = def.parts[0].bytes() + def.collision.bytes();
    server.road_defs.push_back(def);
    return true;
}

// A node of `ctrl` at `position` heading along `direction`.
inline int32_t node(base_ctrl_e& ctrl, const vec3_t& position, const vec3_t& direction)
{
    const int32_t index = ctrl.add_node(position);
    ctrl.nodes[index].direction = direction;
    return index;
}

// A straight Road edge of definition 0 from `from` to `to`, with strips of `first_width` and
// `second_width` cells and no terrain noise; linked to its nodes.
inline int32_t edge(base_ctrl_e& ctrl, const vec3_t& from, const vec3_t& to, const int32_t first_width,
                    const int32_t second_width)
{
    const vec3_t direction = (to - from).normalized();
    const int32_t start = node(ctrl, from, direction);
    const int32_t end = node(ctrl, to, direction);
    const int32_t index = ctrl.add_edge();
    map_edge_t& edge = ctrl.edges[index];
    edge.kind = map_edge_road;
    edge.definition = 0;
    edge.road_type = -1;
    edge.segment_slot = -1;
    edge.nodes[0] = start;
    edge.nodes[1] = end;
    edge.nodes[2] = edge.nodes[3] = -1;
    for (map_edge_side_t& side : edge.sides)
        side = map_edge_side_t{-1, -1, -1, -1, 0, 1.0f, -1};
    edge.sides[0].strip_width = first_width;
    edge.sides[1].strip_width = second_width;
    edge.flags = 2u << 4 | 2u << 8;  // no terrain noise: heights are the profiles' alone
    edge.centre_word = -1;
    edge.length = (to - from).length();
    edge.sign = edge.stamp = edge.semaphore = -1;
    edge.bounds.set_empty();
    const float reach = half_width + 400.0f * 8;
    const float low[3] = {std::min(from.x, to.x) - reach, std::min(from.y, to.y) - reach,
                          std::min(from.z, to.z) - reach};
    const float high[3] = {std::max(from.x, to.x) + reach, std::max(from.y, to.y) + reach,
                           std::max(from.z, to.z) + reach};
    edge.bounds.add_box(low, high);
    ctrl.nodes[start].links[1] = index;
    ctrl.nodes[end].links[0] = index;
    return index;
}

}  // namespace flat_road
