#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Shader files: at most one line "texture WIDTH HEIGHT" naming the size of the shader's texture. The
// renderer reads them for its shader records (`gfx_shader_t`), which is also the object of a shader's
// resource-cache item (`mm_precache("/shaders/x.shd")`); see docs/formats.md, "Graphics".

// What a shader file says.
struct shader_resource_t {
    bool has_texture = false;  // the shader names a texture
    int32_t width = 0;         // the texture's size in pixels, 0 without a texture
    int32_t height = 0;
};

// Reads the text of a shader file named `source` (in messages) into `out`. False, with the first fault
// reported as "<source>:<line>: <what>", when the text is not a shader file.
bool shader_resource_parse(std::string_view text, const std::string& source, shader_resource_t& out);
