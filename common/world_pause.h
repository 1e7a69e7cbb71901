#pragma once

// Pausing the world of the current bridge, for the windows that stop the game while they are shown.
// Each forwards to the game host (game_host.h); without a world they do nothing.

// True when there is a current world and it is paused.
bool current_world_paused();
// Puts the current world to sleep (or wakes it) when it is pausable; `hide` also stops its draw.
void current_world_pause(bool sleep, bool hide);
// Withdraws (false) or gives back (true) the current world's permission to pause: menus over a
// running game keep its pause state as it is while they are up.
void current_world_allow_pause(bool allow);
