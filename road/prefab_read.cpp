// The prefabs of the road network: prefabs.def, each prefab's model file and the definition beside
// it, prefab looks and shaders, and the traffic-light models.
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <strings.h>

#include "engine/arg.h"
#include "engine/def_pool.h"
#include "engine/matrix.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "common/loading_screen.h"
#include "road/prefab_file.h"
#include "road/seg_def_file.h"
#include "road/seg_server.h"

namespace {

constexpr const char* prefabs_path = "/defs/seg_server/prefabs.def";
// Keys of the fork, cross and prefab tables, by table.
constexpr const char* table_keys[seg_prefab_tables] = {"fork", "cross", "prefab"};
constexpr const char* table_count_keys[seg_prefab_tables] = {"fork_count", "cross_count", "prefab_count"};
// Bones of a traffic-light group's lamps, and the lamp shaders of the three states.
constexpr const char* lamp_bones[tr_lights_lamps] = {"red", "yellow", "green"};
constexpr const char* lamp_state_keys[tr_lights_lamps] = {"tr_lights_red", "tr_lights_yellow", "tr_lights_green"};
// Model flags the prefab side models are loaded with.
constexpr unsigned static_model_flags = 16;

// A buffer from the engine's allocator.
struct engine_free_t {
    void operator()(void* block) const { api::mem_sys_free(block); }
};

// Reads the whole file at `path` into `out` (its size in `out_size`); false when it cannot be opened
// or read.
bool read_whole_file(const char* path, std::unique_ptr<uint8_t, engine_free_t>& out, size_t& out_size)
{
    const int file = api::vfs_open(path, 0, 0);
    if (file < 0)
        return false;
    vfs_stat_t stat{};
    bool ok = api::vfs_fstat(file, &stat) == 0 && stat.size >= 0 && stat.size <= std::numeric_limits<int32_t>::max();
    out_size = ok ? static_cast<size_t>(stat.size) : 0;
    if (ok) {
        out.reset(static_cast<uint8_t*>(api::mem_sys_alloc(out_size > 0 ? out_size : 1)));
        ok = out != nullptr;
    }
    size_t have = 0;
    while (ok && have < out_size) {
        const long got = api::vfs_read(file, out.get() + have, static_cast<long>(out_size - have));
        if (got <= 0)
            break;
        have += static_cast<size_t>(got);
    }
    api::vfs_close(file);
    out_size = have;
    return ok;
}

// A point key of a prefab definition: present when its text is not empty.
bool read_station_point(const def_obj_t& object, const char* key, vec3_t& out)
{
    const char* const text = object.get_value(key);
    if (!text || !*text)
        return false;
    object.get_point(key, out);
    return true;
}

// Fills the station slots and, for a prefab without a service station, truck stop, scales or dealer,
// the no-weather boxes.
void read_stations(const def_obj_t& object, prefab_t& prefab)
{
    vec3_t point;
    int32_t next = 0;
    if (read_station_point(object, "gas_station0", point)) {
        prefab.stations[0].kind = 1;
        prefab.stations[0].point_a = point;
        if (read_station_point(object, "gas_station1", point)) {
            prefab.stations[0].kind = 5;
            prefab.stations[0].point_b = point;
        }
        next = 1;
    }
    if (read_station_point(object, "service_station0", point)) {
        prefab.stations[next].kind = 2;
        prefab.stations[next].point_a = point;
        if (read_station_point(object, "service_station1", point)) {
            prefab.stations[next].kind = 6;
            prefab.stations[next].point_b = point;
        }
        return;
    }
    if (read_station_point(object, "truck_stop", point)) {
        prefab.stations[0] = {3, point, {}};
        return;
    }
    if (read_station_point(object, "weigh_station0", point)) {
        prefab.stations[0] = {7, point, {}};
        read_station_point(object, "weigh_station1", prefab.stations[0].point_b);
        return;
    }
    if (read_station_point(object, "truck_dealer", point)) {
        prefab.stations[0] = {4, point, {}};
        return;
    }
    char key[32];
    for (int32_t box = 0; box < prefab_noweather_boxes; ++box)
        for (int32_t corner = 0; corner < 2; ++corner) {
            std::snprintf(key, sizeof key, "noweather%d%d", corner, box);
            vec3_t& out = prefab.noweather[box][corner];
            out = vec3_t{};
            read_station_point(object, key, out);
        }
}

// Appends the curves of a "node%d" list to the node's slots: each item a slot digit, one separating
// character and a curve name. Items naming no slot or curve, or a fourth curve of a slot, are
// reported and left out.
void read_node_slots(const char* text, prefab_node_t& node, const int32_t number, const prefab_t& prefab)
{
    arg_t items;
    const int count = items.separate(text, ";");
    for (int i = 0; i < count; ++i) {
        const char* const item = items[i];
        const int32_t slot = item[0] - '0';
        const int32_t curve = std::strlen(item) > 2 ? prefab_find_curve(prefab, item + 2) : -1;
        if (slot < 0 || slot >= prefab_node_slots || curve < 0) {
            api::error("Prefab %s: node %d names \"%s\", not a slot 0 to 3 and a curve; it is left out", prefab.name,
                       number, item);
            continue;
        }
        int32_t* const list = node.slots[slot];
        int32_t at = 0;
        while (at < prefab_slot_curves && list[at] >= 0)
            ++at;
        if (at == prefab_slot_curves) {
            api::error("Prefab %s: slot %d of node %d holds three curves already; \"%s\" is left out", prefab.name,
                       slot, number, item);
            continue;
        }
        list[at] = curve;
    }
}

// Reads one "curve" child of a prefab definition into the curve it names.
void read_curve_def(const def_obj_t& child, prefab_t& prefab)
{
    const char* const name = child.get_value("name");
    const int32_t index = prefab_find_curve(prefab, name);
    if (index < 0) {
        api::error("curve name %s, doesn't exist in prefab %s", name ? name : "", prefab.name);
        return;
    }
    prefab_curve_t& curve = prefab.curves[static_cast<size_t>(index)];
    arg_t items;
    const int next = items.separate(child.get_value("next"), ";");
    if (next > prefab_max_next)
        api::error("Prefab %s: curve %s names %d next curves; only the first %d are kept", prefab.name, curve.name,
                   next, prefab_max_next);
    curve.next_count = 0;
    for (int i = 0; i < next && curve.next_count < prefab_max_next; ++i) {
        const int32_t target = prefab_find_curve(prefab, items[i]);
        if (target < 0) {
            api::error("curve name %s, doesn't exist in prefab %s", items[i], prefab.name);
            continue;
        }
        curve.next[curve.next_count++] = target;
    }
    arg_t lanes;
    const int outputs = items.separate(child.get_value("output"), ";");
    const int lane_count = lanes.separate(child.get_value("out_lanes"), ";");
    for (int i = 0; i < outputs; ++i) {
        const int arm = std::atoi(items[i]);
        if (arm < 0 || arm >= prefab_max_arms) {
            api::error("Prefab %s: curve %s leaves through arm %d, not 0 to 3; it is left out", prefab.name, curve.name,
                       arm);
            continue;
        }
        curve.exit_arms[arm] = 1;
        const int mask = i < lane_count ? std::atoi(lanes[i]) : 0;
        if (mask < 0 || mask > 0xFF)
            api::error("Prefab %s: curve %s has the lane mask %d, not 0 to 255; it is left out", prefab.name,
                       curve.name, mask);
        else
            curve.lane_masks[arm] = static_cast<uint8_t>(mask);
    }
    curve.type = prefab_curve_type(child.get_value("type"));
    const auto set = [&](const char* key, const uint32_t flag) {
        const char* const text = child.get_value(key);
        if (text && *text)
            curve.flags |= flag;
    };
    set("priority", prefab_curve_priority);
    set("trucks_only", prefab_curve_trucks_only);
    set("join", prefab_curve_join);
    set("truck_dock", prefab_curve_truck_dock);
    const char* const blinker = child.get_value("blinker");
    if (blinker && strcasecmp(blinker, "right") == 0)
        curve.flags |= prefab_curve_right_blinker;
    else if (blinker && strcasecmp(blinker, "left") == 0)
        curve.flags |= prefab_curve_left_blinker;
}

// Reads one "sign" child of a prefab definition into the sign it names.
void read_sign_def(const def_obj_t& child, prefab_t& prefab)
{
    const char* const name = child.get_value("name");
    const int32_t index = prefab_find_sign(prefab, name);
    if (index < 0) {
        api::error("sign name %s, doesn't exist in prefab %s", name ? name : "", prefab.name);
        return;
    }
    prefab_sign_t& sign = prefab.signs[static_cast<size_t>(index)];
    sign.model_id = child.get_int("model_id", -1);
    char key[32];
    for (int32_t board = 0; board < prefab_sign_boards; ++board) {
        std::snprintf(key, sizeof key, "dest%d", board);
        sign.destinations[board] = child.get_int(key, -1);
        std::snprintf(key, sizeof key, "arrow%d", board);
        sign.arrows[board] = child.get_int(key, 0) - 1;
    }
}

// A table count of prefabs.def that does not exceed `limit` children or keys: larger is reported
// and cut to it.
int32_t bounded_count(const def_obj_t& object, const char* key, const size_t limit, const char* what,
                      const prefab_t& prefab)
{
    const int value = object.get_int(key);
    if (value < 0 || static_cast<size_t>(value) > limit) {
        api::error("Prefab %s: \"%s\" is %d but the prefab has %zu %s; only those are read", prefab.name, key, value,
                   limit, what);
        return value < 0 ? 0 : static_cast<int32_t>(limit);
    }
    return value;
}

// Reads a traffic-light model from its "tr_lights%d" list: name, model, shaders of its parts.
void read_tr_lights(const char* text, tr_lights_model_t& out, const int32_t number)
{
    arg_t items;
    const int count = items.separate(text, ";");
    seg_copy_name(out.name, sizeof out.name, count > 0 ? items[0] : "");
    out.model = count > 1 ? api::psm_alloc(items[1], 0, 0, static_model_flags) : nullptr;
    if (!out.model) {
        api::error("Traffic-light model %d (%s) cannot be loaded; it is left out", number, count > 1 ? items[1] : "");
        return;
    }
    api::psm_set_static(out.model);
    model_part_collision_copy(out.model, "zcoll", out.collision);
    for (int i = 2; i < count; ++i)
        api::psm_set_shader(out.model, i - 2, items[i]);
    char bone[24];
    for (int32_t group = 0; group < tr_lights_groups; ++group) {
        std::snprintf(bone, sizeof bone, "red%d", group);
        if (api::psm_bone_find_global(out.model, bone) < 0)
            break;
        for (int32_t lamp = 0; lamp < tr_lights_lamps; ++lamp) {
            std::snprintf(bone, sizeof bone, "%s%d", lamp_bones[lamp], group);
            mat4_t frame;
            const int index = api::psm_bone_find_global(out.model, bone);
            out.lamps[group][lamp] =
                index >= 0 && api::psm_bone_get_matrix(out.model, index, &frame) ? mult_zero_matrix(frame) : vec3_t{};
        }
        ++out.group_count;
    }
}

}  // namespace

size_t seg_server_t::read_prefab_model(prefab_t& prefab, const char* path)
{
    prefab = prefab_t{};
    std::unique_ptr<uint8_t, engine_free_t> bytes;
    size_t size = 0;
    if (!path || !*path || !read_whole_file(path, bytes, size)) {
        api::error("Cannot open %s.", path ? path : "");
        return 0;
    }
    seg_copy_name(prefab.name, sizeof prefab.name, path);
    if (!prefab_file_parse(bytes.get(), size, path, prefab))
        return 0;
    read_prefab_def(prefab, path);
    return prefab_bytes(prefab);
}

void seg_server_t::read_prefab_def(prefab_t& prefab, const char* path)
{
    std::string def_path = path;
    if (def_path.size() < 3)
        return;
    def_path.replace(def_path.size() - 3, 3, "def");
    const std::string object_name = seg_file_name(path);
    c_item_t* const item = api::mm_precache(def_path.c_str());
    const auto* const pool = item ? static_cast<const def_pool_t*>(item->object) : nullptr;
    const def_obj_t* const object = pool ? pool->find(object_name.c_str()) : nullptr;
    if (object) {
        const int32_t curves = bounded_count(*object, "curve_count", prefab.curves.size(), "curves", prefab);
        for (int32_t i = 0; i < curves; ++i)
            if (const def_obj_t* const child = object->find("curve", i))
                read_curve_def(*child, prefab);
        const int32_t nodes = bounded_count(*object, "node_count", prefab.nodes.size(), "nodes", prefab);
        for (int32_t i = 0; i < nodes; ++i)
            read_node_slots(seg_numbered_value(*object, "node", i), prefab.nodes[static_cast<size_t>(i)], i, prefab);
        const int32_t signs = bounded_count(*object, "sign_count", prefab.signs.size(), "signs", prefab);
        for (int32_t i = 0; i < signs; ++i)
            if (const def_obj_t* const child = object->find("sign", i))
                read_sign_def(*child, prefab);
        read_stations(*object, prefab);
    }
    if (item)
        api::ci_dec_refs(item);
}

size_t seg_server_t::read_prefabs(const bool counting)
{
    const seg_def_file_t file(prefabs_path, "prefabs");
    for (int32_t table = 0; table < seg_prefab_tables; ++table)
        prefab_table[table].assign(static_cast<size_t>(file.count(table_count_keys[table])), prefab_t{});
    prefab_looks.assign(static_cast<size_t>(file.count("prefab_look_count")), prefab_look_t{});
    const int32_t shader_count = file.count("prefab_shader_count");
    tr_lights.resize(static_cast<size_t>(file.count("tr_lights_count")));
    if (counting || !file.object())
        return 0;
    const def_obj_t& object = *file.object();
    size_t bytes = 0;
    for (int32_t table = 0; table < seg_prefab_tables; ++table)
        for (size_t i = 0; i < prefab_table[table].size(); ++i) {
            const auto index = static_cast<int32_t>(i);
            bytes += read_prefab_model(prefab_table[table][i], seg_numbered_value(object, table_keys[table], index));
            loading_screen_progress(index + 1, static_cast<int>(prefab_table[table].size()));
        }
    for (size_t i = 0; i < prefab_looks.size(); ++i)
        prefab_look_parse(prefab_looks[i], seg_numbered_value(object, "prefab_look", static_cast<int32_t>(i)));
    prefab_shaders.reset(shader_count);
    prefab_shaders[-1] = {seg_shader_take(seg_fallback_shader_path), 1};
    arg_t items;
    for (int32_t i = 0; i < shader_count; ++i) {
        const int fields = items.separate(seg_numbered_value(object, "prefab_shader", i), ";");
        prefab_shaders[i].shader = seg_shader_take(fields > 0 && *items[0] ? items[0] : seg_fallback_shader_path);
        prefab_shaders[i].flag = fields == 1 ? 1 : 0;
    }
    for (size_t i = 0; i < tr_lights.size(); ++i)
        read_tr_lights(seg_numbered_value(object, "tr_lights", static_cast<int32_t>(i)), tr_lights[i],
                       static_cast<int32_t>(i));
    for (int32_t state = 0; state < tr_lights_lamps; ++state) {
        const char* const path = object.get_value(lamp_state_keys[state]);
        tr_light_states[state] = seg_shader_take(path && *path ? path : seg_fallback_shader_path);
    }
    return bytes;
}

const seg_flagged_shader_t& seg_server_t::prefab_part_shader(const int32_t look, const int32_t slot) const
{
    // Before prefabs.def is read there is not even the fallback.
    static const seg_flagged_shader_t none{};
    if (!prefab_shaders.valid(-1))
        return none;
    if (look < 0 || static_cast<size_t>(look) >= prefab_looks.size() || slot < 0 || slot >= prefab_look_slots)
        return prefab_shaders.at_or_spare(-1);
    return prefab_shaders.at_or_spare(prefab_looks[static_cast<size_t>(look)].slots[slot]);
}
