#pragma once
#include "engine/def_obj.h"

// The game context: a use-counted definition pool holding one object, "context", through which the
// new-game and load menus hand the player's choices ("player_name", "face_img_name", "headq_name",
// "load_game_name", "comp_color", "level", "scenario_def") to the controllers and the game process.

// Takes one use of the context, creating its pool on the first.
void game_context_create();
// Gives back one use (closing the loading screen first when one is open); the last use destroys the
// pool. A release without a use is reported and ignored.
void game_context_release();
// The "context" object, created on first request; null while no use is taken.
def_obj_t* game_context_get();
