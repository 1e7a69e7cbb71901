#pragma once
// The height of a map's ground, taken from its road network: points along every road and city road
// (on the curves the roads are built on), the nodes and middles of the junctions and prefabs, and the
// headquarters places. Anywhere else the ground blends the heights of the points near it (inverse
// distance weights), so under a road it lies at the road's own height.
#include <cmath>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "engine/geometry.h"
#include "road/road_network.h"

class ground_field_t {
public:
    // Distance between two points taken along a road.
    static constexpr float road_step = 500.0f;

    explicit ground_field_t(const road_network_t& network)
    {
        for (int32_t e = 0; e < network.edges.count; ++e) {
            const map_edge_t& edge = network.edges[e];
            if (edge.kind == map_edge_road || edge.kind == map_edge_city_road)
                for (const vec3_t& p : road_points(network, e))
                    add(p);
            else
                for (const vec3_t& p : prefab_points(network, edge))
                    add(p);
        }
        for (const map_miscitem_t& item : network.miscitems)
            if (item.type == map_misc_headquarters)
                add(item.points[0]);
    }

    // Points every `road_step` along Road or City Road edge `e`, on the curve its road is built on.
    static std::vector<vec3_t> road_points(const road_network_t& network, const int32_t e)
    {
        const map_edge_t& edge = network.edges[e];
        std::vector<vec3_t> out;
        if (!network.nodes.valid(edge.nodes[0]) || !network.nodes.valid(edge.nodes[1]))
            return out;
        const map_node_t& a = network.nodes[edge.nodes[0]];
        const map_node_t& b = network.nodes[edge.nodes[1]];
        const float third = edge.length / 3.0f;
        const int steps = std::max(1, static_cast<int>(std::ceil(edge.length / road_step)));
        for (int k = 0; k <= steps; ++k) {
            vec3_t point;
            smooth_curve(a.position, a.direction * third, b.position, b.direction * third,
                         static_cast<float>(k) / static_cast<float>(steps), point, nullptr);
            out.push_back(point);
        }
        return out;
    }

    // The nodes of a junction or prefab edge and the middle between them (its flat plate's height).
    static std::vector<vec3_t> prefab_points(const road_network_t& network, const map_edge_t& edge)
    {
        std::vector<vec3_t> out;
        vec3_t sum(0.0f, 0.0f, 0.0f);
        for (const int32_t n : edge.nodes)
            if (network.nodes.valid(n)) {
                out.push_back(network.nodes[n].position);
                sum = sum + network.nodes[n].position;
            }
        if (!out.empty())
            out.push_back(sum / static_cast<float>(out.size()));
        return out;
    }

    // The height of the field at (x, z): the points within `reach` of the nearest, weighted by the inverse
    // fourth power of their distance; 0 on a map without points.
    float height(const float x, const float z) const
    {
        float nearest_sq = 1e30f;
        const int cx = bucket_of(x);
        const int cz = bucket_of(z);
        // Rings of buckets outwards until one holds a point, then one ring more for its neighbours.
        int found_at = -1;
        for (int ring = 0; ring < max_rings && (found_at < 0 || ring <= found_at + 1); ++ring)
            for_ring(cx, cz, ring, [&](const vec3_t& p) {
                nearest_sq = std::min(nearest_sq, distance_sq(p, x, z));
                if (found_at < 0)
                    found_at = ring;
            });
        if (found_at < 0)
            return 0.0f;
        const float reach = std::sqrt(nearest_sq) + bucket;
        const int rings = static_cast<int>(std::ceil(reach / bucket)) + 1;
        double weights = 0.0;
        double sum = 0.0;
        for (int ring = 0; ring <= rings; ++ring)
            for_ring(cx, cz, ring, [&](const vec3_t& p) {
                const double d_sq = distance_sq(p, x, z);
                if (d_sq > static_cast<double>(reach) * reach)
                    return;
                const double w = 1.0 / ((d_sq + 1.0) * (d_sq + 1.0));
                weights += w;
                sum += w * p.y;
            });
        return static_cast<float>(sum / weights);
    }

private:
    static constexpr float bucket = 10000.0f;
    static constexpr int max_rings = 64;

    static int bucket_of(const float v) { return static_cast<int>(std::floor(v / bucket)); }
    static float distance_sq(const vec3_t& p, const float x, const float z)
    {
        return (p.x - x) * (p.x - x) + (p.z - z) * (p.z - z);
    }

    void add(const vec3_t& p) { buckets_[{bucket_of(p.x), bucket_of(p.z)}].push_back(p); }

    // Calls `visit` with every point of the buckets on the square ring `ring` around (cx, cz).
    template <typename visit_t> void for_ring(const int cx, const int cz, const int ring, visit_t visit) const
    {
        for (int dz = -ring; dz <= ring; ++dz)
            for (int dx = -ring; dx <= ring; ++dx) {
                if (std::max(std::abs(dx), std::abs(dz)) != ring)
                    continue;
                const auto found = buckets_.find({cx + dx, cz + dz});
                if (found != buckets_.end())
                    for (const vec3_t& p : found->second)
                        visit(p);
            }
    }

    std::map<std::pair<int, int>, std::vector<vec3_t>> buckets_;
};
