#pragma once
#include <cstdint>

#include "engine/vec.h"

struct c_item_t;
struct phys_pair_t;
class entity_t;
class vprocess_t;

// One 32-bit field of a decal's placement record.
union decal_word_t {
    float real;
    int32_t integer;
};

// The placement record of a decal: 15 fields (field n, counted from 1, at `fields[n - 1]`). Field 13
// names a list of indices; a pointer does not fit a field, so the list is held beside them.
struct decal_params_t {
    static constexpr int field_count = 15;
    // The defaults: 0; 1.0, 1.0, 1.0, 1.0; -1.0; 180.0; 0, 1.0, 0; 1.0; 0; (field 13 unset); -1; 0.
    decal_params_t() { init(); }
    // Puts every field back to its default.
    void init();

    // The fields by meaning: rotation in degrees (the frame turns by minus it), texture scale u and v,
    // scale x, y and z (z at or below 0: the depth follows the larger of width and height), angle limit
    // in degrees (180: none), the normal the limit is measured from, spread, the excluded item ids,
    // index and flags.
    float rotation() const { return fields[0].real; }
    float texture_u() const { return fields[1].real; }
    float texture_v() const { return fields[2].real; }
    vec3_t scale() const { return {fields[3].real, fields[4].real, fields[5].real}; }
    float angle_limit() const { return fields[6].real; }
    vec3_t normal() const { return {fields[7].real, fields[8].real, fields[9].real}; }
    float spread() const { return fields[10].real; }
    int32_t excluded_count() const { return index_list ? fields[11].integer : 0; }
    int32_t index() const { return fields[13].integer; }
    int32_t flags() const { return fields[14].integer; }
    // True when item `id` stands in the excluded list.
    bool excludes(uint32_t id) const;

    decal_word_t fields[field_count];
    const int32_t* index_list = nullptr;
};

// The shared entity-block and decal store of the world processes. The world scenery installs its
// store here; until one is installed, placing a decal answers null and the other calls do nothing.
class decal_store_t {
public:
    virtual ~decal_store_t() = default;
    // Takes one use of the store (the first use sets it up with room for `capacity` blocks).
    virtual void acquire(int capacity) = 0;
    // Places a decal on what the ray from `start` to `end` meets (through `filter`); null when none
    // was placed.
    virtual c_item_t* place(vprocess_t* process, const vec3_t& start, const vec3_t& end, const phys_pair_t& filter,
                            const char* script, const decal_params_t& params, int flags, float size) = 0;
    // Remakes a decal's cached data when it changed.
    virtual void refresh(c_item_t* item) = 0;
    // Gives back one use of the store.
    virtual void release() = 0;
    // Takes every entry of a decal out of the class lists, and with `from_keys` out of the key table.
    virtual void remove(c_item_t* item, bool from_keys) = 0;
    // Clears a decal the store holds; false when it holds none such.
    virtual bool clear(c_item_t* item) = 0;
    // Clears the decal `entity` when the store holds it (its block is being removed); false otherwise.
    virtual bool clear_entity(const entity_t* entity) = 0;
};

// Installs the store (null removes it); the caller keeps it alive while installed.
void decal_store_install(decal_store_t* store);

// The calls the world process makes; each forwards to the installed store.
void client_decal_acquire(int capacity);
c_item_t* client_place_decal(vprocess_t* process, const vec3_t& start, const vec3_t& end, const phys_pair_t& filter,
                             const char* script, const decal_params_t& params, int flags, float size);
void cache_item_refresh(c_item_t* item);
void client_decal_release();
void client_decal_remove(c_item_t* item, bool from_keys);
bool client_decal_clear(c_item_t* item);
bool client_decal_clear_entity(const entity_t* entity);
