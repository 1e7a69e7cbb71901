#pragma once
#include "engine/entity.h"

// Falling rain, registered as "env.rain". For now only what the type registry needs: the engine
// creates, names and destroys it by that type name.
class env_rain_e : public entity_t {};
