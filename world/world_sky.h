#pragma once
#include "engine/entity.h"

// The sky drawn behind the world, registered as "world.sky". For now only what the type registry needs: the engine
// creates, names and destroys it by that type name.
class world_sky_e : public entity_t {};
