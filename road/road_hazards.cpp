#include "road/road_hazards.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/cache.h"
#include "engine/check.h"
#include "engine/def_pool.h"
#include "engine/text.h"
#include "common/engine_api.h"
#include "road/game_ctrl.h"

namespace {

// The prefab definitions that list the road hazards.
constexpr const char* prefabs_path = "/defs/seg_server/prefabs.def";
// Seconds between two redraws of the hazards.
constexpr float hazard_period = 600.0f;

}  // namespace

void road_hazards_t::load()
{
    entries_.clear();
    std::vector<std::vector<int32_t>> rows;
    c_item_t* const item = api::mm_precache(prefabs_path);
    const auto* pool = item ? static_cast<const def_pool_t*>(item->object) : nullptr;
    const def_obj_t* const prefabs = pool ? pool->find("prefabs") : nullptr;
    const auto table = ctrl_.seg_server ? static_cast<int32_t>(ctrl_.seg_server->prefab_table[seg_prefabs].size()) : 0;
    if (prefabs) {
        const int32_t count = prefabs->get_int("road_hazard_count");
        for (int32_t row = 0; row < count && row < 65536; ++row) {
            char key[32];
            snprintf(key, sizeof key, "hazard%d", row);
            const char* text = prefabs->get_value(key);
            std::vector<int32_t> indices;
            for (const char* at = text ? text : ""; *at && indices.size() < hazard_variants;) {
                const int32_t index = v_atoi(at);
                // A prefab the server does not hold ends the row: no edge is built from it.
                if (index < 0 || index >= table) {
                    api::error("%s: %s names prefab %d, of %d", prefabs_path, key, index, table);
                    break;
                }
                indices.push_back(index);
                const char* next = strchr(at, ';');
                if (!next)
                    break;
                at = next + 1;
            }
            rows.push_back(std::move(indices));
        }
    }
    if (item)
        api::ci_dec_refs(item);
    for (int32_t edge = 0; edge < ctrl_.edges.count; ++edge) {
        if (ctrl_.edges[edge].kind != map_edge_prefab)
            continue;
        for (const std::vector<int32_t>& row : rows) {
            if (row.empty() || row[0] != ctrl_.edges[edge].definition)
                continue;
            hazard_entry_t entry;
            entry.edge = edge;
            for (const int32_t variant : row) {
                entry.variants[entry.count] = variant;
                entry.first_sign[entry.count] = -1;
                for (const prefab_sign_t& sign :
                     ctrl_.seg_server->prefab_table[seg_prefabs][static_cast<size_t>(variant)].signs) {
                    const int32_t added = ctrl_.add_sign();
                    if (added < 0)
                        break;
                    ctrl_.signs[added] = map_sign_t{sign.model_id, edge, 0, {-1, -1, -1}, {-1, -1, -1}, 0, 0.0f};
                    if (entry.first_sign[entry.count] == -1)
                        entry.first_sign[entry.count] = added;
                }
                ++entry.count;
            }
            entries_.push_back(entry);
        }
    }
}

const hazard_entry_t* road_hazards_t::apply(map_edge_t& edge, const int32_t index)
{
    for (const hazard_entry_t& entry : entries_) {
        if (entry.edge != index)
            continue;
        kv_assert(entry.chosen >= 0 && entry.chosen < entry.count);
        edge.definition = entry.variants[entry.chosen];
        for (int32_t v = 0; v < entry.count; ++v) {
            if (ctrl_.signs.valid(entry.first_sign[v]))
                ctrl_.signs[entry.first_sign[v]].edge = -1;
        }
        edge.sign = entry.first_sign[entry.chosen];
        if (ctrl_.signs.valid(edge.sign))
            ctrl_.signs[edge.sign].edge = index;
        return &entry;
    }
    return nullptr;
}

void road_hazards_t::reshuffle(const float dt)
{
    timer_ += dt;
    if (timer_ < hazard_period)
        return;
    timer_ -= hazard_period;
    for (hazard_entry_t& entry : entries_) {
        if (!ctrl_.edges.valid(entry.edge) || ctrl_.edges[entry.edge].segment_slot != -1 || entry.count <= 0)
            continue;
        entry.chosen = static_cast<int32_t>(std::lround(api::sys_rand() * static_cast<float>(entry.count - 1)));
        entry.chosen = std::clamp(entry.chosen, 0, entry.count - 1);
    }
}
