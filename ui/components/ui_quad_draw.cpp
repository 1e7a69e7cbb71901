#include "ui/components/ui_quad_draw.h"

#include "common/c_item_ops.h"
#include "common/engine_api.h"

const float ui_quad_texcoords[16] = {0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f,
                                     0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f};

c_item_t* ui_shader_load(const char* path) { return api::mm_precache(path); }

void ui_shader_release(c_item_t*& shader)
{
    if (shader)
        api::ci_dec_refs(shader);
    shader = nullptr;
}

gfx_data_t ui_quad_record(const uint32_t flags, const int32_t vertex_count, const float* positions,
                          const uint32_t* colours, const float* texcoords)
{
    gfx_data_t data;
    data.flags = flags;
    data.primitive = gfx_triangle_strip;
    data.vertex_count = vertex_count;
    data.positions = positions;
    data.colours = colours;
    data.texcoords = texcoords;
    return data;
}

void ui_submit_quads(gfx_data_t& data, c_item_t* shader)
{
    data.shader = c_item_lock(shader);
    api::gfx_cache_data(&data);
    if (data.shader)
        c_item_release(shader);
    data.shader = nullptr;
}
