#pragma once
#include "engine/entity.h"

// The economy controller, registered as "economy.ctrl". For now only what the type registry needs: the engine
// creates, names and destroys it by that type name.
class economy_ctrl_e : public entity_t {};
