#pragma once
#include "engine/entity.h"

// Decals from model geometry, registered as "decals.pmd". For now only what the type registry needs: the engine
// creates, names and destroys it by that type name.
class decals_pmd_e : public entity_t {
};
