#include "game/economy/trailer_shader_cache.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/cache.h"
#include "common/engine_api.h"
#include "game/economy/economy_defs.h"
#include "vehicles/body/make_files.h"

void trailer_shader_cache_t::precache(const char* make)
{
    if (!make || make[0] == '\0' || std::find(makes_.begin(), makes_.end(), make) != makes_.end())
        return;
    makes_.emplace_back(make);
    char description[160];
    if (!make_path(description, sizeof description, "/makes/trailer/%s/description.def", make))
        return;
    for (int a = 1;; ++a) {
        char key[24], accessory[64];
        std::snprintf(key, sizeof key, "access%d", a);
        def_read_string(description, "trailer", key, accessory, sizeof accessory);
        if (accessory[0] == '\0')
            break;
        char definition[200], type[32];
        if (!make_path(definition, sizeof definition, "/makes/trailer/%s/acc/%s/!desc.def", make, accessory))
            continue;
        def_read_string(definition, "accessory", "type", type, sizeof type);
        if (std::strcmp(type, "base") != 0)
            continue;
        char own[160], shared[160];
        if (!make_path(own, sizeof own, "/makes/trailer/%s/acc/%s", make, accessory) ||
            !make_path(shared, sizeof shared, "/makes/trailer/%s/acc/shared", make))
            continue;
        const char* const folders[] = {own, shared};
        for (int s = 0;; ++s) {
            char shader_key[24], list[256];
            std::snprintf(shader_key, sizeof shader_key, "shader%d", s);
            def_read_string(definition, "accessory", shader_key, list, sizeof list);
            if (list[0] == '\0')
                break;
            // A value may name several shaders, separated by ":".
            for (char* name = std::strtok(list, ":"); name; name = std::strtok(nullptr, ":")) {
                char path[256];
                if (make_find_file(path, sizeof path, folders, 2, name, true))
                    if (c_item_t* const item = api::mm_precache(path))
                        items_.push_back(item);
            }
        }
    }
}

void trailer_shader_cache_t::release()
{
    for (c_item_t* const item : items_)
        api::ci_dec_refs(item);
    items_.clear();
    makes_.clear();
}
