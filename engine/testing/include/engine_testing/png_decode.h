#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

// Decodes a PNG held in memory with libpng into 8-bit RGB rows; false when it is not a valid PNG.
bool png_decode_rgb(const std::vector<uint8_t>& bytes, int& width, int& height, std::vector<uint8_t>& rgb);
// The same for a PNG file on the host; false when the file cannot be read or is not a valid PNG.
bool png_decode_rgb_file(const std::filesystem::path& path, int& width, int& height, std::vector<uint8_t>& rgb);
