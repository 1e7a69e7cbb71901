#include "physics/contact_filters.h"

#include "engine/entity_handle.h"
#include "physics/cd_filter.h"
#include "physics/cd_geo.h"
#include "physics/contact_owner.h"

namespace {

bool has_owner(const cd_geo_t* geometry) { return geometry && geometry->owner_record; }

int32_t kind_of(const cd_geo_t* geometry) { return geometry->owner_record->tag; }

}  // namespace

const phys_pair_t contact_pair_filter{filter_contact_pair, 0};
const phys_pair_t world_ray_filter{filter_world_ray, 0};

int filter_contact_pair(uintptr_t, const cd_geo_t* moving, const cd_geo_t* candidate)
{
    if (candidate) {
        if (!has_owner(candidate))
            return phys_pair_solid;
        if (kind_of(candidate) == contact_kind_trailer)
            return phys_pair_ignore;
        if (kind_of(candidate) == contact_kind_kicked_box)
            return phys_pair_touch;
    }
    if (!has_owner(moving))
        return phys_pair_solid;
    if (kind_of(moving) == contact_kind_trailer)
        return phys_pair_ignore;
    if (kind_of(moving) != contact_kind_kicked_box)
        return phys_pair_solid;
    // A moving kicked box touches the player's truck and the vehicles and stops at everything else.
    const int32_t other = candidate ? kind_of(candidate) : 0;
    return other == contact_kind_player || other == contact_kind_vehicle ? phys_pair_touch : phys_pair_solid;
}

int filter_entity_solid(uintptr_t user, const cd_geo_t*, const cd_geo_t* candidate)
{
    if (!has_owner(candidate))
        return phys_pair_solid;
    if (kind_of(candidate) == contact_kind_kicked_box)
        return phys_pair_ignore;
    const auto* filter = reinterpret_cast<const cd_filter_t*>(user);
    if (!filter)
        return phys_pair_solid;
    const entity_t* owner = entity_handle_t::from_word(candidate->owner_record->owner_word).resolve();
    return filter->query(owner) ? phys_pair_solid : phys_pair_ignore;
}

int filter_not_kicked_box(uintptr_t, const cd_geo_t*, const cd_geo_t* candidate)
{
    if (!has_owner(candidate))
        return phys_pair_solid;
    return kind_of(candidate) == contact_kind_kicked_box ? phys_pair_ignore : phys_pair_solid;
}

int filter_world_ray(uintptr_t user, const cd_geo_t*, const cd_geo_t* candidate)
{
    if (user)
        return phys_pair_ignore;
    if (!has_owner(candidate))
        return phys_pair_solid;
    return kind_of(candidate) == contact_kind_world ? phys_pair_solid : phys_pair_ignore;
}
