#include <cstdio>
#include <cstring>
#include <deque>
#include <vector>

#include "engine/text.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "common/vfs_le.h"
#include "editor/ai_data_writer.h"
#include "editor/edit_ctrl.h"
#include "editor/edit_ini.h"
#include "editor/editor_camera_top.h"
#include "editor/map_file_dialog.h"

namespace {

// Permission word of the files the editor creates.
constexpr unsigned file_mode = 0x1B6;
// Open flags: read, create or truncate, write without truncating.
constexpr unsigned open_read = 0;
constexpr unsigned open_create = 0x101;
constexpr unsigned open_update = 0x109;
// Longest file name the dialogs give.
constexpr size_t file_name_bytes = 128;

// Reads the whole file at `path`; false when it cannot be opened.
bool read_file(const char* path, std::vector<uint8_t>& out)
{
    const int file = api::vfs_open(path, open_read, file_mode);
    if (file < 0)
        return false;
    out.clear();
    uint8_t chunk[1024];
    long got;
    while ((got = api::vfs_read(file, chunk, sizeof chunk)) > 0)
        out.insert(out.end(), chunk, chunk + got);
    api::vfs_close(file);
    return got == 0;
}

// The prefab of a dock edge as the AI data writers take it: its node positions and spawn points.
class dock_prefabs_t {
public:
    explicit dock_prefabs_t(edit_ctrl_e& ctrl) : ctrl_(ctrl) {}

    const dock_prefab_t* operator()(const map_edge_t& edge)
    {
        const prefab_t* prefab = ctrl_.get_prefab_def(const_cast<map_edge_t&>(edge), nullptr);
        if (!prefab)
            return nullptr;
        dock_prefab_t& out = cache_.emplace_back();
        for (const prefab_node_t& node : prefab->nodes)
            out.nodes.push_back(node.position);
        for (const auto& words : prefab->docks) {
            // Seven words: the position (three floats), then the rotation quaternion (x, y, z, w).
            float values[7];
            std::memcpy(values, words.data(), sizeof values);
            dock_spawn_point_t point;
            point.position = vec3_t(values[0], values[1], values[2]);
            point.rotation = quat_t(values[3], values[4], values[5], values[6]);
            out.spawn_points.push_back(point);
        }
        return &out;
    }

private:
    edit_ctrl_e& ctrl_;
    std::deque<dock_prefab_t> cache_;
};

}  // namespace

void edit_ctrl_e::read_ini()
{
    std::vector<uint8_t> bytes;
    if (!read_file("/edit.ini", bytes))
        return;
    edit_ini_t ini;
    std::string error;
    if (!edit_ini_read(bytes, ini, error)) {
        api::warning("<edit_ctrl_e> /edit.ini is not used: %s", error.c_str());
        return;
    }
    defaults = ini.defaults;
    stamp_definition = ini.stamp_definition;
    stamp_shader = ini.stamp_shader;
    node_height = ini.node_height;
    aux_node_height = ini.aux_node_height;
    item_height = ini.item_height;
    set_mode(ini.mode);
    set_sub_mode(ini.sub_mode);
}

void edit_ctrl_e::write_ini()
{
    edit_ini_t ini;
    ini.defaults = defaults;
    ini.mode = mode;
    ini.sub_mode = sub_mode;
    ini.stamp_definition = stamp_definition;
    ini.stamp_shader = stamp_shader;
    ini.node_height = node_height;
    ini.aux_node_height = aux_node_height;
    ini.item_height = item_height;
    const std::vector<uint8_t> bytes = edit_ini_write(ini);
    const int file = api::vfs_open("/edit.ini", open_create, file_mode);
    if (file < 0)
        return;
    if (api::vfs_write(file, bytes.data(), static_cast<long>(bytes.size())) != static_cast<long>(bytes.size()))
        api::warning("<edit_ctrl_e> /edit.ini was not written whole");
    api::vfs_close(file);
}

bool edit_ctrl_e::write_trailer(const char* path, const int32_t map_size)
{
    const int file = api::vfs_open(path, open_update, file_mode);
    if (file < 0)
        return false;
    vec3_t camera_position{};
    float zoom = 0.0f;
    if (editor_camera_e* camera = current_camera()) {
        camera_position = camera->get_position();
        if (auto* top = dynamic_cast<editor_camera_top_e*>(camera))
            zoom = top->zoom;
    }
    bool written = api::vfs_seek(file, map_size, 0) == map_size &&
                   api::vfs_write(file, editor_trailer_magic, editor_trailer_magic_size) == editor_trailer_magic_size;
    for (const float value : {camera_position.x, camera_position.y, camera_position.z, zoom})
        written = written && vfs_write_f32(file, value);
    api::vfs_close(file);
    return written;
}

bool edit_ctrl_e::read_trailer(const char* path, const int32_t map_size)
{
    const int file = api::vfs_open(path, open_read, file_mode);
    if (file < 0)
        return false;
    char magic[editor_trailer_magic_size];
    float values[4];
    bool found = api::vfs_seek(file, map_size, 0) == map_size &&
                 api::vfs_read(file, magic, sizeof magic) == static_cast<long>(sizeof magic) &&
                 std::memcmp(magic, editor_trailer_magic, sizeof magic) == 0;
    for (float& value : values)
        found = found && vfs_read_f32(file, &value);
    api::vfs_close(file);
    if (!found)
        return false;
    // The trailer's place and zoom belong to the top camera.
    auto* top = dynamic_cast<editor_camera_top_e*>(top_camera_.resolve());
    if (top) {
        if (values[3] >= 0.0f && values[3] <= 1.0f)
            top->zoom = values[3];
        top->set_position(vec3_t(values[0], values[1], values[2]));
    }
    return true;
}

bool edit_ctrl_e::load(const char* name)
{
    char chosen[file_name_bytes];
    if (!name) {
        if (!map_file_dialog(chosen, sizeof chosen, true, false))
            return false;
        name = chosen;
    }
    if (!save_if_modified())
        return false;
    char path[sizeof map_path];
    v_snprintf0(path, sizeof path, "/maps/%s", name);
    empty_map();
    modified = false;
    const int32_t read = load_map(path, nullptr);
    if (read < 1) {
        map_path[0] = '\0';
        build_start_marker();
        return false;
    }
    v_strncpy(map_path, path, sizeof map_path - 1);
    build_item_tree();
    read_trailer(path, read);
    build_start_marker();
    check_sign_runs();
    return true;
}

bool edit_ctrl_e::save(const char* name, const bool with_checks)
{
    quick_help("Saving ....");
    char chosen[file_name_bytes];
    if (!name) {
        const char* const slash = std::strrchr(map_path, '/');
        if (map_path[0] && slash && slash[1]) {
            v_strncpy(chosen, slash + 1, sizeof chosen - 1);
        } else if (!map_file_dialog(chosen, sizeof chosen, false, false)) {
            quick_help(" ");
            return false;
        }
        name = chosen;
    }
    prepare_save();
    number_edge_data();
    prepare_misc_items();
    clean_free_item_flags();
    char path[sizeof map_path];
    v_snprintf0(path, sizeof path, "/maps/%s", name);
    // A fresh home has no maps folder yet (an existing one is fine).
    api::vfs_mkdir("/maps", 0777);
    const int32_t size = save_map(path);
    if (with_checks) {
        check_routes(path);
        check_docks_traders();
    }
    save_ai_data(path);
    // A map that was not written stays marked modified, so that new and quit do not lose it.
    if (size < 1) {
        api::error("<edit_ctrl_e> the map was not saved to %s", path);
        quick_help("Not saved.");
        return false;
    }
    v_strncpy(map_path, path, sizeof map_path - 1);
    modified = false;
    if (!write_trailer(path, size))
        api::warning("<edit_ctrl_e> the editor's camera was not written behind %s", path);
    quick_help("Saved.");
    return true;
}

void edit_ctrl_e::save_ai_data(const char* map_path_)
{
    dock_prefabs_t prefabs(*this);
    ai_data_save(map_path_, *this, [&prefabs](const map_edge_t& edge) { return prefabs(edge); });
}

void edit_ctrl_e::check_routes(const char* map_path_)
{
    dock_prefabs_t prefabs(*this);
    route_table_save(map_path_, *this, [&prefabs](const map_edge_t& edge) { return prefabs(edge); });
}

void edit_ctrl_e::check_docks_traders() { ::check_docks_traders(*this); }
