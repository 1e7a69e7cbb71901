#pragma once
#include "engine/entity.h"

// The game controller, registered as "game.ctrl". For now only what the type registry needs: the engine
// creates, names and destroys it by that type name.
class game_ctrl_e : public entity_t {
};
