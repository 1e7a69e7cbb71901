#pragma once
#include <cstdint>

// The save-game container as the menus reach it. The frame, which owns the container and the worlds,
// installs the writer and the checker; the trailer is read here.

// What a whole check of a save game found.
enum save_game_check_t : int {
    save_game_loadable = 0,
    save_game_unreadable = 1,     // the file does not open
    save_game_wrong_version = 2,  // a version that is not read
    save_game_damaged = 3,        // cut short, a section refused, or bytes beyond the sections
};

// The container's calls that need the worlds and the section owners' checks.
class save_games_t {
public:
    virtual ~save_games_t() = default;
    virtual bool write_current(const char* path) = 0;
    virtual save_game_check_t check_file(const char* path) = 0;
};

// Installs the container's calls (null withdraws them); the caller keeps them alive while installed.
void save_games_install(save_games_t* calls);

// Writes the current world's save game to `path`; false, with a message, without a world or when the
// file could not be written whole.
bool save_game_write_current(const char* path);
// Checks the whole save game `path` without a world: its version, every section as a load would read
// it, the trailer, and that they make up the file. Reports what it refused.
save_game_check_t save_game_check_file(const char* path);
// Reads only the time-stamp trailer of `path`: true with the stored week value and the time of the week
// (seconds); false, outputs unchanged, when the file does not open or has no trailer.
bool save_game_read_timestamp(const char* path, int32_t* out_value, float* out_game_clock);
