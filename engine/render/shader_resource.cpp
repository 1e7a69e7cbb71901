// Shaders as a kind of the resource cache: `mm_precache("/shaders/ui/white.shd")` answers an item whose
// object is the renderer's record of that shader (`gfx_shader_t`), so views that keep a shader by
// cache handle hand the record itself to the renderer.
#include <cstring>
#include <strings.h>

#include "../cache/cache_internal.h"
#include "engine/cache.h"
#include "engine/gfx_render.h"

namespace {

// Kind number of shaders for the purge calls.
constexpr int32_t shader_kind_number = 2;

// The renderer keeps its records until the engine resets: the item only points at one.
void* shader_load(c_item_t* item)
{
    const gfx_shader_t* const shader = gfx_shader_precache(item->name.c_str());
    if (!shader)
        return nullptr;
    item->object = const_cast<gfx_shader_t*>(shader);
    ci_finish_load(item);
    return item->object;
}

// The record stays the renderer's; the item forgets it and finds it again on its next load.
void shader_free(c_item_t* item) { item->object = nullptr; }

resource_ops_t shader_ops = {shader_load, nullptr, shader_free, nullptr, nullptr, nullptr, nullptr, -1,
                             shader_kind_number};

// Claims names ending in ".shd" (any case).
c_item_t* shader_match(c_item_t*, intptr_t, const char* name)
{
    const size_t length = strlen(name);
    if (length < 4 || strcasecmp(name + length - 4, ".shd") != 0)
        return nullptr;
    c_item_t* const item = mm_sys_get_new_item();
    if (item)
        item->ops = &shader_ops;
    return item;
}

const bool shader_kind_registered = [] {
    cache_register_builtin_loader(shader_match);
    return true;
}();

}  // namespace
