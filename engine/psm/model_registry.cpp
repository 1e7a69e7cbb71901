#include "model_registry.h"

#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include "anim_file.h"
#include "engine/log.h"
#include "engine/psm_file.h"
#include "engine/vfs.h"
#include "model_file.h"

namespace {

// Every live model, owned, by the address of its public record.
std::unordered_map<const psm_info_t*, std::unique_ptr<psm_model_data_t>> models;
// Models loaded from files, by path; a parsed text is not shared.
std::map<std::string, psm_model_data_t*> by_path;

psm_model_data_t* adopt(std::unique_ptr<psm_model_data_t> model)
{
    psm_model_data_t* const raw = model.get();
    raw->uses = 1;
    models.emplace(static_cast<const psm_info_t*>(raw), std::move(model));
    return raw;
}

}  // namespace

psm_model_data_t* psm_model_acquire(const char* path)
{
    if (!path || !*path) {
        error("psm: no model path given");
        return nullptr;
    }
    if (const auto found = by_path.find(path); found != by_path.end()) {
        ++found->second->uses;
        return found->second;
    }
    std::string text;
    std::unique_ptr<psm_model_data_t> model;
    if (vfs_read_whole(path, text))
        model = psm_model_read_text(text, path);
    if (!model) {
        error("psm: cannot load model %s", path);
        return nullptr;
    }
    psm_model_data_t* const raw = adopt(std::move(model));
    by_path.emplace(path, raw);
    return raw;
}

void psm_model_release(psm_model_data_t* model)
{
    if (--model->uses > 0)
        return;
    const auto named = by_path.find(model->path_text);
    if (named != by_path.end() && named->second == model)
        by_path.erase(named);
    models.erase(model);
}

psm_model_data_t* psm_model_lookup(const psm_info_t* info, const char* caller)
{
    const auto found = models.find(info);
    if (found == models.end()) {
        error("%s: not a model of the model library (%p)", caller, static_cast<const void*>(info));
        return nullptr;
    }
    return found->second.get();
}

void psm_models_reset()
{
    by_path.clear();
    models.clear();
}

psm_info_t* psm_info_parse(std::string_view text, const char* source)
{
    std::unique_ptr<psm_model_data_t> model = psm_model_read_text(text, source ? source : "(model)");
    return model ? adopt(std::move(model)) : nullptr;
}

ENGINE_API psm_info_t* psm_alloc_info(const char* path) { return psm_model_acquire(path); }

ENGINE_API void psm_info_release(psm_info_t* info)
{
    if (psm_model_data_t* const model = psm_model_lookup(info, "psm_info_release"))
        psm_model_release(model);
}

ENGINE_API int psm_anim_add_file(psm_info_t* info, const char* path, int* out_index)
{
    psm_model_data_t* const model = psm_model_lookup(info, "psm_anim_add_file");
    int index = -1;
    if (model && path && *path) {
        for (size_t i = 0; i < model->anims.size() && index < 0; ++i)
            if (model->anims[i].path == path)
                index = static_cast<int>(i);
        std::string text;
        psm_anim_data_t anim;
        if (index < 0 && vfs_read_whole(path, text) && psm_anim_read_text(text, path, anim)) {
            anim.path = path;
            for (psm_anim_track_t& track : anim.tracks) {
                for (int bone = 0; bone < model->bone_count && track.bone < 0; ++bone)
                    if (track.bone_name == model->bones[bone].name)
                        track.bone = bone;
                if (track.bone < 0)
                    warning("psm: animation %s turns bone %s, which %s has not", path, track.bone_name.c_str(),
                            model->path);
            }
            model->anims.push_back(std::move(anim));
            index = static_cast<int>(model->anims.size() - 1);
        }
    }
    if (index < 0 && model)
        error("psm: cannot add animation %s to %s", path ? path : "(null)", model->path);
    if (out_index)
        *out_index = index;
    return index;
}

namespace {

const psm_anim_data_t* find_anim(const psm_info_t* info, int anim, const char* caller)
{
    const psm_model_data_t* const model = psm_model_lookup(info, caller);
    if (!model)
        return nullptr;
    if (anim < 0 || static_cast<size_t>(anim) >= model->anims.size()) {
        error("%s: no animation %d in %s", caller, anim, model->path);
        return nullptr;
    }
    return &model->anims[static_cast<size_t>(anim)];
}

}  // namespace

ENGINE_API int psm_anim_get_frames(const psm_info_t* info, int anim)
{
    const psm_anim_data_t* const found = find_anim(info, anim, "psm_anim_get_frames");
    return found ? found->frames : 0;
}

ENGINE_API float psm_anim_get_length(const psm_info_t* info, int anim)
{
    const psm_anim_data_t* const found = find_anim(info, anim, "psm_anim_get_length");
    return found ? found->length : 0.0f;
}
