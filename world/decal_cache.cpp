#include "world/decal_cache.h"

#include <climits>
#include <cstdio>
#include <vector>

#include "engine/cache.h"
#include "engine/eblock.h"
#include "engine/reset.h"
#include "common/cache_lists.h"
#include "physics/scene_proc.h"
#include "common/engine_api.h"
#include "physics/physproc.h"
#include "world/decal_generic.h"

namespace {

decal_cache_t the_cache;

const engine_reset_registrar_t reset_cache(reset_order_processes + 1, [] { the_cache.reset(); });

decal_generic_e* decal_of(const c_item_t* item)
{
    return item && item->kind == ci_kind_entity && item->object
               ? dynamic_cast<decal_generic_e*>(static_cast<entity_t*>(item->object))
               : nullptr;
}

}  // namespace

decal_cache_t& decal_cache() { return the_cache; }

void decal_cache_install() { decal_store_install(&the_cache); }

void decal_cache_t::acquire(int limit)
{
    if (uses_++ > 0)
        return;
    keys_.clear();
    for (int c = 0; c < class_count; ++c)
        cache_list_set_capacity(static_cast<uint8_t>(c), limit < 1 ? 0 : limit);
}

void decal_cache_t::release()
{
    if (uses_ <= 0 || --uses_ > 0)
        return;
    clear_all();
    std::vector<c_item_t*> items;
    for (const auto& [key, item] : keys_)
        items.push_back(item);
    keys_.clear();
    for (c_item_t* item : items) {
        for (int c = 0; c < class_count; ++c)
            cache_list_remove(static_cast<uint8_t>(c), item);
        api::ci_dec_refs(item);
    }
}

void decal_cache_t::reset()
{
    uses_ = 0;
    keys_.clear();
}

c_item_t* decal_cache_t::find(const std::string& key) const
{
    const auto found = keys_.find(key);
    return found == keys_.end() ? nullptr : found->second;
}

c_item_t* decal_cache_t::place(vprocess_t* process, const vec3_t& start, const vec3_t& end, const phys_pair_t& filter,
                               const char* script, const decal_params_t& params, int flags, float size)
{
    auto* world = dynamic_cast<scene_proc_t*>(process);
    if (!world || !script)
        return nullptr;
    const phys_contact_t* contact = world->physics().ray_cast(start, end, &filter, nullptr, 0, 0);
    if (!contact || !contact->second)
        return nullptr;
    decal_hit_t hit;
    hit.geometry = contact->second;
    hit.point = contact->position;
    hit.direction = (end - start).normalized();
    hit.item = contact->second_item;
    hit.other_item = contact->first_item;
    if (size <= 0.0f)
        return lookup(world, hit, script, params, flags != 0);

    const vec3_t reach{size, size, size};
    vptrlist_t<cd_geo_t*> touched;
    c_item_t* last = nullptr;
    if (!world->physics().query_box(hit.point - reach, hit.point + reach, touched, &filter))
        return nullptr;
    for (auto* node = touched.first(); node; node = node->next()) {
        decal_hit_t each = hit;
        each.geometry = node->value();
        each.item = cd_item_none;
        each.other_item = cd_item_none;
        if (c_item_t* placed = lookup(world, each, script, params, flags != 0))
            last = placed;
    }
    return last;
}

c_item_t* decal_cache_t::lookup(scene_proc_t* world, const decal_hit_t& hit, const char* script,
                                const decal_params_t& params, bool keep)
{
    // The whole script name: two long names that begin alike are two decals.
    const std::string key = std::to_string(static_cast<int>(world->world_serial())) + "|" + script;
    c_item_t* item = find(key);
    if (!item) {
        eblock_t* block = world->eblock_from_name(script);
        if (!block || !world->init_eblock(block)) {
            api::warning("decal script %s cannot be loaded", script);
            return nullptr;
        }
        decal_generic_e* decal = dynamic_cast<decal_generic_e*>(block->root());
        if (!decal || !decal->item()) {
            api::warning("decal script %s does not make a decal", script);
            world->destroy_eblock(block);
            return nullptr;
        }
        item = decal->item();
        api::ci_inc_refs(item);
        keys_[key] = item;
        decal->set_script_name(script);
    }
    decal_generic_e* decal = decal_of(item);
    if (!decal)
        return nullptr;
    if (decal->type_class >= static_cast<uint32_t>(class_count)) {
        api::warning("decal script %s names class %u; classes run from 0 to %d", script, decal->type_class,
                     class_count - 1);
        return nullptr;
    }
    const auto list = static_cast<uint8_t>(decal->type_class);
    // Trims the class to below its limit, oldest first, before the new instance joins it.
    cache_list_set_capacity(list, cache_list_capacity(list));
    // A decal that was cleared (its last instance trimmed, even just now) takes the new instance and
    // lives on, rather than take it with it when its block goes.
    decal->revive();
    if (!decal->place(hit, &params, keep))
        return nullptr;
    cache_list_append(list, item);
    return item;
}

void decal_cache_t::refresh(c_item_t* item)
{
    decal_generic_e* decal = decal_of(item);
    if (!decal || decal->life() >= 0.0f)
        return;
    decal->remove_oldest(INT_MAX);
}

void decal_cache_t::remove(c_item_t* item, bool from_keys)
{
    if (!item)
        return;
    for (int c = 0; c < class_count; ++c)
        cache_list_remove(static_cast<uint8_t>(c), item);
    if (!from_keys)
        return;
    for (auto it = keys_.begin(); it != keys_.end(); ++it)
        if (it->second == item) {
            keys_.erase(it);
            api::ci_dec_refs(item);
            return;
        }
}

bool decal_cache_t::clear(c_item_t* item)
{
    for (const auto& [key, cached] : keys_)
        if (cached == item) {
            if (decal_generic_e* decal = decal_of(item))
                decal->clear();
            return true;
        }
    return false;
}

bool decal_cache_t::clear_entity(const entity_t* entity)
{
    for (const auto& [key, cached] : keys_)
        if (cached && cached->object == entity) {
            if (decal_generic_e* decal = decal_of(cached))
                decal->clear();
            return true;
        }
    return false;
}

void decal_cache_t::clear_all()
{
    std::vector<c_item_t*> items;
    for (const auto& [key, item] : keys_)
        items.push_back(item);
    for (c_item_t* item : items)
        if (decal_generic_e* decal = decal_of(item))
            decal->clear();
}
