#pragma once
#include <cstdint>

// The save-game container as the menus reach it: the frame, which owns the container and the worlds,
// defines these.

// Writes the current world's save game to `path`; false, with a message, without a world or when the
// file could not be written whole.
bool save_game_write_current(const char* path);
// What a whole check of a save game found.
enum save_game_check_t : int {
    save_game_loadable = 0,
    save_game_unreadable = 1,     // the file does not open
    save_game_wrong_version = 2,  // a version that is not read
    save_game_damaged = 3,        // cut short, a section refused, or bytes beyond the sections
};
// Checks the whole save game `path` without a world: its version, every section as a load would read
// it, the trailer, and that they make up the file. Reports what it refused.
save_game_check_t save_game_check_file(const char* path);
// True when `path` opens and holds a save version that is read (12 to 14); false otherwise, reporting
// a bad version.
bool save_game_check_version(const char* path);
// Reads only the time-stamp trailer of `path`: true with the stored week value and the time of the week
// (seconds); false, outputs unchanged, when the file does not open or has no trailer.
bool save_game_read_timestamp(const char* path, int32_t* out_value, float* out_game_clock);
