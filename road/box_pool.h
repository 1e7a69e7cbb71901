#pragma once
#include <cstdint>
#include <vector>

#include "engine/entity_handle.h"
#include "engine/vec.h"
#include "physics/contact_owner.h"
#include "road/loose_instance.h"

class body_callback_t;
class cd_geo_box_t;
class phys_body_t;
class physproc_t;

// Boxes the pool lends, their extents and mass, and where a free box waits.
constexpr int32_t box_pool_size = 16;
// Seconds a box stays awake after it was last touched.
constexpr float box_pool_awake = 5.0f;

// One pooled box: its geometry and body, its contact owner record, when it was last touched, where it
// stands and the instance it carries (null when free).
struct box_entry_t {
    cd_geo_box_t* geometry = nullptr;
    phys_body_t* body = nullptr;
    contact_owner_t owner;
    float touch_time = 0.0f;
    vec3_t position;
    loose_instance_t* carried = nullptr;
};

// A pool of 16 physics boxes lent to the loose instances nearest the truck, one instance examined
// per frame, so that signs and barriers there can be knocked over and fall.
class box_pool_t {
public:
    box_pool_t() = default;
    ~box_pool_t();
    box_pool_t(const box_pool_t&) = delete;
    box_pool_t& operator=(const box_pool_t&) = delete;

    // Makes the 16 boxes, owned by `owner` (whose contact callbacks, when given, handle their
    // contacts) and inserted into `physics` when there is one.
    void create(physproc_t* physics, entity_handle_t owner, body_callback_t* callbacks);
    // Takes every box out of the physics and frees them.
    void destroy();
    // One frame: keeps the lent boxes awake while they were touched lately, then looks at the next
    // instance of `instances` and lends it a box when it is nearer to `truck` than a lent one.
    void update(const std::vector<loose_instance_t*>& instances, const vec3_t& truck, float world_time);
    // Takes the box back from an instance whose segment is freed.
    void give_back(loose_instance_t& instance);

    // Points each box's geometry at its owner record again, after the pool's memory moved.
    void relink_owners();
    // Draws the edges of every box as lines (the "g_colbox" debug view); answers the lines drawn.
    int debug_draw() const;

    const box_entry_t& entry(int32_t index) const { return entries_[index]; }
    bool created() const { return created_; }

private:
    // Lends box `index` to `instance` at its box offset `offset`.
    void take(int32_t index, loose_instance_t& instance, const vec3_t& offset);
    // Puts box `index` back at rest where free boxes wait.
    void park(int32_t index, const vec3_t& position);

    box_entry_t entries_[box_pool_size];
    physproc_t* physics_ = nullptr;
    // The instance examined last (an index into the list the update is given), -1 before the first.
    int32_t cursor_ = -1;
    bool created_ = false;
};
