#include "frame/local_def.h"

#include <strings.h>

#include <cstdio>

#include "engine/def_obj.h"
#include "engine/def_pool.h"
#include "engine/reset.h"
#include "frame/engine_api.h"

namespace {

// Path of the local definitions in the virtual file system.
constexpr const char* local_def_path = "/scripts/local.def";

// The cache item the module holds one reference on, and its pool.
c_item_t* local_def_item = nullptr;
def_pool_t* local_def_pool = nullptr;

// The size suffix of the font keys for a screen `height` pixels high.
int font_size_index(int height)
{
    if (height < 600)
        return 0;
    if (height < 720)
        return 1;
    if (height < 1024)
        return 2;
    return 3;
}

// True for the keys that name a font whose size follows the screen.
bool is_font_key(const char* key)
{
    return strcasecmp(key, "__fnt_sml") == 0 || strcasecmp(key, "__fnt_mid") == 0 ||
           strcasecmp(key, "__fnt_big") == 0;
}

// Before the cache's own reset, which reports every reference still held.
const engine_reset_registrar_t local_def_reset_registrar(reset_order_processes - 10, release_local_def);

}  // namespace

def_pool_t* load_local_def()
{
    if (local_def_pool)
        return local_def_pool;
    c_item_t* const item = api::mm_precache(local_def_path);
    if (!item) {
        api::warning("no local definitions: %s cannot be read", local_def_path);
        return nullptr;
    }
    local_def_item = item;
    local_def_pool = static_cast<def_pool_t*>(item->object);
    return local_def_pool;
}

void release_local_def()
{
    c_item_t* const item = local_def_item;
    local_def_item = nullptr;
    local_def_pool = nullptr;
    if (item)
        api::ci_dec_refs(item);
}

const char* translate(const char* key)
{
    if (!key || !local_def_pool)
        return key;
    const def_obj_t* const table = local_def_pool->find("translate");
    if (!table)
        return key;
    const char* lookup = key;
    char sized_key[256];
    if (strncasecmp(key, "__", 2) == 0 && is_font_key(key)) {
        gfx_params_t params{};
        api::gfx_get_params(&params);
        snprintf(sized_key, sizeof sized_key, "%s_%d", key, font_size_index(params.height));
        lookup = sized_key;
    }
    const char* const value = table->get_value(lookup);
    return value && value[0] ? value : key;
}
