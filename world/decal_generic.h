#pragma once
#include <array>
#include <cstdint>

#include "common/cache_lists.h"
#include "common/object_e.h"
#include "world/decal_hit.h"
#include "common/decal_store.h"

class cd_geo_t;

// Links a class's property descriptors in array order and ends the chain with its base's chain.
template <size_t count>
const evalue_def_t* decal_property_chain(std::array<evalue_def_t, count>& defs, const evalue_def_t* base)
{
    for (size_t i = 0; i < count; ++i)
        defs[i].next = i + 1 < count ? &defs[i + 1] : base;
    return &defs[0];
}

// Base of every decal entity: one per decal script, holding the instances placed from it. It owns the
// cache item through which the decal store and its class lists name it; the item's `user` word leads
// back here so a full class list can ask it to give up its oldest instance.
class decal_generic_e : public object_e, public cache_releasable_t {
public:
    decal_generic_e();
    ~decal_generic_e() override;

    const evalue_def_t* get_evalue_root() const override;
    const char* get_default_name() const override { return "decal_generic"; }
    // Phase 0 takes a use of the decal store.
    int init(int phase) override;
    // The last phase leaves the store (key table included) and gives its use back.
    int destroy(int phase) override;
    // Counts a cleared decal's life down and destroys its block when it runs out.
    void handler() override;

    // Places one instance at `hit`; `keep` instances are never taken away as the oldest.
    virtual bool place(const decal_hit_t& hit, const decal_params_t* params, bool keep);
    // A further placement hook; none in the base.
    virtual bool place_more() { return false; }
    // Removes up to `count` of the oldest instances; false when fewer went.
    virtual bool remove_oldest(int count);
    // Starts the decal's last 3 seconds and takes it out of the class lists.
    virtual void clear();
    // A cleared decal placed again lives on instead of taking its new instances with it.
    void revive() { life_ = -1.0f; }
    // A full class list asks for one instance (reason 1).
    bool can_release(int reason) override { return reason == 1 && remove_oldest(1); }

    // Copies at most 63 characters of the script name (for show: the cache keys on the whole name).
    void set_script_name(const char* name);
    const char* script_name() const { return script_name_; }
    // The item the store and its class lists hold the decal by.
    c_item_t* item() const { return item_; }
    // Seconds left before a cleared decal destroys its block; -1 while alive.
    float life() const { return life_; }
    // Index of the class whose instance limit applies.
    uint32_t type_class = 0;

protected:
    // Raises the geometry's use count for one more instance on it.
    static void hold_geometry(cd_geo_t* geometry);
    // Lowers it, deleting the geometry when the last use goes.
    static void release_geometry(cd_geo_t* geometry);

private:
    c_item_t* item_ = nullptr;
    float life_ = -1.0f;
    bool acquired_ = false;
    char script_name_[64] = "";
};
