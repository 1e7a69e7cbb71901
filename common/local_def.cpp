#include "common/local_def.h"

#include <strings.h>

#include <cstdio>

#include "engine/def_obj.h"
#include "engine/def_pool.h"
#include "engine/reset.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"

namespace {

// Path of the local definitions in the virtual file system.
constexpr const char* local_def_path = "/scripts/local.def";

// The cache item the module holds one reference on. A reference keeps the item, not its memory: the
// cache may free the pool (a mode change frees all resource memory), so every use locks the item.
c_item_t* local_def_item = nullptr;

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
    return strcasecmp(key, "__fnt_sml") == 0 || strcasecmp(key, "__fnt_mid") == 0 || strcasecmp(key, "__fnt_big") == 0;
}

// The value of `key` in the pool's "translate" objects (font keys with the screen's size suffix), or the
// key itself. Each area of the game keeps its texts in a block of its own; the first block that has the
// key answers.
const char* lookup_translation(const def_pool_t& pool, const char* key)
{
    const char* lookup = key;
    char sized_key[256];
    if (strncasecmp(key, "__", 2) == 0 && is_font_key(key)) {
        gfx_params_t params{};
        api::gfx_get_params(&params);
        snprintf(sized_key, sizeof sized_key, "%s_%d", key, font_size_index(params.height));
        lookup = sized_key;
    }
    for (int block = 0; const def_obj_t* const table = pool.find("translate", block); ++block) {
        const char* const value = table->get_value(lookup);
        if (value && value[0])
            return value;
    }
    return key;
}

// Before the cache's own reset, which reports every reference still held.
const engine_reset_registrar_t local_def_reset_registrar(reset_order_processes - 10, release_local_def);

}  // namespace

def_pool_t* load_local_def()
{
    if (!local_def_item) {
        local_def_item = api::mm_precache(local_def_path);
        if (!local_def_item) {
            api::warning("no local definitions: %s cannot be read", local_def_path);
            return nullptr;
        }
    }
    auto* const pool = static_cast<def_pool_t*>(c_item_lock(local_def_item));
    if (pool)
        c_item_release(local_def_item);
    return pool;
}

void release_local_def()
{
    c_item_t* const item = local_def_item;
    local_def_item = nullptr;
    if (item)
        api::ci_dec_refs(item);
}

const char* translate(const char* key)
{
    if (!key || !local_def_item)
        return key;
    const auto* const pool = static_cast<const def_pool_t*>(c_item_lock(local_def_item));
    if (!pool)
        return key;
    const char* const value = lookup_translation(*pool, key);
    c_item_release(local_def_item);
    return value;
}
