#pragma once
#include <string>

// The painter's textures: pictures read through the file system on first use and kept until the
// engine is reset.

// A picture uploaded as a texture.
struct gl_picture_t {
    unsigned texture = 0;
    int width = 1;
    int height = 1;
};

// The texture of the picture at `path` (see picture_file.h); the plain white picture when the file is
// missing or cannot be read (reported once), so what names it still shows its colours.
const gl_picture_t& picture_texture(const std::string& path);
// One white pixel: what draws colours alone.
const gl_picture_t& picture_white();
