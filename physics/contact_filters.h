#pragma once
#include <cstdint>

#include "physics/contact_kind.h"
#include "physics/physproc.h"

// Contact filters the world's physics queries use. Each reads a geometry's contact owner record
// (`cd_geo_t::owner_record`, null for a geometry without an owner): the owning entity's handle and its
// contact kind (physics/contact_kind.h). Answers are those of phys_pair_answer_t.

// The player's truck against the world: trailers are ignored, kicked boxes are touched, the rest is
// solid.
int filter_contact_pair(uintptr_t user, const cd_geo_t* moving, const cd_geo_t* candidate);
// Kicked boxes are ignored; any other owner is solid when the `cd_filter_t` at `user` lets its entity
// pass.
int filter_entity_solid(uintptr_t user, const cd_geo_t* moving, const cd_geo_t* candidate);
// Everything is solid but the kicked boxes.
int filter_not_kicked_box(uintptr_t user, const cd_geo_t* moving, const cd_geo_t* candidate);
// Rays onto the ground: only the static world (and geometry without an owner) is solid.
int filter_world_ray(uintptr_t user, const cd_geo_t* moving, const cd_geo_t* candidate);

// The module-wide pairs: the world process installs the first as its physics filter; the ground
// queries and the decals use the second.
extern const phys_pair_t contact_pair_filter;
extern const phys_pair_t world_ray_filter;
