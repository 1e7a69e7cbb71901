#pragma once

#include <vector>

#include "engine/vec.h"

class entity_t;
struct decal_request_t;
struct c_item_t;
struct r_light_t;

// What a world's scenery asks of the world process it lives in: its lights, the entity drawn before
// the world (the sky), and entity blocks it loads into the world. The world process implements it;
// a part reaches it by casting its process, so a process without it means there is nothing to ask.
class world_services_t {
public:
    virtual ~world_services_t() = default;
    // A new light held by the world, or null when it cannot be had.
    virtual r_light_t* new_light() = 0;
    // Gives back a light made by new_light; false for one the world did not make.
    virtual bool remove_light(r_light_t* light) = 0;
    // The cache items of the world's lights (each item's memory its r_light_t), oldest first.
    virtual const std::vector<c_item_t*>& light_items() const = 0;
    // The entity drawn before the world, one use held while it is set; clearing names the entity so
    // that a later one is not cleared by an earlier.
    virtual void set_background(entity_t* entity) = 0;
    virtual void clear_background(entity_t* entity) = 0;
    // The world's sky dome, drawn after the background and before the world, one use held the same
    // way.
    virtual void set_sky(entity_t* entity) = 0;
    virtual void clear_sky(entity_t* entity) = 0;
    // Loads and instantiates the block `script` into the world; its root entity, or null when the
    // block cannot be loaded or is empty.
    virtual entity_t* instantiate_block(const char* script) = 0;
    // Places a decal from `script` where the ray from `start` to `end` meets the static world; with
    // `remember` the world keeps it for its next draw and answers null. A world without decals places
    // none.
    virtual c_item_t* place_decal(bool /*remember*/, const vec3_t& /*start*/, const vec3_t& /*end*/,
                                  const char* /*script*/, const decal_request_t& /*params*/)
    {
        return nullptr;
    }
};
