#pragma once
#include <string>
#include <vector>

struct seg_server_t;

// The definition lists of the segment server that the property dialogs offer.
enum class definition_list_t {
    road_definitions,
    city_road_definitions,
    sidewalks,
    city_block_looks,
    city_block_lamps,
    sign_definitions,
    road_shaders,
    terrain_shaders,
    railing_models,
    railing_shaders,
    road_profiles,
    vegetation_looks,
    road_names,
    sign_texts,
    fork_prefabs,
    cross_prefabs,
    prefab_prefabs,
    prefab_looks,
    traffic_lights,
    traders,
    aux_models,
    aux_shaders,
    stamp_templates,
    free_item_models,
    free_item_looks,
    sky_shaders,
};

// The names of `list` in the server's order (a definition's index is its place); empty without a
// server. A shader is named by its resource name, or "#<index>" when it has none.
std::vector<std::string> definition_names(const seg_server_t* server, definition_list_t list);
