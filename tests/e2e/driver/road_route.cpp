#include "road_route.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <queue>
#include <sstream>

#include "engine/arg.h"
#include "engine/def_obj.h"
#include "engine/def_pool.h"
#include "engine/geometry.h"
#include "engine/psm.h"
#include "road/map_file.h"
#include "road/segment_terrain.h"

namespace {

bool read_text(const std::string& path, std::string& out)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    out.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

float ground_distance(const vec3_t& a, const vec3_t& b) { return std::hypot(a.x - b.x, a.z - b.z); }

// From a definition text "model;lanes;lanes;first lane offset;lane width": how far right of the middle
// lane 1 runs (lane L runs at the first lane offset + L lane widths, as the traffic and the road-direction
// check have it), and half the width of the road's surface, which is that of the model's collision part
// "coll" (the carriageway with its shoulders or sidewalks).
bool read_widths(const char* text, float& half_width, float& lane_offset)
{
    arg_t items;
    if (!text || items.separate(text, ";") < 5)
        return false;
    lane_offset = static_cast<float>(std::atoi(items[3]) + std::atoi(items[4]));
    psm_info_t* const model = psm_alloc_info(items[0]);
    if (!model)
        return false;
    half_width = 0.0f;
    for (int p = 0; p < model->part_count; ++p) {
        const psm_part_t& part = model->parts[p];
        if (std::string(part.name) == "coll")
            for (int v = 0; v < part.vertex_count; ++v)
                half_width = std::max(half_width, std::fabs(part.positions[v].x));
    }
    psm_info_release(model);
    return half_width > 0.0f;
}

}  // namespace

bool road_route_t::load(const std::string& data_root, const std::string& map_path, std::string& error)
{
    std::string bytes;
    if (!read_text(map_path, bytes)) {
        error = "cannot read " + map_path;
        return false;
    }
    if (map_file_read(network_, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), nullptr,
                      map_path.c_str()) < 0) {
        error = "the map " + map_path + " is refused";
        return false;
    }
    std::string defs;
    const std::string defs_path = data_root + "/defs/seg_server/road_segs.def";
    if (!read_text(defs_path, defs)) {
        error = "cannot read " + defs_path;
        return false;
    }
    const std::unique_ptr<def_pool_t> pool = def_pool_t::parse(defs, defs_path);
    const def_obj_t* const segs = pool ? pool->find("road_segs") : nullptr;
    float unused = 0.0f;
    if (!segs || !read_widths(segs->get_value("road0"), road_half_width_, lane_offset_) ||
        !read_widths(segs->get_value("city_road0"), city_half_width_, unused)) {
        error = "no lane widths in " + defs_path;
        return false;
    }

    links_.assign(static_cast<size_t>(network_.nodes.count), {});
    for (int32_t e = 0; e < network_.edges.count; ++e) {
        const map_edge_t& edge = network_.edges[e];
        int32_t nodes[4];
        int count = 0;
        for (const int32_t node : edge.nodes)
            if (node >= 0 && node < network_.nodes.count)
                nodes[count++] = node;
        const bool junction = map_edge_kind_is_prefab(edge.kind);
        for (int a = 0; a < count; ++a)
            for (int b = 0; b < count; ++b) {
                if (a == b || (!junction && !(a == 0 && b == 1) && !(a == 1 && b == 0)))
                    continue;
                const float length =
                    junction ? ground_distance(network_.nodes[nodes[a]].position, network_.nodes[nodes[b]].position)
                             : std::max(edge.length, 1.0f);
                links_[static_cast<size_t>(nodes[a])].push_back({e, nodes[b], length});
            }
    }
    return true;
}

int32_t road_route_t::nearest_node(const vec3_t& position) const
{
    int32_t best = -1;
    float best_distance = std::numeric_limits<float>::max();
    for (int32_t n = 0; n < network_.nodes.count; ++n) {
        if (links_[static_cast<size_t>(n)].empty())
            continue;
        const float distance = ground_distance(network_.nodes[n].position, position);
        if (distance < best_distance) {
            best_distance = distance;
            best = n;
        }
    }
    return best;
}

int32_t road_route_t::dock_entry(const int32_t trader) const
{
    for (int32_t e = 0; e < network_.edges.count; ++e) {
        const map_edge_t& edge = network_.edges[e];
        if (edge.kind == map_edge_fork && edge.sides[0].vegetation == trader)
            return edge.nodes[0];
    }
    return -1;
}

bool road_route_t::route(const int32_t from, const int32_t to, const float spacing,
                         std::vector<route_point_t>& out) const
{
    const size_t count = links_.size();
    if (from < 0 || to < 0 || static_cast<size_t>(from) >= count || static_cast<size_t>(to) >= count)
        return false;
    std::vector<float> cost(count, std::numeric_limits<float>::max());
    std::vector<const link_t*> came_by(count, nullptr);
    std::vector<int32_t> came_from(count, -1);
    using entry_t = std::pair<float, int32_t>;
    std::priority_queue<entry_t, std::vector<entry_t>, std::greater<>> open;
    cost[static_cast<size_t>(from)] = 0.0f;
    open.push({0.0f, from});
    while (!open.empty()) {
        const auto [so_far, node] = open.top();
        open.pop();
        if (so_far > cost[static_cast<size_t>(node)])
            continue;
        for (const link_t& link : links_[static_cast<size_t>(node)]) {
            const float next = so_far + link.length;
            if (next < cost[static_cast<size_t>(link.to)]) {
                cost[static_cast<size_t>(link.to)] = next;
                came_by[static_cast<size_t>(link.to)] = &link;
                came_from[static_cast<size_t>(link.to)] = node;
                open.push({next, link.to});
            }
        }
    }
    if (from != to && !came_by[static_cast<size_t>(to)])
        return false;
    std::vector<int32_t> nodes;
    for (int32_t node = to; node != from; node = came_from[static_cast<size_t>(node)])
        nodes.push_back(node);
    nodes.push_back(from);
    std::reverse(nodes.begin(), nodes.end());
    for (size_t i = 1; i < nodes.size(); ++i)
        append_edge(came_by[static_cast<size_t>(nodes[i])]->edge, nodes[i - 1], nodes[i], spacing, out);
    return true;
}

void road_route_t::append_edge(const int32_t e, const int32_t from, const int32_t to, const float spacing,
                               std::vector<route_point_t>& out) const
{
    const map_edge_t& edge = network_.edges[e];
    const map_node_t& a = network_.nodes[from];
    const map_node_t& b = network_.nodes[to];
    const bool junction = map_edge_kind_is_prefab(edge.kind);
    vec3_t p0, t0, p1, t1;
    float length = 0.0f;
    float half_width = edge.kind == map_edge_city_road ? city_half_width_ : road_half_width_;
    if (junction) {
        // Through a junction from one arm to another, in and out along the arms. A node's direction is
        // the way its road runs, which points into the junction on some arms and out of it on others.
        length = ground_distance(a.position, b.position);
        const vec3_t across = b.position - a.position;
        const auto towards = [&](const vec3_t& direction) {
            const vec3_t unit = direction.normalized();
            return unit.x * across.x + unit.z * across.z < 0.0f ? -unit : unit;
        };
        p0 = a.position;
        t0 = towards(a.direction) * (length / 3.0f);
        p1 = b.position;
        t1 = towards(b.direction) * (length / 3.0f);
    } else {
        const bool forward = edge.nodes[0] == from;
        const road_curve_t curve(network_.nodes[edge.nodes[0]], network_.nodes[edge.nodes[1]], edge.length);
        p0 = forward ? curve.start : curve.end;
        t0 = forward ? curve.start_tangent : -curve.end_tangent;
        p1 = forward ? curve.end : curve.start;
        t1 = forward ? curve.end_tangent : -curve.start_tangent;
        length = std::max(edge.length, 1.0f);
    }
    const int steps = std::max(1, static_cast<int>(length / spacing));
    // The first point of an edge is the last of the one before.
    for (int i = out.empty() ? 0 : 1; i <= steps; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(steps);
        vec3_t point, tangent;
        smooth_curve(p0, t0, p1, t1, t, point, &tangent);
        const vec3_t right = tangent.cross({0.0f, 1.0f, 0.0f}).normalized();
        out.push_back({point + right * lane_offset_, point, half_width, e});
    }
}
