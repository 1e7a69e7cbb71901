#pragma once
#include <cstdint>

#include "common/save_game_calls.h"
#include "common/save_game_owners.h"

// The save-game container: a little-endian file of a 32-bit version, the four sections in the order
// of save_section_id_t, each written and read by its owner, and the 24-byte time-stamp trailer
// (common/save_timestamp.h). Versions 12 to 14 are read; 14 is written.

// The version written.
constexpr int32_t save_game_version = 14;
// The oldest version read.
constexpr int32_t save_game_oldest_version = 12;

// What is added to a save's path for the file it is written to before it replaces the save.
constexpr const char* save_game_temporary_suffix = ".new";

// Writes a whole save game to `path`: first to `path` + ".new", which is then renamed over `path`.
// False, with a message, when an owner is missing, the file cannot be created, or any part of it could
// not be written or moved; the old save at `path` is untouched then and the partial file removed.
bool save_game_write(const save_game_owners_t& owners, const char* path);

// Reads a whole save game into the owners. The version, the trailer, every section (each checked by
// its owner without being applied) and the sum of their sizes against the file's are checked before
// any owner loads, so a damaged file changes nothing. False, with a message, on any failure.
bool save_game_read(const save_game_owners_t& owners, const char* path);

// Checks the whole file with `checks` as save_game_read checks it with the owners, but without a world.
save_game_check_t save_game_check(const save_game_checks_t& checks, const char* path);

// True when the file opens and its version is one that is read; otherwise false, reporting a bad
// version.
bool save_game_check_version(const char* path);
