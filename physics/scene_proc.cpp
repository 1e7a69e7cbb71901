#include "physics/scene_proc.h"

#include "engine/eblock.h"
#include "engine/entity.h"

scene_proc_t::scene_proc_t() { ids_.set_fifo(false); }

bool scene_proc_t::bind_entity_id(eblock_t* block, int requested)
{
    entity_t* root = block ? block->root() : nullptr;
    if (!root)
        return false;
    const int id = ids_.get(requested < 0 ? -1 : requested);
    if (id < 0)
        return false;
    root->id = id;
    ids_.set_data(id, reinterpret_cast<uintptr_t>(block));
    for (int i = 0; i < block->count(); ++i)
        block->entity(i)->block_id = id;
    return true;
}
