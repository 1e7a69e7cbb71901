#pragma once

// The save-game container on the current world: the bridge's environment, base controller, traffic
// and economy controller are the section owners (each must implement save_section_owner_t, and the
// economy controller also save_timestamp_owner_t). Each owner is held with a use for the call.

class game_bridge_t;

// Writes the world of `bridge` to `path` (see save_game_write in frame/save_game.h).
bool save_game_write(game_bridge_t* bridge, const char* path);
// Reads `path` into the world of `bridge` (see save_game_read in frame/save_game.h).
bool save_game_read(game_bridge_t* bridge, const char* path);
