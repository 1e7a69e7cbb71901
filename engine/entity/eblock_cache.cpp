// Entity block files as a kind of the resource cache: `mm_precache("/scripts/game/game.esc")` reads and
// parses the file once; the item's memory holds the parsed block, which `clone_eblock` copies into
// entities as often as asked.
#include <cstring>
#include <memory>
#include <string>

#include "../cache/cache_internal.h"
#include "engine/cache.h"
#include "engine/eblock.h"
#include "engine/entity_proc.h"
#include "engine/log.h"

namespace {

// The item's memory: one pointer to the parsed block (a pointer moves by plain copy).
struct eblock_slot_t {
    eblock_template_t* block_template;
};

void* load_eblock(c_item_t* item)
{
    std::unique_ptr<eblock_template_t> block_template = eblock_template_t::load(item->name.c_str());
    if (!block_template)
        return nullptr;
    auto* slot = static_cast<eblock_slot_t*>(ci_alloc_mem_fix(item, sizeof(eblock_slot_t)));
    if (!slot)
        return nullptr;
    slot->block_template = block_template.release();
    ci_finish_load(item);
    return slot;
}

void free_eblock(c_item_t* item)
{
    if (item->object)
        delete static_cast<eblock_slot_t*>(item->object)->block_template;
    citem_gen_mem_free(item);
}

resource_ops_t eblock_ops = {load_eblock, nullptr, free_eblock, citem_gen_mem_move, nullptr, nullptr, nullptr, 0, 0};

// Claims names ending in ".esc".
c_item_t* match_eblock(c_item_t*, intptr_t, const char* name)
{
    const size_t length = strlen(name);
    if (length < 4 || strcmp(name + length - 4, ".esc") != 0)
        return nullptr;
    c_item_t* item = mm_sys_get_new_item();
    if (item)
        item->ops = &eblock_ops;
    return item;
}

const bool eblock_kind_registered = [] {
    cache_register_builtin_loader(match_eblock);
    return true;
}();

}  // namespace

eblock_t* entity_proc_t::clone_eblock(c_item_t* item, unsigned flags)
{
    if (!item || item->ops != &eblock_ops) {
        error("<entity_proc_t> %s is not an entity block", item ? ci_get_name(item) : "(null)");
        return nullptr;
    }
    if (!item->loader || !item->loader->make_resident(item)) {
        error("<entity_proc_t> cannot load entity block %s", ci_get_name(item));
        return nullptr;
    }
    return clone_eblock(static_cast<eblock_slot_t*>(item->object)->block_template, flags);
}

eblock_t* entity_proc_t::eblock_from_name(const char* path)
{
    c_item_t* item = mm_precache(path);
    if (!item) {
        error("<entity_proc_t> cannot load entity block %s", path ? path : "(null)");
        return nullptr;
    }
    eblock_t* block = clone_eblock(item, 0);
    ci_dec_refs(item);
    return block;
}
