#pragma once

// Module-wide values that the game process's console variables "g_details" and "g_traffic_density"
// keep, readable by every subsystem.
int game_detail_level();
float game_traffic_density();

// Set by the game process when those variables change.
void set_game_detail_level(int level);
void set_game_traffic_density(float density);
