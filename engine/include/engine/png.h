#pragma once
#include <cstddef>
#include <cstdint>

// Writes PNG images. The bytes go out through a writer, so callers can write them into the virtual
// file system (vfs_write) or memory.

// Receives the next `size` bytes of the image; answers false to stop the writing.
using png_write_fn = bool (*)(void* user, const void* bytes, size_t size);

// Compresses an image of `width` x `height` pixels given as top-down rows, `planes` interleaved
// colour planes per pixel (1 grey, 3 RGB, 4 RGBA) of `bits` bits each (8 only). Answers false, with a
// message, on bad arguments or when the writer fails.
bool png_compress(int width, int height, int planes, int bits, const uint8_t* pixels, png_write_fn write, void* user);
