#pragma once
#include "engine/entity.h"

// Axis-aligned wrapped decals, registered as "decals.wrap_aa". For now only what the type registry needs: the engine
// creates, names and destroys it by that type name.
class decals_wrap_aa_e : public entity_t {
};
