// The shader arrays of the road surfaces and the terrain, and the tables that say which shader draws
// where a road meets a terrain and where one terrain blends into another.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/arg.h"
#include "engine/def_obj.h"
#include "common/engine_api.h"
#include "common/loading_screen.h"
#include "road/seg_server.h"

namespace {

// One group of shaders read from numbered keys: the paths taken, in index order.
using path_list_t = std::vector<std::string>;

// Counts the shaders taken so far for the loading screen.
struct shader_progress_t {
    int done = 0;
    int total = 0;
    void step() { loading_screen_progress(++done, total); }
};

// Takes `paths` into `out_shaders` in order, one loading-screen step each.
void take_shaders(const path_list_t& paths, seg_shader_t* out_shaders, shader_progress_t& progress)
{
    for (size_t i = 0; i < paths.size(); ++i) {
        out_shaders[i] = seg_shader_take(paths[i].c_str());
        progress.step();
    }
}

// The paths of keys `format` % 0 .. count - 1; a key the file leaves out is reported and stands for
// the fallback shader.
path_list_t numbered_paths(const def_obj_t& road_segs, const char* format, const int32_t count)
{
    path_list_t paths;
    paths.reserve(static_cast<size_t>(count));
    char key[64];
    for (int32_t i = 0; i < count; ++i) {
        std::snprintf(key, sizeof key, format, i);
        const char* const value = road_segs.get_value(key);
        if (!value)
            api::warning("road_segs.def has no \"%s\"; the fallback shader stands for it", key);
        paths.emplace_back(value ? value : seg_fallback_shader_path);
    }
    return paths;
}

// The 14 blend shader paths of each "tt%d" entry: the prefix, the two terrain names joined by "_",
// then "_1.shd" to "_14.shd". An entry without two names is reported and its steps are the fallback.
path_list_t blend_paths(const def_obj_t& road_segs, const int32_t entries)
{
    const char* const prefix_value = road_segs.get_value("ter_trans_prefix");
    const std::string prefix = prefix_value ? prefix_value : "";
    path_list_t paths;
    paths.reserve(static_cast<size_t>(entries) * seg_blend_steps);
    char key[32];
    for (int32_t entry = 0; entry < entries; ++entry) {
        std::snprintf(key, sizeof key, "tt%d", entry);
        arg_t names;
        const bool named = names.separate(road_segs.get_value(key), ";") >= 2;
        if (!named)
            api::warning("road_segs.def: \"%s\" does not name two terrains; the fallback shader stands for its blend",
                         key);
        for (int32_t step = 1; step <= seg_blend_steps; ++step) {
            if (named)
                paths.push_back(prefix + names[0] + "_" + names[1] + "_" + std::to_string(step) + ".shd");
            else
                paths.emplace_back(seg_fallback_shader_path);
        }
    }
    return paths;
}

// The file names of `paths`.
path_list_t file_names(const path_list_t& paths)
{
    path_list_t names;
    names.reserve(paths.size());
    for (const std::string& path : paths)
        names.push_back(seg_file_name(path.c_str()));
    return names;
}

// True when `text` contains both `first` and `second`.
bool contains_both(const std::string& text, const std::string& first, const std::string& second)
{
    return text.find(first) != std::string::npos && text.find(second) != std::string::npos;
}

// The number after the last "_" of a blend file name ("grass_sand_7" gives 7), -1 when no digits follow.
int blend_number(const std::string& name)
{
    const size_t underscore = name.rfind('_');
    if (underscore == std::string::npos || underscore + 1 >= name.size() || name[underscore + 1] < '0' ||
        name[underscore + 1] > '9')
        return -1;
    return std::atoi(name.c_str() + underscore + 1);
}

}  // namespace

void seg_server_t::load_shaders(const def_obj_t& road_segs)
{
    loading_screen_refresh("@@ui_loading_shaders@@");
    api::message("   - Precaching shaders ....");
    const path_list_t road_paths = numbered_paths(road_segs, "road_shader%d", road_shader_count);
    const path_list_t sidewalk_paths = numbered_paths(road_segs, "sidewalk%d", sidewalk_count);
    const path_list_t terrain_paths = numbered_paths(road_segs, "terrain_shader%d", terrain_shader_count);
    const path_list_t trans_paths = numbered_paths(road_segs, "trans_shader%d", trans_shader_count);
    const path_list_t blend = blend_paths(road_segs, blend_shader_count / seg_blend_steps);

    shader_progress_t progress;
    progress.total =
        road_shader_count + sidewalk_count + terrain_shader_count + trans_shader_count + blend_shader_count;
    take_shaders(road_paths, road_shaders, progress);
    road_shaders[-1] = seg_shader_take(seg_fallback_shader_path);
    take_shaders(sidewalk_paths, sidewalk_shaders, progress);
    sidewalk_shaders[-1] = seg_shader_take(seg_fallback_shader_path);
    take_shaders(terrain_paths, terrain_shaders, progress);
    terrain_shaders[-1] = seg_shader_take(seg_fallback_shader_path);
    take_shaders(trans_paths, terrain_shaders + terrain_shader_count, progress);
    take_shaders(blend, terrain_shaders + terrain_shader_count + trans_shader_count, progress);

    const path_list_t road_names = file_names(road_paths);
    const path_list_t terrain_names = file_names(terrain_paths);
    const path_list_t blend_names = file_names(blend);
    const size_t terrains = terrain_names.size();

    // Road surface i meets terrain j: the first transition shader whose path names both.
    for (size_t i = 0; i < road_names.size(); ++i) {
        for (size_t j = 0; j < terrains; ++j) {
            int32_t& entry = trans_table[i * terrains + j];
            entry = -1;
            for (size_t t = 0; t < trans_paths.size() && entry < 0; ++t)
                if (contains_both(trans_paths[t], road_names[i], terrain_names[j]))
                    entry = static_cast<int32_t>(t);
        }
    }

    // Step k from terrain a to terrain b: a blend file naming both whose number is k when its name
    // begins with a's, or 15 - k when it begins otherwise (the file blends from b to a).
    for (size_t a = 0; a < terrains; ++a) {
        for (size_t b = 0; b < terrains; ++b) {
            int32_t* const steps = blend_table + (a * terrains + b) * seg_blend_steps;
            for (int32_t k = 1; k <= seg_blend_steps; ++k) {
                int32_t& entry = steps[k - 1];
                entry = -1;
                for (size_t s = 0; s < blend_names.size() && entry < 0 && a != b; ++s) {
                    const std::string& name = blend_names[s];
                    if (!contains_both(name, terrain_names[a], terrain_names[b]))
                        continue;
                    const bool forward = name.compare(0, terrain_names[a].size(), terrain_names[a]) == 0;
                    if (blend_number(name) == (forward ? k : seg_blend_steps + 1 - k))
                        entry = static_cast<int32_t>(s);
                }
            }
        }
    }
}

void seg_server_t::give_back_shaders()
{
    const int32_t terrain_group = terrain_shader_count + trans_shader_count + blend_shader_count;
    for (int32_t i = -1; i < road_shader_count; ++i)
        seg_shader_give_back(road_shaders[i]);
    for (int32_t i = -1; i < sidewalk_count; ++i)
        seg_shader_give_back(sidewalk_shaders[i]);
    for (int32_t i = -1; i < terrain_group; ++i)
        seg_shader_give_back(terrain_shaders[i]);
}

int32_t seg_server_t::terrain_trans_shader(const int32_t road_shader, const int32_t terrain) const
{
    if (road_shader < 0 || road_shader >= road_shader_count || terrain < 0 || terrain >= terrain_shader_count)
        return -1;
    const int32_t entry = trans_table[road_shader * terrain_shader_count + terrain];
    return entry >= 0 ? terrain_shader_count + entry : terrain;
}

int32_t seg_server_t::terrain_blend_shader(const int32_t from, const int32_t to, const int32_t step) const
{
    if (from < 0 || from >= terrain_shader_count || to < 0 || to >= terrain_shader_count || step < 0 ||
        step > seg_blend_steps + 1)
        return -1;
    if (step == 0)
        return from;
    if (step == seg_blend_steps + 1)
        return to;
    const int32_t entry = blend_table[(from * terrain_shader_count + to) * seg_blend_steps + step - 1];
    return entry != -1 ? terrain_shader_count + trans_shader_count + entry : from;
}
