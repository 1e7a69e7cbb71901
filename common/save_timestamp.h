#pragma once
#include <cstdint>

// The time-stamp trailer that ends every save game: the 16 bytes of "t1m3st4mph34d3r" with its NUL, a
// 32-bit value of the economy controller and the game clock (float seconds of the game week). The save
// lists read it alone (save_game_read_timestamp) without reading the rest of the file.

// Bytes of the trailer.
constexpr int32_t save_timestamp_size = 24;
// Bytes of the trailer's magic, its NUL included.
constexpr int save_timestamp_magic_size = 16;
// The trailer's magic.
extern const char save_timestamp_magic[save_timestamp_magic_size];

// Writes the trailer with its two values; answers 24, or -1 when a write fell short.
int32_t save_timestamp_write_values(int file, int32_t value, float game_clock);
// Reads a trailer at the file's position: answers 24 with the two values stored (either out may be
// null), or -1 when the magic differs or the file ends early (then neither out is changed).
int32_t save_timestamp_read_values(int file, int32_t* out_value, float* out_game_clock);
