#include "vehicles/body/make_files.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/cache.h"
#include "engine/def_obj.h"
#include "engine/def_pool.h"
#include "engine/psm.h"
#include "common/engine_api.h"

bool make_path(char* out, size_t capacity, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(out, capacity, format, args);
    va_end(args);
    if (written >= 0 && static_cast<size_t>(written) < capacity)
        return true;
    api::error("make path \"%s\" is longer than %d characters; it is not read", out, static_cast<int>(capacity) - 1);
    if (capacity > 0)
        out[0] = '\0';
    return false;
}

bool make_copy_name(char* out, size_t capacity, const char* text, const char* what)
{
    const size_t length = std::strlen(text);
    if (length < capacity) {
        std::memcpy(out, text, length + 1);
        return true;
    }
    api::error("%s \"%s\" is longer than %d characters; it is left out", what, text, static_cast<int>(capacity) - 1);
    out[0] = '\0';
    return false;
}

bool make_file_exists(const char* path)
{
    const int file = api::vfs_open(path, 0, 0);
    if (file < 0)
        return false;
    api::vfs_close(file);
    return true;
}

make_def_t::make_def_t(const char* path, const char* object_name)
{
    if (!make_file_exists(path))
        return;
    item_ = api::mm_precache(path);
    const auto* const pool = item_ ? static_cast<const def_pool_t*>(item_->object) : nullptr;
    object = pool ? pool->find(object_name) : nullptr;
}

make_def_t::~make_def_t()
{
    if (item_)
        api::ci_dec_refs(item_);
}

accessory_desc_t::accessory_desc_t(const char* kind, const char* make, const char* accessory)
{
    char path[256];
    if (!make_path(path, sizeof path, "/makes/%s/%s/acc/%s/!desc.def", kind, make, accessory))
        return;
    def_.emplace(path, "accessory");
    if (!def_->object)
        api::error("Unable to load def %s", path);
}

psm_t* make_model_alloc(const char* path)
{
    if (!api::psm_alloc) {
        api::error("the model library is not loaded; model %s is left out", path);
        return nullptr;
    }
    return make_file_exists(path) ? api::psm_alloc(path, 0, 0, 16) : nullptr;
}

bool make_find_file(char* out, size_t capacity, const char* const* folders, int count, const char* file, bool use_last)
{
    for (int i = 0; i < count; ++i) {
        if (!make_path(out, capacity, "%s/%s", folders[i], file))
            continue;
        if ((use_last && i == count - 1) || make_file_exists(out))
            return true;
    }
    out[0] = '\0';
    return false;
}

void make_set_shaders(psm_t* model, const char* list, const char* const* folders, int count, bool use_last)
{
    if (!model || !list)
        return;
    const std::string names(list);
    int slot = 0;
    size_t start = 0;
    while (start <= names.size()) {
        size_t end = names.find(':', start);
        if (end == std::string::npos)
            end = names.size();
        const std::string name = names.substr(start, end - start);
        if (!name.empty()) {
            char path[512];
            if (make_find_file(path, sizeof path, folders, count, name.c_str(), use_last))
                api::psm_set_shader(model, slot, path);
        }
        ++slot;
        start = end + 1;
    }
}

bool make_bone_position(psm_t* model, const char* bone, vec3_t& out)
{
    const int index = model ? api::psm_bone_find_global(model, bone) : -1;
    if (index < 0)
        return false;
    mat4_t frame;
    api::psm_bone_get_matrix(model, index, &frame);
    out = mult_zero_matrix(frame);
    return true;
}

void make_show_part(psm_t* model, const char* part, bool visible)
{
    const int index = model ? api::psm_part_find(model, part) : -1;
    if (index >= 0)
        api::psm_part_set_visible(model, index, visible);
}
