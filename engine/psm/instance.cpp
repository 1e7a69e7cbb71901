#include "instance.h"

#include <memory>
#include <unordered_map>

#include "engine/gfx_record.h"
#include "engine/log.h"
#include "model_registry.h"

namespace {

// Every live instance, owned, by its handle.
std::unordered_map<const psm_t*, std::unique_ptr<psm_t>> instances;

}  // namespace

bool psm_t::check_part(int part, const char* caller) const
{
    if (part >= 0 && part < model->part_count)
        return true;
    error("%s: no part %d in %s", caller, part, model->path);
    return false;
}

bool psm_t::check_bone(int bone, const char* caller) const
{
    if (bone >= 0 && bone < model->bone_count)
        return true;
    error("%s: no bone %d in %s", caller, bone, model->path);
    return false;
}

psm_adesc_t* psm_t::find_adesc(int handle, const char* caller)
{
    for (psm_adesc_t& adesc : adescs)
        if (adesc.handle == handle)
            return &adesc;
    error("%s: no animation descriptor %d on %s", caller, handle, model->path);
    return nullptr;
}

psm_t* psm_instance_lookup(const psm_t* model, const char* caller)
{
    const auto found = instances.find(model);
    if (found == instances.end()) {
        error("%s: not a model instance (%p)", caller, static_cast<const void*>(model));
        return nullptr;
    }
    return found->second.get();
}

void psm_instances_reset() { instances.clear(); }

ENGINE_API psm_t* psm_alloc(const char* path, int reserved0, int reserved1, unsigned flags)
{
    if (reserved0 != 0 || reserved1 != 0)
        warning("psm_alloc: %s: the middle arguments %d and %d are not used", path ? path : "(null)", reserved0,
                reserved1);
    std::unique_ptr<psm_behavior_state_t> behavior;
    psm_model_data_t* const model =
        psm_is_description(path) ? psm_behavior_open(path, behavior) : psm_model_acquire(path);
    if (!model)
        return nullptr;
    auto instance = std::make_unique<psm_t>();
    instance->model = model;
    instance->behavior = std::move(behavior);
    instance->flags = flags;
    instance->visible.assign(static_cast<size_t>(model->part_count), true);
    instance->shaders.resize(static_cast<size_t>(model->part_count));
    for (int i = 0; i < model->part_count; ++i)
        instance->shaders[static_cast<size_t>(i)] = gfx_record_text(model->parts[i].shader);
    instance->poses.resize(static_cast<size_t>(model->bone_count));
    instance->posed_positions.resize(static_cast<size_t>(model->part_count));
    psm_t* const raw = instance.get();
    instances.emplace(raw, std::move(instance));
    return raw;
}

ENGINE_API void psm_free(psm_t* model)
{
    if (!model)
        return;
    psm_t* const instance = psm_instance_lookup(model, "psm_free");
    if (!instance)
        return;
    psm_model_data_t* const data = instance->model;
    instances.erase(instance);
    psm_model_release(data);
}

ENGINE_API psm_info_t* psm_get_info(psm_t* model)
{
    psm_t* const instance = psm_instance_lookup(model, "psm_get_info");
    return instance ? instance->model : nullptr;
}

ENGINE_API void psm_set_static(psm_t* model)
{
    if (psm_t* const instance = psm_instance_lookup(model, "psm_set_static"))
        instance->is_static = true;
}

ENGINE_API int psm_get_num_parts_item(const psm_t* model)
{
    const psm_t* const instance = psm_instance_lookup(model, "psm_get_num_parts_item");
    return instance ? instance->model->part_count : 0;
}

ENGINE_API int psm_part_find(const psm_t* model, const char* name)
{
    const psm_t* const instance = psm_instance_lookup(model, "psm_part_find");
    if (!instance || !name)
        return -1;
    for (int i = 0; i < instance->model->part_count; ++i)
        if (instance->model->part_store[static_cast<size_t>(i)].name == name)
            return i;
    return -1;
}

ENGINE_API bool psm_part_get_visible(const psm_t* model, int part)
{
    const psm_t* const instance = psm_instance_lookup(model, "psm_part_get_visible");
    return instance && instance->check_part(part, "psm_part_get_visible") &&
           instance->visible[static_cast<size_t>(part)];
}

ENGINE_API void psm_part_set_visible(psm_t* model, int part, bool visible)
{
    psm_t* const instance = psm_instance_lookup(model, "psm_part_set_visible");
    if (instance && instance->check_part(part, "psm_part_set_visible"))
        instance->visible[static_cast<size_t>(part)] = visible;
}

ENGINE_API bool psm_get_part_bsphere(const psm_t* model, int part, vec4_t* out_sphere)
{
    const psm_t* const instance = psm_instance_lookup(model, "psm_get_part_bsphere");
    if (!instance || !out_sphere || !instance->check_part(part, "psm_get_part_bsphere"))
        return false;
    const psm_part_t& record = instance->model->parts[part];
    *out_sphere = vec4_t(record.bsphere_centre, record.bsphere_radius);
    return true;
}

ENGINE_API bool psm_set_shader(psm_t* model, int slot, const char* shader_path)
{
    psm_t* const instance = psm_instance_lookup(model, "psm_set_shader");
    if (!instance || !instance->check_part(slot, "psm_set_shader"))
        return false;
    instance->shaders[static_cast<size_t>(slot)] = gfx_record_text(shader_path ? shader_path : "");
    return true;
}
