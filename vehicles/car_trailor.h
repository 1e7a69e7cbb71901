#pragma once
#include "engine/entity.h"

// The trailer, registered as "actors.trailer". For now only what the type registry needs: the engine
// creates, names and destroys it by that type name.
class car_trailor_e : public entity_t {
};
