#pragma once
#include "engine/entity.h"

// Decals wrapped onto the ground, registered as "decals.wrap". For now only what the type registry needs: the engine
// creates, names and destroys it by that type name.
class decals_wrap_e : public entity_t {
};
