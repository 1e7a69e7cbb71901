#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Shaders as a kind of the resource cache: `mm_precache("/shaders/x.shd")` loads the shader file and
// answers an item whose object is a `shader_resource_t`, so UI code can read the size of the shader's
// texture. A missing or bad file gives no item (see docs/formats.md, "Graphics").

// The object of a shader's cache item.
struct shader_resource_t {
    bool has_texture = false;  // the shader names a texture
    int32_t width = 0;         // the texture's size in pixels, 0 without a texture
    int32_t height = 0;
};

// Reads the text of a shader file named `source` (in messages) into `out`. False, with the first fault
// reported as "<source>:<line>: <what>", when the text is not a shader file.
bool shader_resource_parse(std::string_view text, const std::string& source, shader_resource_t& out);
