#include <vector>

#include "common/engine_api.h"
#include "editor/edit_ctrl.h"

namespace {

// The first run number of the road runs between junctions.
constexpr int32_t first_run = 100000;
// Semaphores every junction reserves beyond one per curve of its prefab.
constexpr int32_t exit_semaphores = 16;

bool is_junction(const map_edge_t& edge) { return map_edge_kind_is_prefab(edge.kind); }

}  // namespace

void edit_ctrl_e::prepare_save()
{
    for (map_edge_t& edge : edges)
        edge.traffic_road = -1;
    // The run walk: numbers every road reachable from `start` without crossing a junction. Kept on an
    // explicit stack so that a long chain cannot exhaust the call stack; each edge is numbered once.
    std::vector<int32_t> stack;
    int32_t run = first_run;
    for (int32_t j = 0; j < edges.count; ++j) {
        if (!is_junction(edges[j]))
            continue;
        for (const int32_t n : edges[j].nodes) {
            if (!nodes.valid(n))
                continue;
            const map_node_t& node = nodes[n];
            const int32_t road = node.links[1] == j ? node.links[0] : node.links[1];
            if (!edges.valid(road) || is_junction(edges[road]) || edges[road].traffic_road != -1)
                continue;
            edges[road].traffic_road = run;
            stack.push_back(road);
            while (!stack.empty()) {
                const int32_t r = stack.back();
                stack.pop_back();
                for (const int32_t m : edges[r].nodes) {
                    if (!nodes.valid(m))
                        continue;
                    for (const int32_t linked : nodes[m].links)
                        if (edges.valid(linked) && linked != r && !is_junction(edges[linked]) &&
                            edges[linked].traffic_road == -1) {
                            edges[linked].traffic_road = run;
                            stack.push_back(linked);
                        }
                }
            }
            ++run;
        }
    }
}

void edit_ctrl_e::number_edge_data()
{
    int32_t total = 0;
    for (map_edge_t& edge : edges) {
        const prefab_t* const prefab = get_prefab_def(edge, nullptr);
        if (!prefab)
            continue;
        edge.semaphore = total;
        total += static_cast<int32_t>(prefab->curves.size()) + exit_semaphores;
    }
    free_semaphores();
    semaphore_count = total;
}

void edit_ctrl_e::prepare_misc_items()
{
    for (map_miscitem_t& item : miscitems) {
        if (item.type == map_misc_headquarters) {
            item.params[1] = -1;
            float nearest = 1e21f;
            const int32_t count = seg_server ? seg_server->city_count : 0;
            for (int32_t c = 0; c < count; ++c) {
                const city_area_t& city = seg_server->cities[c];
                const vec3_t centre((city.x_min + city.x_max) * 0.5f, city.y, (city.z_min + city.z_max) * 0.5f);
                const float distance = (item.points[0] - centre).length();
                if (distance < nearest) {
                    nearest = distance;
                    item.params[1] = c;
                }
            }
        } else if (item.type == map_misc_no_weather) {
            const vec3_t& p = item.points[0];
            const auto hx = static_cast<float>(static_cast<uint32_t>(item.model_words[0]));
            const auto hz = static_cast<float>(static_cast<uint32_t>(item.model_words[1]));
            const vec3_t a(p.x - hx, p.y - 700.0f, p.z + hz);
            const vec3_t b(p.x + hx, p.y + 1300.0f, p.z - hz);
            item.points[3] = (a + b) * 0.5f;
            item.points[1] = vec3_t(std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z));
            item.points[2] = vec3_t(std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z));
        }
    }
}

void edit_ctrl_e::clean_free_item_flags()
{
    for (map_freeitem_t& item : freeitems) {
        if (!(item.flags & 1u))
            continue;
        // Only a model with a collision mesh takes part in road collision.
        const bool allowed = seg_server && item.model >= 0 &&
                             item.model < static_cast<int32_t>(seg_server->freeitem_models.size()) &&
                             seg_server->freeitem_models[static_cast<size_t>(item.model)].collision.vertex_count() > 0;
        if (!allowed)
            item.flags &= ~1u;
    }
}

void edit_ctrl_e::spread_node_value(const int32_t node)
{
    if (!nodes.valid(node))
        return;
    const map_node_t& start = nodes[node];
    if (start.links[0] == -1 || start.links[1] == -1)
        return;
    const int32_t value = start.road_name;
    // Start on the link that does not lead to a Cross.
    const bool forward_is_cross = start.link_kinds[1] == map_edge_cross;
    struct step_t {
        int32_t from;
        int32_t edge;
    };
    std::vector<step_t> stack{
        {forward_is_cross ? start.links[1] : start.links[0], forward_is_cross ? start.links[0] : start.links[1]}};
    // Each edge is spread to once, so that a ring of roads ends the walk.
    std::vector<bool> visited(static_cast<size_t>(edges.count), false);
    while (!stack.empty()) {
        const step_t step = stack.back();
        stack.pop_back();
        if (!edges.valid(step.edge) || visited[static_cast<size_t>(step.edge)])
            continue;
        visited[static_cast<size_t>(step.edge)] = true;
        for (const int32_t n : edges[step.edge].nodes) {
            if (!nodes.valid(n))
                continue;
            nodes[n].road_name = value;
            for (const int32_t linked : nodes[n].links)
                if (edges.valid(linked) && linked != step.from && linked != step.edge &&
                    edges[linked].kind != map_edge_cross)
                    stack.push_back({step.edge, linked});
        }
    }
}
