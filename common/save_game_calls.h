#pragma once
#include <cstdint>

// The save-game container as the menus reach it: the frame, which owns the container and the worlds,
// defines these.

// Writes the current world's save game to `path`; false, with a message, without a world or when the
// file could not be written whole.
bool save_game_write_current(const char* path);
// True when `path` opens and holds a save version that is read (12 to 14); false otherwise, reporting
// a bad version.
bool save_game_check_version(const char* path);
// Reads only the time-stamp trailer of `path`: true with the stored week value and the time of the week
// (seconds); false, outputs unchanged, when the file does not open or has no trailer.
bool save_game_read_timestamp(const char* path, int32_t* out_value, float* out_game_clock);
