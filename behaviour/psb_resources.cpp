#include "behaviour/psb_resources.h"

#include "behaviour/psb_behavior_runner.h"
#include "behaviour/psb_info_load.h"
#include "behaviour/psb_layer_load.h"

#include "common/engine_api.h"
#include "common/loader_lock.h"
#include "common/resource_match.h"

#include <cstring>

namespace {

// Kind numbers of the description files for the cache's purge calls.
enum psb_kind_number_t : int32_t { kind_psb_info = 30, kind_psb_layer = 31 };

// The finish of both kinds: gives back the loader lock the matcher took.
void release_loader_lock(c_item_t*) { loader_unlock(); }

// True when `name` ends exactly (byte for byte, case included) in `suffix`: description names are
// case-sensitive, so "walk.LAYER.xml" is no layer.
bool ends_exactly_in(const char* name, const char* suffix)
{
    if (!name)
        return false;
    const size_t length = strlen(name);
    const size_t suffix_length = strlen(suffix);
    return length >= suffix_length && memcmp(name + length - suffix_length, suffix, suffix_length) == 0;
}

// The common match of both kinds: the exact suffix, then the shared item making.
c_item_t* match_description(const char* name, const char* suffix, const resource_ops_t* ops)
{
    return ends_exactly_in(name, suffix) ? match_by_suffix(name, suffix, ops) : nullptr;
}

}  // namespace

resource_ops_t psb_info_ops = {psb_info_load,       nullptr, psb_info_free, psb_info_move, nullptr, nullptr,
                               release_loader_lock, -1,      kind_psb_info};
resource_ops_t psb_layer_ops = {psb_layer_load,      nullptr, psb_layer_free, nullptr, nullptr, nullptr,
                                release_loader_lock, -1,      kind_psb_layer};

void psb_info_makeup_ops()
{
    // Blocks compiled from now on name the runner operations the engine calls.
    psb_register_runner_ops();
    api::ci_makeup_ops(&psb_info_ops);
}
void psb_layer_makeup_ops() { api::ci_makeup_ops(&psb_layer_ops); }

c_item_t* psb_info_loader_match(c_item_t*, intptr_t, const char* name)
{
    return match_description(name, ".info.xml", &psb_info_ops);
}

c_item_t* psb_layer_loader_match(c_item_t*, intptr_t, const char* name)
{
    return match_description(name, ".layer.xml", &psb_layer_ops);
}
