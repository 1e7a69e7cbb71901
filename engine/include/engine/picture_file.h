#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Pictures of shaders and fonts: PNG files beside the file that names them ("/ui/pics/panel.shd"
// shows "/ui/pics/panel.png", "/fonts/default.font" has its glyph sheet in "/fonts/default.png").

// A decoded picture: top-down rows of RGBA bytes.
struct picture_t {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// Largest side of a picture, in pixels; larger files are refused before their pixels are read.
constexpr int picture_side_limit = 4096;

// The picture file of a shader or font path: its extension replaced by ".png" ("" for an empty path).
std::string picture_path_of(const std::string& path);

// Decodes a PNG image of any colour type into RGBA; false with a message naming `path` when the bytes
// are not a PNG image or a side is over picture_side_limit.
bool picture_decode(const std::string& bytes, const std::string& path, picture_t& out);
