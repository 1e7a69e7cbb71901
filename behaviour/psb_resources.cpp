#include "behaviour/psb_resources.h"

#include "common/engine_api.h"
#include "common/loader_lock.h"
#include "common/resource_match.h"

namespace {

// Kind numbers of the description files for the cache's purge calls.
enum psb_kind_number_t : int32_t { kind_psb_info = 30, kind_psb_layer = 31 };

// The finish of both kinds: gives back the loader lock the matcher took.
void release_loader_lock(c_item_t*) { loader_unlock(); }

}  // namespace

resource_ops_t psb_info_ops = {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, release_loader_lock, -1,
                               kind_psb_info};
resource_ops_t psb_layer_ops = {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, release_loader_lock, -1,
                                kind_psb_layer};

void psb_info_makeup_ops() { api::ci_makeup_ops(&psb_info_ops); }
void psb_layer_makeup_ops() { api::ci_makeup_ops(&psb_layer_ops); }

c_item_t* psb_info_loader_match(c_item_t*, intptr_t, const char* name)
{
    return match_by_suffix(name, ".info.xml", &psb_info_ops);
}

c_item_t* psb_layer_loader_match(c_item_t*, intptr_t, const char* name)
{
    return match_by_suffix(name, ".layer.xml", &psb_layer_ops);
}
