// Finding, mapping and precaching named resources through the registered loaders.
#include <algorithm>
#include <string>
#include <vector>

#include "cache_internal.h"
#include "engine/log.h"
#include "engine/reset.h"

namespace {

// One registered loader.
struct loader_entry_t {
    int handle;
    c_item_t* parent;
    mm_loader_match_t match;
    intptr_t argument;
};

std::vector<loader_entry_t> loaders;
int next_handle = 1;

// Kinds built into the engine, asked after the registered loaders.
std::vector<mm_loader_match_t>& builtin_loaders()
{
    static std::vector<mm_loader_match_t> builtins;
    return builtins;
}

// Asks the loaders to claim `name`; the item comes back named, listed and with one reference.
c_item_t* claim(const std::string& name)
{
    c_item_t* item = nullptr;
    // A loader may register or unregister loaders while it matches: walk a copy.
    const std::vector<loader_entry_t> snapshot = loaders;
    for (const loader_entry_t& loader : snapshot)
        if ((item = loader.match(loader.parent, loader.argument, name.c_str())))
            break;
    if (!item)
        for (const mm_loader_match_t match : builtin_loaders())
            if ((item = match(nullptr, 0, name.c_str())))
                break;
    if (!item)
        return nullptr;
    if (item->name.empty())
        item->name = name;
    cache_list_named(item);
    return item;
}

// Drops the unused items, then answers the item cached under `name` with one more reference, or null;
// `normal` receives the normal form of the name either way.
c_item_t* take_cached(const char* name, std::string& normal)
{
    cache_evict_unused();
    normal = cache_normal_name(name);
    c_item_t* item = cache_find_named(normal);
    if (item)
        ci_inc_refs(item);
    return item;
}

// The named item with one reference taken, claimed by a loader when the cache has none yet.
c_item_t* map_named(const char* name)
{
    if (!name || !*name) {
        error("cache: empty resource name");
        return nullptr;
    }
    std::string normal;
    if (c_item_t* item = take_cached(name, normal))
        return item;
    c_item_t* item = claim(normal);
    if (!item)
        warning("cache: no loader takes %s", normal.c_str());
    return item;
}

void reset_loaders()
{
    loaders.clear();
    next_handle = 1;
}

engine_reset_registrar_t loaders_reset_registrar(reset_order_cache - 1, reset_loaders);

}  // namespace

// Registers a kind of the engine itself (static initialisation of its source file).
void cache_register_builtin_loader(mm_loader_match_t match) { builtin_loaders().push_back(match); }

ENGINE_API bool ci_makeup_ops(resource_ops_t* ops)
{
    if (!ops)
        return false;
    if (!ops->free)
        ops->free = citem_gen_mem_free;
    return true;
}

ENGINE_API int mm_register_loader(c_item_t* parent, mm_loader_match_t match, intptr_t argument)
{
    if (!match)
        return 0;
    loaders.push_back({next_handle, parent, match, argument});
    return next_handle++;
}

ENGINE_API bool mm_unregister_loader(int handle)
{
    const auto found = std::find_if(loaders.begin(), loaders.end(),
                                    [handle](const loader_entry_t& loader) { return loader.handle == handle; });
    if (found == loaders.end())
        return false;
    loaders.erase(found);
    return true;
}

ENGINE_API c_item_t* mm_map(const char* name) { return map_named(name); }

ENGINE_API c_item_t* mm_map_fld(const char* name, mm_item_factory_t factory, void* owner)
{
    if (!name || !*name || !factory) {
        error("cache: mm_map_fld needs a name and a factory");
        return nullptr;
    }
    std::string normal;
    if (c_item_t* item = take_cached(name, normal))
        return item;
    c_item_t* item = factory(name, owner);
    if (!item)
        return nullptr;
    if (item->name.empty() || cache_normal_name(item->name.c_str()) != normal)
        item->name = normal;
    cache_list_named(item);
    return item;
}

ENGINE_API c_item_t* mm_precache(const char* name)
{
    c_item_t* item = map_named(name);
    if (!item)
        return nullptr;
    if (!cache_loader_table().make_resident(item)) {
        ci_dec_refs(item);
        return nullptr;
    }
    return item;
}
