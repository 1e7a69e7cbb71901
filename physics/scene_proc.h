#pragma once
#include <cstdint>

#include "engine/entity_proc.h"
#include "engine/id_sys.h"
#include "physics/physproc.h"

// An entity process with a physics world and entity ids that a network peer can name.
class scene_proc_t : public entity_proc_t {
public:
    scene_proc_t();

    physproc_t& physics() { return physics_; }
    id_sys_t& ids() { return ids_; }

    // Which world of the module's life this is (0 for the first); the decal store keys on it.
    uint32_t world_serial() const { return world_serial_; }

    // Gives the root of an instantiated block an id (`requested`, or any free one when negative),
    // registers the block under it and marks every entity of the block with it. False when the block
    // is null or empty or the id cannot be had.
    bool bind_entity_id(eblock_t* block, int requested);

protected:
    void set_world_serial(uint32_t serial) { world_serial_ = serial; }

private:
    id_sys_t ids_;
    physproc_t physics_;
    uint32_t world_serial_ = 0;
};
