#pragma once
#include "engine/entity.h"

// Exhaust smoke particles, registered as "particle.car_smoke". For now only what the type registry needs: the engine
// creates, names and destroys it by that type name.
class car_smoke_e : public entity_t {
};
