#include "world/decal_generic.h"

#include <cstring>

#include "engine/cache.h"
#include "engine/eblock.h"
#include "engine/entity_proc.h"
#include "common/engine_api.h"
#include "physics/cd_geo.h"

namespace {

constexpr evalue_def_t type_class_def = evalue_member("type_class", evalue_unsigned, sizeof(uint32_t),
                                                      evalue_bind<&decal_generic_e::type_class>, nullptr, "0");

// Seconds a cleared decal lingers before its block goes.
constexpr float cleared_life = 3.0f;

}  // namespace

decal_generic_e::decal_generic_e()
{
    entity_flags |= 0x4000u;
    item_ = api::mm_sys_get_new_anitem();
    if (item_) {
        item_->kind = ci_kind_entity;
        item_->object = static_cast<entity_t*>(this);
        item_->user = reinterpret_cast<intptr_t>(static_cast<cache_releasable_t*>(this));
        api::ci_inc_refs(item_);
    }
}

decal_generic_e::~decal_generic_e()
{
    if (!item_)
        return;
    // Nothing may reach this entity through the item once it is gone.
    client_decal_remove(item_, true);
    item_->object = nullptr;
    item_->user = 0;
    api::ci_dec_refs(item_);
    if (item_->refs <= 0)
        api::mm_release_item(item_);
}

const evalue_def_t* decal_generic_e::get_evalue_root() const
{
    // The chain goes on with the object's values, reached through any instance.
    static const evalue_def_t root = [this] {
        evalue_def_t def = type_class_def;
        def.next = object_e::get_evalue_root();
        return def;
    }();
    return &root;
}

int decal_generic_e::init(int phase)
{
    if (phase == 0 && !acquired_) {
        client_decal_acquire(-1);
        acquired_ = true;
    }
    return object_e::init(phase);
}

int decal_generic_e::destroy(int phase)
{
    if (phase == 0 && acquired_) {
        client_decal_remove(item_, true);
        client_decal_release();
        acquired_ = false;
    }
    return object_e::destroy(phase);
}

void decal_generic_e::handler()
{
    if (life_ < 0.0f)
        return;
    life_ -= process() ? static_cast<float>(process()->frame_seconds()) : 0.0f;
    if (life_ <= 0.0f && block() && process())
        process()->destroy_eblock(block());
}

bool decal_generic_e::place(const decal_hit_t&, const decal_params_t*, bool) { return false; }

bool decal_generic_e::remove_oldest(int) { return false; }

void decal_generic_e::clear()
{
    life_ = cleared_life;
    client_decal_remove(item_, false);
}

void decal_generic_e::set_script_name(const char* name)
{
    std::strncpy(script_name_, name ? name : "", sizeof script_name_ - 1);
    script_name_[sizeof script_name_ - 1] = '\0';
}

void decal_generic_e::hold_geometry(cd_geo_t* geometry)
{
    if (geometry)
        ++geometry->use_count;
}

void decal_generic_e::release_geometry(cd_geo_t* geometry)
{
    if (geometry && --geometry->use_count == 0)
        delete geometry;
}
