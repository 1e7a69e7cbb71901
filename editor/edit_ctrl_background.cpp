#include <cstring>

#include "engine/arg.h"
#include "engine/gfx_render.h"
#include "engine/text.h"
#include "engine/vfs.h"
#include "common/cvar_value.h"
#include "common/engine_api.h"
#include "editor/edit_ctrl.h"
#include "editor/editor_camera.h"

namespace {

// The whole value of console variable `name`, or `fallback` when it is not registered.
int cvar_int(const char* name, const char* fallback)
{
    const char* value = api::cvar_get ? cvar_string_value(api::cvar_get(name)) : nullptr;
    return v_atoi(value ? value : fallback);
}

// Longest line of "bugs.txt" read.
constexpr int bug_line_bytes = 1024;

// Reads one line of `file` (at most bug_line_bytes - 1 characters) into `line`; false when the file
// ends before a newline.
bool read_line(const int file, char (&line)[bug_line_bytes])
{
    int length = 0;
    char c = 0;
    while (api::vfs_read(file, &c, 1) == 1) {
        if (c == '\n') {
            line[length] = '\0';
            return true;
        }
        if (length < bug_line_bytes - 1)
            line[length++] = c;
    }
    return false;
}

}  // namespace

void edit_ctrl_e::load_background_map()
{
    if (!background_shader_)
        background_shader_ = api::gfx_shader_precache("/shaders/editor/bcgmap.shd");
    const float size_x = static_cast<float>(cvar_int("g_bsizex", "2800000"));
    const float size_y = static_cast<float>(cvar_int("g_bsizey", "2800000"));
    const float off_x = static_cast<float>(cvar_int("g_boffx", "0"));
    const float off_y = static_cast<float>(cvar_int("g_boffy", "0"));
    for (int r = 0; r < background_grid; ++r)
        for (int c = 0; c < background_grid; ++c) {
            const int v = r * background_grid + c;
            background_positions_[v * 3 + 0] = size_x * 0.125f * static_cast<float>(c) + (off_x - size_x * 0.5f);
            background_positions_[v * 3 + 1] = 0.0f;
            background_positions_[v * 3 + 2] = size_y * 0.125f * static_cast<float>(r) + (off_y - size_y * 0.5f);
            background_texcoords_[v * 2 + 0] = static_cast<float>(c) * 0.125f;
            background_texcoords_[v * 2 + 1] = static_cast<float>(r) * 0.125f;
        }
    int index = 0;
    for (int r = 0; r < background_grid - 1; ++r)
        for (int c = 0; c < background_grid - 1; ++c) {
            const auto a = static_cast<uint16_t>(r * background_grid + c);
            for (const int offset : {9, 10, 0, 0, 10, 1})
                background_indices_[index++] = static_cast<uint16_t>(a + offset);
        }
}

void edit_ctrl_e::draw_background()
{
    if (!background_visible)
        return;
    gfx_data_t data;
    data.flags = 41 | gfx_data_world;
    data.primitive = gfx_triangle_list;
    data.shader = background_shader_;
    data.vertex_count = background_grid * background_grid;
    data.index_count = 384;
    data.positions = background_positions_;
    data.texcoords = background_texcoords_;
    data.indices = background_indices_;
    api::gfx_cache_data(&data);
}

void edit_ctrl_e::read_bug_list()
{
    const int file = api::vfs_open("bugs.txt", 0, 0x1B6);
    if (file < 0)
        return;
    char line[bug_line_bytes];
    bool found = false;
    for (int skip = 0; skip <= bugs_shown; ++skip)
        if (!read_line(file, line)) {
            found = false;
            break;
        } else {
            found = true;
        }
    if (!found) {
        // The reports ran out: start again with the first.
        bugs_shown = 0;
        api::vfs_seek(file, 0, 0);
        found = read_line(file, line);
    }
    api::vfs_close(file);
    if (!found)
        return;
    arg_t fields;
    if (fields.separate(line, ";") == 5) {
        editor_camera_e* const top = dynamic_cast<editor_camera_e*>(top_camera_.resolve());
        if (top)
            top->set_position(vec3_t(static_cast<float>(v_atoi(fields[2])), static_cast<float>(v_atoi(fields[3])),
                                     static_cast<float>(v_atoi(fields[4]))));
        quick_help(fields[0]);
    }
    ++bugs_shown;
}
