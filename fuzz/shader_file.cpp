// Feeds arbitrary bytes to the shader file reader: a shader that parses has a texture of a size in
// range or none at all, and the reader may neither crash nor overrun.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/log.h"
#include "engine/shader_resource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    shader_resource_t shader;
    if (shader_resource_parse(text, "fuzz.shd", shader)) {
        const bool sized = shader.width >= 1 && shader.width <= 65536 && shader.height >= 1 && shader.height <= 65536;
        if (shader.has_texture != sized || (!shader.has_texture && (shader.width != 0 || shader.height != 0)))
            __builtin_trap();
    }
    log_clear_capture();
    return 0;
}
