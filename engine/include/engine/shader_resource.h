#pragma once
#include <cstdint>

// Shaders as a kind of the resource cache: `mm_precache("/shaders/x.shd")` loads the shader file and
// answers an item whose object is a `shader_resource_t`, so UI code can read the size of the shader's
// texture. A missing or bad file gives no item (see docs/formats.md, "Graphics").

// The object of a shader's cache item.
struct shader_resource_t {
    bool has_texture = false;  // the shader names a texture
    int32_t width = 0;         // the texture's size in pixels, 0 without a texture
    int32_t height = 0;
};
