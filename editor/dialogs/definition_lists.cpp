#include "editor/dialogs/definition_lists.h"

#include <cstring>

#include "engine/lcl.h"
#include "engine/psm.h"
#include "common/engine_api.h"
#include "road/seg_server.h"

namespace {

// "#" and the index: the name of an entry that has none of its own.
std::string numbered(size_t index)
{
    std::string name(1, '#');
    name += std::to_string(index);
    return name;
}

std::string shader_name(const seg_shader_t& shader, size_t index)
{
    if (shader.item && !shader.item->name.empty())
        return shader.item->name;
    return numbered(index);
}

template <typename T> std::vector<std::string> named(const std::vector<T>& records)
{
    std::vector<std::string> names;
    for (const T& record : records)
        names.emplace_back(record.name, strnlen(record.name, sizeof record.name));
    return names;
}

std::vector<std::string> flagged_shaders(const seg_fallback_array_t<seg_flagged_shader_t>& array)
{
    std::vector<std::string> names;
    for (int32_t i = 0; i < array.count(); ++i)
        names.push_back(shader_name(array[i].shader, static_cast<size_t>(i)));
    return names;
}

std::vector<std::string> shaders(const seg_shader_t* array, int32_t count)
{
    std::vector<std::string> names;
    for (int32_t i = 0; array && i < count; ++i)
        names.push_back(shader_name(array[i], static_cast<size_t>(i)));
    return names;
}

// A trader as the map maker knows it: its translated name, or its file's name without the extension
// when the file gives none (an id no file filled stays empty).
std::string trader_shown_name(const seg_trader_t& trader)
{
    const std::string display(trader.display_name, strnlen(trader.display_name, sizeof trader.display_name));
    if (!display.empty())
        return lcl_translate(display.c_str());
    const std::string file(trader.name, strnlen(trader.name, sizeof trader.name));
    return file.substr(0, file.rfind('.'));
}

}  // namespace

std::vector<std::string> definition_names(const seg_server_t* server, const definition_list_t list)
{
    if (!server)
        return {};
    switch (list) {
    case definition_list_t::road_definitions:
        return named(server->road_defs);
    case definition_list_t::city_road_definitions:
        return named(server->city_road_defs);
    case definition_list_t::sidewalks:
        return shaders(server->sidewalk_shaders, server->sidewalk_count);
    case definition_list_t::city_block_looks:
        return named(server->cityblock_looks);
    case definition_list_t::city_block_lamps: {
        // A lamp is known by the file name of its model.
        std::vector<std::string> names;
        for (size_t i = 0; i < server->cityblock_lamps.size(); ++i) {
            const psm_info_t* info =
                server->cityblock_lamps[i].model ? api::psm_get_info(server->cityblock_lamps[i].model) : nullptr;
            const char* path = info && info->path ? info->path : "";
            const char* slash = std::strrchr(path, '/');
            names.push_back(*path ? std::string(slash ? slash + 1 : path) : numbered(i));
        }
        return names;
    }
    case definition_list_t::sign_definitions:
        return named(server->sign_boards);
    case definition_list_t::road_shaders:
        return shaders(server->road_shaders, server->road_shader_count);
    case definition_list_t::terrain_shaders:
        return shaders(server->terrain_shaders, server->terrain_shader_count);
    case definition_list_t::railing_models:
        return named(server->railings);
    case definition_list_t::railing_shaders:
        return flagged_shaders(server->railing_shaders);
    case definition_list_t::road_profiles:
        return named(server->profiles);
    case definition_list_t::vegetation_looks:
        return named(server->veg_looks);
    case definition_list_t::road_names:
        return named(server->place_names);
    case definition_list_t::sign_texts: {
        std::vector<std::string> names;
        for (const sign_text_t& text : server->sign_texts)
            names.emplace_back(text.text, strnlen(text.text, sizeof text.text));
        return names;
    }
    case definition_list_t::fork_prefabs:
        return named(server->prefab_table[seg_forks]);
    case definition_list_t::cross_prefabs:
        return named(server->prefab_table[seg_crosses]);
    case definition_list_t::prefab_prefabs:
        return named(server->prefab_table[seg_prefabs]);
    case definition_list_t::prefab_looks:
        return named(server->prefab_looks);
    case definition_list_t::traffic_lights:
        return named(server->tr_lights);
    case definition_list_t::traders: {
        std::vector<std::string> names;
        for (int32_t i = 0; server->traders && i < server->trader_count; ++i)
            names.push_back(trader_shown_name(server->traders[i]));
        return names;
    }
    case definition_list_t::aux_models:
        return named(server->aux_models);
    case definition_list_t::aux_shaders:
        return flagged_shaders(server->aux_shaders);
    case definition_list_t::stamp_templates:
        return named(server->brushes);
    case definition_list_t::free_item_models:
        return named(server->freeitem_models);
    case definition_list_t::free_item_looks:
        return named(server->freeitem_looks);
    case definition_list_t::sky_shaders:
        return shaders(server->sky_shaders.data(), static_cast<int32_t>(server->sky_shaders.size()));
    }
    return {};
}
