#include "world/world_resources.h"

#include "common/engine_api.h"
#include "common/loader_lock.h"
#include "common/resource_match.h"

namespace {

// Kind numbers of the world's resources for the cache's purge calls.
enum world_kind_number_t : int32_t {
    kind_lightmap_chunk = 20,
    kind_release_only,
    kind_geometry_chunk,
    kind_visibility_tree,
    kind_collision_sector,
    kind_texture_list,
};

// The finish of a kind whose items are made under the loader lock: gives that lock back.
void release_loader_lock(c_item_t*) { loader_unlock(); }

}  // namespace

resource_ops_t lightmap_chunk_ops = {
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, -1, kind_lightmap_chunk};
resource_ops_t release_only_ops = {nullptr, nullptr, nullptr, nullptr,          nullptr,
                                   nullptr, nullptr, -1,      kind_release_only};
resource_ops_t geometry_chunk_ops = {
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, -1, kind_geometry_chunk};
resource_ops_t visibility_tree_ops = {
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, -1, kind_visibility_tree};
resource_ops_t collision_sector_ops = {
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, release_loader_lock, -1, kind_collision_sector};
resource_ops_t texture_list_ops = {nullptr, nullptr, nullptr, nullptr,          nullptr,
                                   nullptr, nullptr, -1,      kind_texture_list};

void btr_makeup_ops() { api::ci_makeup_ops(&collision_sector_ops); }

c_item_t* btr_loader_match(c_item_t*, intptr_t, const char* name)
{
    return match_by_suffix(name, ".btr", &collision_sector_ops);
}
