#pragma once
#include <cstdint>

// Little-endian 32-bit fields of the files the game lays out, read and written through the virtual
// file system one field at a time. Each answers false when the whole field did not go through.

// Writes a signed 32-bit value.
bool vfs_write_i32(int file, int32_t value);
// Writes a 32-bit float.
bool vfs_write_f32(int file, float value);
// Reads a signed 32-bit value into `out` (left as it was on failure).
bool vfs_read_i32(int file, int32_t* out);
// Reads a 32-bit float into `out` (left as it was on failure).
bool vfs_read_f32(int file, float* out);
