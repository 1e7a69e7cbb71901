#pragma once
#include "engine/entity.h"

// Falling snow, registered as "env.snow". For now only what the type registry needs: the engine
// creates, names and destroys it by that type name.
class env_snow_e : public entity_t {};
