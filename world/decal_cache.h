#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>

#include "world/decal_hit.h"
#include "common/decal_store.h"

class scene_proc_t;

// The module's one decal cache, shared by every world and counted by use. It turns a decal script into
// the decal entity serving it in a world (made from the script on first use and kept under the key
// "<world number>|<script>"), casts the placement ray, and keeps each decal class's instances in the
// class lists 0..254 (oldest first) so that a class over its limit loses its oldest instance first.
class decal_cache_t : public decal_store_t {
public:
    // Number of decal classes.
    static constexpr int class_count = 255;

    // The first use sets every class limit to `limit` (below 1: none).
    void acquire(int limit) override;
    // The last use clears every cached decal and empties the class lists and the key table.
    void release() override;
    c_item_t* place(vprocess_t* process, const vec3_t& start, const vec3_t& end, const phys_pair_t& filter,
                    const char* script, const decal_params_t& params, int flags, float size) override;
    // A decal the world remembered for a frame (a shadow, a light pool) is placed afresh every frame:
    // once the frame is drawn its instances go, so they never pile up or push tyre tracks out of their
    // class. Kept instances stay.
    void refresh(c_item_t* item) override;
    void remove(c_item_t* item, bool from_keys) override;
    bool clear(c_item_t* item) override;
    bool clear_entity(const entity_t* entity) override;

    // Finds (or makes) the decal of `script` in `world` and places one instance at `hit`; the decal's
    // item, or null when the script gives no decal or nothing was placed.
    c_item_t* lookup(scene_proc_t* world, const decal_hit_t& hit, const char* script, const decal_params_t& params,
                     bool keep);
    // Runs clear on every cached decal.
    void clear_all();

    int uses() const { return uses_; }
    // The decal item kept under `key`, or null.
    c_item_t* find(const std::string& key) const;
    // Forgets everything without touching the decals (the engine's reset frees them).
    void reset();

private:
    int uses_ = 0;
    std::unordered_map<std::string, c_item_t*> keys_;
};

// The module's decal cache.
decal_cache_t& decal_cache();
// Installs the module's decal cache as the worlds' decal store.
void decal_cache_install();
