#pragma once
#include "engine/entity.h"

// The engine's own access to an entity's bookkeeping (type, block, process, tree links, phases).
struct entity_access {
    static void set_type(entity_t& e, const entity_reg_t* type) { e.type_ = type; }
    static void set_block(entity_t& e, eblock_t* block) { e.block_ = block; }
    static void set_process(entity_t& e, entity_proc_t* process) { e.process_ = process; }
    static void set_sleeping(entity_t& e, bool sleeping) { e.sleeping_ = sleeping; }
    static int& phases_started(entity_t& e) { return e.phases_started_; }

    // Appends `child` as the last child of `parent`.
    static void adopt(entity_t& parent, entity_t& child)
    {
        child.parent_ = &parent;
        entity_t** link = &parent.first_child_;
        while (*link)
            link = &(*link)->next_sibling_;
        *link = &child;
    }
};

// Gives a new entity a handle slot, and takes it back when the entity goes (the handle stops
// resolving; the slot is recycled once no use is held).
entity_handle_t entity_slots_take(entity_t* entity);
void entity_slots_drop(entity_handle_t handle);
