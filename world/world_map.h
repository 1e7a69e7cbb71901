#pragma once
#include "engine/entity.h"

// The static world map, registered as "world.map". For now only what the type registry needs: the engine
// creates, names and destroys it by that type name.
class world_map_e : public entity_t {};
