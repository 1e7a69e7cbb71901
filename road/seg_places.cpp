// The cities' rectangles and start places and the traders' names and labels, one definition file each
// under "/defs/cities" and "/defs/traders".
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "engine/def_pool.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "common/loading_screen.h"
#include "road/seg_server.h"

namespace {

constexpr const char* cities_folder = "/defs/cities";
constexpr const char* traders_folder = "/defs/traders";

// Bytes read from a folder at a time, and the buffer they are read into (one more, always NUL).
constexpr long folder_chunk = 127;
constexpr size_t folder_buffer = 128;

// Calls `visit` with the name and path of every regular file of `folder`, in the order the file
// system lists them. Nothing when the folder cannot be opened.
void for_each_file(const char* folder, const std::function<void(const char* name, const char* path)>& visit)
{
    const int handle = api::vfs_open(folder, 0, 0x1b6);
    if (handle < 0)
        return;
    char buffer[folder_buffer];
    char path[512];
    for (;;) {
        std::memset(buffer, 0, sizeof buffer);
        const long read = api::vfs_read(handle, buffer, folder_chunk);
        if (read <= 0)
            break;
        for (const char* name = buffer; name < buffer + read && *name; name += std::strlen(name) + 1) {
            if (std::snprintf(path, sizeof path, "%s/%s", folder, name) >= static_cast<int>(sizeof path))
                continue;
            vfs_stat_t stat{};
            if (api::vfs_stat(path, &stat) == 0 && (stat.mode & vfs_mode_type_mask) == vfs_mode_file)
                visit(name, path);
        }
    }
    api::vfs_close(handle);
}

// The object `object` of the definition file at `path`, kept while `out_item` holds its reference
// (null when the file cannot be read or has no such object).
const def_obj_t* find_object(const char* path, const char* object, c_item_t*& out_item)
{
    out_item = api::mm_precache(path);
    const auto* const pool = out_item ? static_cast<const def_pool_t*>(out_item->object) : nullptr;
    return pool ? pool->find(object) : nullptr;
}

// Fills `city` from the object "city" of a city file; the city is left zero without one.
// The place name of the city file `file` (its object `object`, null when it has none): its "name", or
// the file's name without its extension; longer names are cut to what a place name holds, reported.
void read_place_name(const def_obj_t* object, const char* file, place_name_t& out)
{
    std::string name = object && object->get_value("name") ? object->get_value("name") : file;
    if (!(object && object->get_value("name")))
        name = name.substr(0, name.rfind('.'));
    if (name.size() >= sizeof out.name)
        api::warning("City %s: its name \"%s\" is cut to %d characters on the sign boards", file, name.c_str(),
                     static_cast<int>(sizeof out.name) - 1);
    std::snprintf(out.name, sizeof out.name, "%.*s", static_cast<int>(sizeof out.name) - 1, name.c_str());
}

void read_city(const def_obj_t& object, city_area_t& city)
{
    vec3_t position{};
    object.get_point("start_pos", city.start_position);
    city.start_rotation = object.get_real("start_rot");
    object.get_point("real_pos", position);
    // The halves are whole units, as the width and height are.
    const int half_width = object.get_int("real_width") / 2;
    const int half_height = object.get_int("real_height") / 2;
    city.x_min = position.x - static_cast<float>(half_width);
    city.x_max = position.x + static_cast<float>(half_width);
    city.z_max = position.z + static_cast<float>(half_height);
    city.z_min = position.z - static_cast<float>(half_height);
    city.y = position.y;
}

}  // namespace

int32_t seg_server_t::read_cities(const bool counting)
{
    if (!counting && !cities)
        return 0;
    const int32_t capacity = city_count;
    int32_t filled = 0;
    if (!counting)
        place_names.assign(static_cast<size_t>(capacity), place_name_t{});
    for_each_file(cities_folder, [&](const char* name, const char* path) {
        if (counting) {
            ++filled;
            return;
        }
        if (filled >= capacity) {
            api::error("%s/%s: more city files than when they were counted; the city is left out", cities_folder, name);
            return;
        }
        city_area_t& city = cities[filled];
        city = city_area_t{};
        c_item_t* item = nullptr;
        const def_obj_t* const object = find_object(path, "city", item);
        if (object)
            read_city(*object, city);
        read_place_name(object, name, place_names[static_cast<size_t>(filled)]);
        ++filled;
        if (item)
            api::ci_dec_refs(item);
    });
    if (!counting)
        place_names.resize(static_cast<size_t>(filled));
    if (counting && filled > seg_max_table_count) {
        api::error("%s holds %d city files; only the first %d are read", cities_folder, filled, seg_max_table_count);
        filled = seg_max_table_count;
    }
    city_count = filled;
    return city_count;
}

int32_t seg_server_t::read_traders(const bool counting)
{
    if (!counting && !traders)
        return 0;
    int32_t files = 0;
    for_each_file(traders_folder, [&](const char* name, const char* path) {
        if (name[0] == '!')
            return;
        ++files;
        if (counting)
            return;
        c_item_t* item = nullptr;
        const def_obj_t* const object = find_object(path, "trader", item);
        const int id = object ? object->get_int("id") : 0;
        if (id < 0 || id >= trader_count) {
            api::error("%s/%s: trader id %d is not from 0 to %d; the trader is left out", traders_folder, name, id,
                       trader_count - 1);
        } else {
            seg_trader_t& trader = traders[id];
            if (std::strlen(name) >= sizeof trader.name)
                api::warning("%s/%s: the trader's name is cut to %zu characters", traders_folder, name,
                             sizeof trader.name - 1);
            std::snprintf(trader.name, sizeof trader.name, "%s", name);
            const char* const display = object ? object->get_value("name") : nullptr;
            std::snprintf(trader.display_name, sizeof trader.display_name, "%s", display ? display : "");
            // A second file with the same id replaces the first one's label.
            seg_shader_give_back(trader.label);
            const char* const label = object ? object->get_value("label_shd") : nullptr;
            if (label)
                trader.label = seg_shader_take(label);
        }
        if (item)
            api::ci_dec_refs(item);
        loading_screen_progress(files, trader_count);
    });
    if (counting) {
        if (files > seg_max_table_count) {
            api::error("%s holds %d trader files; ids from %d on are refused", traders_folder, files,
                       seg_max_table_count);
            files = seg_max_table_count;
        }
        trader_count = files;
    }
    return files;
}

int32_t seg_server_t::find_city_at(const vec3_t& point) const
{
    for (int32_t i = 0; i < city_count; ++i) {
        const city_area_t& city = cities[i];
        if (city.x_min <= point.x && point.x <= city.x_max && city.z_min <= point.z && point.z <= city.z_max)
            return i;
    }
    return -1;
}
