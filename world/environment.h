#pragma once
#include "engine/entity.h"

// The environment: sky, light, weather, registered as "environment". For now only what the type registry needs: the
// engine creates, names and destroys it by that type name.
class environment_e : public entity_t {};
