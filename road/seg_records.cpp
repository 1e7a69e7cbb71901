#include "road/seg_records.h"

#include <cstring>

#include "common/engine_api.h"

seg_shader_t seg_shader_take(const char* path)
{
    seg_shader_t shader;
    shader.item = api::mm_precache(path);
    shader.shader = api::gfx_shader_precache(path);
    return shader;
}

void seg_shader_give_back(seg_shader_t& shader)
{
    if (shader.item)
        api::ci_dec_refs(shader.item);
    shader = seg_shader_t{};
}

std::string seg_file_name(const char* path)
{
    if (!path)
        return {};
    const char* const slash = std::strrchr(path, '/');
    std::string name(slash ? slash + 1 : path);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.resize(dot);
    return name;
}
