#include <algorithm>

#include "engine/gfx_record.h"
#include "engine/gfx_view.h"
#include "engine/log.h"
#include "engine/matrix.h"
#include "engine/psm.h"
#include "engine/psm_record.h"
#include "instance.h"

namespace {

std::vector<psm_draw_record_t> records;

// Records one part; `shader` null means the part's slot shader.
void record_part(psm_t& instance, int part, const void* shader, unsigned flags, unsigned colour, const void* lights)
{
    const size_t index = static_cast<size_t>(part);
    const int frame = gfx_record_frames();
    if (!records.empty() && records.front().frame < frame - 1)
        std::erase_if(records, [frame](const psm_draw_record_t& record) { return record.frame < frame - 1; });
    const psm_part_store_t& store = instance.model->part_store[index];
    psm_draw_record_t& record =
        records.emplace_back(psm_draw_record_t{&instance,
                                               part,
                                               store.drawn_name,
                                               shader ? std::string_view() : instance.shaders[index],
                                               shader,
                                               flags,
                                               colour,
                                               lights,
                                               frame,
                                               {}});
    std::copy(gfx_world_matrix(), gfx_world_matrix() + 16, record.world);
    if (store.positions.empty())
        return;
    // A part on a bone lies where the bone is posed now; its normals turn with the bone. A part without
    // one is drawn from the model's own arrays, and a posed part from arrays kept for the next part.
    static std::vector<vec3_t> posed;
    static std::vector<vec3_t> turned;
    mat4_t bone_frame;
    const bool on_bone = store.bone >= 0 && psm_bone_get_matrix(&instance, store.bone, &bone_frame);
    gfx_model_part_t drawn;
    drawn.positions = &store.positions[0].x;
    if (on_bone) {
        posed.resize(store.positions.size());
        for (size_t i = 0; i < posed.size(); ++i)
            posed[i] = mult_point_matrix(bone_frame, store.positions[i]);
        drawn.positions = &posed[0].x;
    }
    if (store.normals.size() == store.positions.size()) {
        drawn.normals = &store.normals[0].x;
        if (on_bone) {
            turned.resize(store.normals.size());
            for (size_t i = 0; i < turned.size(); ++i)
                turned[i] = mult_normal_matrix_fast(bone_frame, store.normals[i]);
            drawn.normals = &turned[0].x;
        }
    }
    drawn.uvs = store.uvs.size() == store.positions.size() * 2 ? store.uvs.data() : nullptr;
    drawn.vertex_count = static_cast<int>(store.positions.size());
    drawn.indices = store.indices.data();
    drawn.index_count = static_cast<int>(store.indices.size());
    drawn.colour = colour;
    drawn.shader = shader;
    drawn.shader_name = instance.shaders[index];
    drawn.lights = lights;
    gfx_record_model(drawn);
}

const void* lights_of(psm_t& instance)
{
    return instance.light_callback ? instance.light_callback(&instance, instance.light_object) : nullptr;
}

}  // namespace

const std::vector<psm_draw_record_t>& psm_draw_records() { return records; }
void psm_clear_draw_records() { records.clear(); }

ENGINE_API void psm_set_light_callback(psm_t* model, psm_light_callback_t callback, void* object)
{
    psm_t* const instance = psm_instance_lookup(model, "psm_set_light_callback");
    if (!instance)
        return;
    instance->light_callback = callback;
    instance->light_object = object;
}

ENGINE_API void psm_draw(psm_t* model, unsigned flags, unsigned colour)
{
    psm_t* const instance = psm_instance_lookup(model, "psm_draw");
    if (!instance)
        return;
    const void* const lights = lights_of(*instance);
    for (int part = 0; part < instance->model->part_count; ++part)
        if (instance->visible[static_cast<size_t>(part)])
            record_part(*instance, part, nullptr, flags, colour, lights);
}

ENGINE_API void psm_draw_part(psm_t* model, int part, const void* shader, unsigned flags, unsigned colour)
{
    psm_t* const instance = psm_instance_lookup(model, "psm_draw_part");
    if (instance && instance->check_part(part, "psm_draw_part"))
        record_part(*instance, part, shader, flags, colour, lights_of(*instance));
}
