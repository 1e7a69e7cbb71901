// The outline of a city block: a walk from the chosen side of a City Road through the crossings that
// join it collects the City Roads around the block, and their side lines give its four corners.
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/geometry.h"
#include "common/engine_api.h"
#include "road/prefab.h"
#include "road/seg_server.h"
#include "editor/edit_ctrl.h"

namespace {

// A walk around a block gives up after this many roads; a block borders at most four.
constexpr size_t perimeter_limit = 13;
constexpr size_t most_bordering_roads = 4;
// Corners of two roads this close (squared distance) are one corner of the block.
constexpr float corner_match = 1.0f;
// Blocks lie this high above their roads' side lines; their ground texture repeats every 1000 units.
constexpr float block_lift = 20.0f;
constexpr float texture_scale = 0.001f;
// Through a crossing, by the side of the road the block is on: the arm the walk leaves by for the
// arm it came in on.
constexpr int32_t cross_arm_exit[2][4] = {{3, 2, 0, 1}, {2, 3, 1, 0}};

// A City Road on the block's outline: the edge, whether the walk runs against its direction, and the
// two ends of its side line that faces the block, in the order of the walk.
struct perimeter_entry_t {
    int32_t edge;
    int32_t reversed;
    vec3_t corners[2];
};
using perimeter_t = std::vector<perimeter_entry_t>;

int32_t wrap(const int32_t value, const int32_t count) { return ((value % count) + count) % count; }

bool near_corner(const vec3_t& a, const vec3_t& b) { return (a - b).length_sq() <= corner_match; }

// The horizontal side vector of a node's direction: towards a road's second side.
vec3_t side_vector(const map_node_t& node) { return vec3_t(-node.direction.z, 0.0f, node.direction.x); }

// How far side `side` of a city road's surface lies from its middle along the side vector.
float side_offset(const seg_server_t* server, const map_edge_t& edge, const int32_t side)
{
    if (!server || edge.definition < 0 || static_cast<size_t>(edge.definition) >= server->city_road_defs.size())
        return 0.0f;
    // The model's x runs against the side vector.
    const road_section_t& surface = server->city_road_defs[static_cast<size_t>(edge.definition)].parts[0];
    return side == 0 ? -surface.right_xy[0] : -surface.left_xy[0];
}

// The entry other than `self` with a corner at `point` (the corner's number in `corner`), null none.
const perimeter_entry_t* entry_at(const perimeter_t& list, const perimeter_entry_t* self, const vec3_t& point,
                                  int32_t& corner)
{
    for (const perimeter_entry_t& other : list) {
        if (&other == self)
            continue;
        for (int32_t k = 0; k < 2; ++k) {
            if (near_corner(other.corners[k], point)) {
                corner = k;
                return &other;
            }
        }
    }
    return nullptr;
}

}  // namespace

int32_t edit_ctrl_e::city_block_cross_exit(const int32_t cross, const int32_t node, const int32_t side)
{
    map_edge_t& edge = edges[cross];
    const prefab_t* prefab = get_prefab_def(edge, nullptr);
    const int32_t arms = prefab ? std::min(static_cast<int32_t>(prefab->nodes.size()), 4) : 0;
    if (arms == 0)
        return -1;
    int32_t slot = 0;
    while (slot < 4 && edge.nodes[slot] != node)
        ++slot;
    if (slot == 4)
        return -1;
    const int32_t arm = wrap(edge.centre_word + slot, arms);
    const int32_t next = cross_arm_exit[side][arm];
    if (next >= arms)
        return -1;
    return edge.nodes[wrap(arms - edge.centre_word + next, arms)];
}

bool edit_ctrl_e::walk_city_block(const int32_t first, const int32_t side, const bool backward,
                                  std::vector<int32_t>& edges_out, std::vector<int32_t>& reversed_out)
{
    const int32_t walk = backward ? 1 : 0;
    int32_t at = first;
    int32_t reversed = 0;
    while (edges_out.size() < perimeter_limit) {
        // The end the walk leaves the current road by, and the link of that node it leaves on.
        const int32_t end = reversed ^ (1 - walk);
        const int32_t node = edges[at].nodes[end];
        if (!nodes.valid(node) || nodes[node].link_kinds[end] != map_edge_cross)
            return false;
        const int32_t cross = nodes[node].links[end];
        if (!edges.valid(cross) || edges[cross].kind != map_edge_cross)
            return false;
        const int32_t far_node = city_block_cross_exit(cross, node, backward ? 1 - side : side);
        if (!nodes.valid(far_node))
            return false;
        const int32_t link = nodes[far_node].links[1] == cross ? 0 : 1;
        const int32_t next = nodes[far_node].links[link];
        if (next == -1 || nodes[far_node].link_kinds[link] != map_edge_city_road || !edges.valid(next) ||
            edges[next].kind != map_edge_city_road)
            return false;
        if (std::find(edges_out.begin(), edges_out.end(), next) != edges_out.end())
            return true;
        at = next;
        reversed = (1 - link) ^ walk;
        edges_out.push_back(at);
        reversed_out.push_back(reversed);
    }
    return false;
}

bool edit_ctrl_e::build_city_block(const int32_t edge, const int32_t side)
{
    if (!edges.valid(edge) || edges[edge].kind != map_edge_city_road || (side != 0 && side != 1) ||
        !cityblocks.valid(edges[edge].sides[side].profile))
        return false;
    std::vector<int32_t> ring{edge};
    std::vector<int32_t> directions{0};
    bool closed = walk_city_block(edge, side, false, ring, directions);
    if (!closed)
        closed = walk_city_block(edge, side, true, ring, directions);
    // A block is a quadrilateral: more roads around it, or a ring of three, give none. Refused before
    // anything changes, so that no other block is given up for one that cannot be built.
    if (ring.size() > most_bordering_roads || (closed && ring.size() == 3)) {
        api::error("A city block beside edge %d would border %d city roads%s; it needs 1 to 4 (a ring of 4)", edge,
                   static_cast<int32_t>(ring.size()), closed ? " in a ring" : "");
        return false;
    }
    perimeter_t list;
    for (size_t i = 0; i < ring.size(); ++i)
        list.push_back(perimeter_entry_t{ring[i], directions[i], {}});
    std::sort(list.begin(), list.end(),
              [](const perimeter_entry_t& a, const perimeter_entry_t& b) { return a.edge < b.edge; });

    // Each road's side line that faces the block, and that side of it holds the block from now on.
    std::vector<int32_t> rebuild;
    for (perimeter_entry_t& entry : list) {
        map_edge_t& road = edges[entry.edge];
        const int32_t facing = side == entry.reversed ? 0 : 1;
        const float offset = side_offset(seg_server, road, facing);
        for (int32_t k = 0; k < 2; ++k) {
            const int32_t node = road.nodes[entry.reversed ^ k];
            if (nodes.valid(node))
                entry.corners[k] = nodes[node].position + side_vector(nodes[node]) * offset;
        }
        const int32_t held = road.sides[facing].profile;
        if (held != -1 && held != edges[edge].sides[side].profile) {
            // Removing the other block lowers the numbers above it, this block's among them.
            remove_city_block(entry.edge, facing);
        } else if (held == -1 && segment_slot(road.segment_slot)) {
            segment_slot(road.segment_slot)->free(*this);
            rebuild.push_back(entry.edge);
        }
        road.sides[facing].profile = edges[edge].sides[side].profile;
    }

    map_cityblock_t& block = cityblocks[edges[edge].sides[side].profile];
    block.point_count = 4;
    vec3_t* corner = block.points;
    int32_t c = 1 - side;
    const perimeter_entry_t* current = &list[0];
    if (closed) {
        for (int32_t i = 0; i < 4; ++i) {
            corner[i] = current->corners[c];
            int32_t next_corner = 0;
            if (const perimeter_entry_t* next = entry_at(list, current, current->corners[1 - c], next_corner)) {
                current = next;
                c = next_corner;
            }
        }
    } else if (list.size() == 1) {
        const map_edge_t& road = edges[current->edge];
        for (int32_t k = 0; k < 2; ++k) {
            const int32_t end = k == 0 ? c : 1 - c;
            corner[k] = current->corners[end];
            const int32_t node = road.nodes[end];
            vec3_t outward = nodes.valid(node) ? current->corners[end] - nodes[node].position : vec3_t{};
            if (outward.length_sq() > 0.0f)
                outward = outward.normalized();
            corner[3 - k] = current->corners[end] + outward * road.length;
        }
    } else {
        // Go to the end of the chain that corner c points to.
        for (size_t pass = 0; pass < list.size(); ++pass) {
            int32_t ignored = 0;
            if (const perimeter_entry_t* next = entry_at(list, current, current->corners[c], ignored))
                current = next;
        }
        if (list.size() == 2) {
            corner[0] = corner[3] = current->corners[c];
            corner[1] = current->corners[1 - c];
            float length = edges[current->edge].length;
            int32_t far = 0;
            if (const perimeter_entry_t* next = entry_at(list, current, corner[1], far)) {
                corner[2] = next->corners[1 - far];
                length = edges[next->edge].length;
            }
            const map_edge_t& road = edges[current->edge];
            const int32_t node = road.nodes[c];
            vec3_t across = nodes.valid(node) ? side_vector(nodes[node]) : vec3_t{};
            if (c != current->reversed)
                across = -across;
            corner[3] += across * length;
        } else {
            for (int32_t i = 0; i < 3; ++i) {
                corner[i] = current->corners[c];
                int32_t next_corner = 0;
                if (i < 2)
                    if (const perimeter_entry_t* next = entry_at(list, current, current->corners[1 - c], next_corner)) {
                        current = next;
                        c = next_corner;
                    }
            }
            corner[3] = current->corners[1 - c];
        }
    }

    // Texture coordinates from the ground plane, centred on the block by whole repeats.
    float mean_u = 0.0f;
    float mean_v = 0.0f;
    for (int32_t i = 0; i < 4; ++i) {
        block.texcoords[i][0] = corner[i].x * texture_scale;
        block.texcoords[i][1] = corner[i].z * texture_scale;
        corner[i].y += block_lift;
        mean_u += block.texcoords[i][0] * 0.25f;
        mean_v += block.texcoords[i][1] * 0.25f;
    }
    for (int32_t i = 0; i < 4; ++i) {
        block.texcoords[i][0] -= std::round(mean_u);
        block.texcoords[i][1] -= std::round(mean_v);
    }
    for (int32_t i = 0; i < 4; ++i)
        block.normals[i] = points_compute_normal(corner[i], corner[(i + 3) % 4], corner[(i + 1) % 4]);

    // Buildings already standing on the block follow its new outline.
    if (seg_server && block.instance != 0 && block.instance <= seg_server->city_blocks.size() &&
        seg_server->city_blocks[block.instance - 1])
        seg_server->build_city_blocks(*seg_server->city_blocks[block.instance - 1], block);
    for (const int32_t road : rebuild)
        if (segment_t* slot = segment_slot(edges[road].segment_slot))
            slot->build(*this, edges[road], false);
    return true;
}

int32_t edit_ctrl_e::add_city_block(const int32_t edge, const int32_t side)
{
    if (!edges.valid(edge) || edges[edge].kind != map_edge_city_road || (side != 0 && side != 1))
        return -1;
    if (cityblocks.valid(edges[edge].sides[side].profile))
        return edges[edge].sides[side].profile;
    const int32_t added = add_cityblock();
    if (added < 0)
        return -1;
    cityblocks[added] = map_cityblock_t{};
    cityblocks[added].shader = -1;
    edges[edge].sides[side].profile = added;
    if (!build_city_block(edge, side)) {
        remove_city_block(edge, side);
        return -1;
    }
    // The build may have removed other blocks below this one, which moved it down.
    return edges[edge].sides[side].profile;
}
