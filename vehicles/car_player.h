#pragma once
#include "engine/entity.h"

// The player's truck, registered as "actors.car". For now only what the type registry needs: the engine
// creates, names and destroys it by that type name.
class car_player_e : public entity_t {};
