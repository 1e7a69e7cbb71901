#pragma once
#include "engine/entity.h"

// The AI traffic, registered as "traffic". For now only what the type registry needs: the engine
// creates, names and destroys it by that type name.
class traffic_e : public entity_t {
};
