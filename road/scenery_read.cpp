// The scenery beside the roads: city-block buildings and street lamps, free items, direction signs,
// sky shaders, terrain brushes and the direction boards' assets.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/arg.h"
#include "engine/def_pool.h"
#include "engine/matrix.h"
#include "engine/ui.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "common/loading_screen.h"
#include "road/seg_def_file.h"
#include "road/seg_server.h"

namespace {

constexpr const char* cityblocks_path = "/defs/seg_server/cityblocks.def";
constexpr const char* freeitems_path = "/defs/seg_server/freeitems.def";
constexpr const char* signs_path = "/defs/seg_server/signs.def";
constexpr const char* skies_path = "/defs/seg_server/skies.def";
constexpr const char* brushes_path = "/defs/seg_server/brushes.def";
constexpr const char* misc_path = "/defs/seg_server/misc.def";
// Flags the scenery models are loaded with.
constexpr unsigned scenery_model_flags = 16;
// Flags and tag of a free item's ambient sound.
constexpr uint32_t freeitem_sound_flags = 5;
constexpr int freeitem_sound_tag = 10;
// Direction-board windows made once: right-hand boards, then left-hand ones.
constexpr int right_board_windows = 80;
constexpr int left_board_windows = 60;

// A static scenery model at `path` (null, reported naming `what` and `index`, when it cannot be loaded).
psm_t* load_static_model(const char* path, const char* what, const int32_t index)
{
    psm_t* const model = path && *path ? api::psm_alloc(path, 0, 0, scenery_model_flags) : nullptr;
    if (!model) {
        api::error("%s %d (%s) cannot be loaded; it is left out", what, index, path ? path : "");
        return nullptr;
    }
    api::psm_set_static(model);
    return model;
}

// Sets items `first` on of `items` as the shaders of the model's parts 0, 1, ...
void set_part_shaders(psm_t* model, const arg_t& items, const int count, const int first)
{
    for (int i = first; model && i < count; ++i)
        api::psm_set_shader(model, i - first, items[i]);
}

// The model-space origin of bone `name`; false (and the zero point) when the model has none.
bool bone_origin(psm_t* model, const char* name, vec3_t& out)
{
    out = vec3_t{};
    const int bone = model ? api::psm_bone_find_global(model, name) : -1;
    mat4_t frame;
    if (bone < 0 || !api::psm_bone_get_matrix(model, bone, &frame))
        return false;
    out = mult_zero_matrix(frame);
    return true;
}

// A shader pair from a "shader%d" list: the first item, and the second when the list has exactly two.
seg_shader_pair_t read_shader_pair(const char* text)
{
    arg_t items;
    const int count = items.separate(text, ";");
    const char* const first = count > 0 && *items[0] ? items[0] : seg_fallback_shader_path;
    return {seg_shader_take(first), seg_shader_take(count == 2 ? items[1] : first)};
}

// An index named by a definition: kept when it is -1 or below `count`, else -1 (reported).
int32_t checked_index(const int32_t index, const size_t count, const char* what, const char* owner)
{
    if (index >= -1 && (index < 0 || static_cast<size_t>(index) < count))
        return index;
    api::error("%s names %s %d, which does not exist; it is left out", owner, what, index);
    return -1;
}

// A shader taken from a path key, the fallback when the key is missing.
seg_shader_t take_path(const def_obj_t& object, const char* key)
{
    const char* const path = object.get_value(key);
    return seg_shader_take(path && *path ? path : seg_fallback_shader_path);
}

}  // namespace

void seg_server_t::read_cityblocks(const bool counting)
{
    const seg_def_file_t file(cityblocks_path, "cityblocks");
    cityblock_models.assign(static_cast<size_t>(file.count("model_count")), cityblock_model_t{});
    const int32_t shader_count = file.count("shader_count");
    cityblock_looks.assign(static_cast<size_t>(file.count("look_count")), cityblock_look_t{});
    cityblock_lamps.assign(static_cast<size_t>(file.count("lamp_count")), cityblock_lamp_t{});
    if (counting || !file.object())
        return;
    const def_obj_t& object = *file.object();
    for (size_t i = 0; i < cityblock_models.size(); ++i) {
        const auto index = static_cast<int32_t>(i);
        cityblock_model_t& building = cityblock_models[i];
        building.model = load_static_model(seg_numbered_value(object, "model", index), "City-block model", index);
        building.width = model_z_extent(building.model);
    }
    cityblock_shaders.resize(static_cast<size_t>(shader_count));
    for (int32_t i = 0; i < shader_count; ++i)
        cityblock_shaders[static_cast<size_t>(i)] = read_shader_pair(seg_numbered_value(object, "shader", i));
    arg_t items, kind_items;
    char owner[64];
    for (size_t l = 0; l < cityblock_looks.size(); ++l) {
        cityblock_look_t& look = cityblock_looks[l];
        const int count = items.separate(seg_numbered_value(object, "look", static_cast<int32_t>(l)), ";");
        seg_copy_name(look.name, sizeof look.name, count > 0 ? items[0] : "");
        int kinds = count > 1 ? std::atoi(items[1]) : 0;
        if (kinds < 0 || kinds > cityblock_max_kinds || 2 + 2 * kinds > count) {
            api::error("City-block look %s gives %d building kinds, not 0 to %d with a model and weight each; "
                       "it has none",
                       look.name, kinds, cityblock_max_kinds);
            kinds = 0;
        }
        look.kind_count = kinds;
        for (int k = 0; k < kinds; ++k) {
            cityblock_kind_t& kind = look.kinds[k];
            kind.weight = std::strtof(items[3 + 2 * k], nullptr);
            const int fields =
                kind_items.separate(seg_numbered_value(object, "model_look", std::atoi(items[2 + 2 * k])), ";");
            if (fields > 1 + cityblock_kind_shaders)
                api::error("City building model has more than %d parts !!!", cityblock_kind_shaders);
            std::snprintf(owner, sizeof owner, "City-block look %s", look.name);
            kind.model = checked_index(fields > 0 ? std::atoi(kind_items[0]) : -1, cityblock_models.size(),
                                       "building model", owner);
            for (int s = 0; s < cityblock_kind_shaders; ++s)
                kind.shaders[s] = s + 1 < fields ? checked_index(std::atoi(kind_items[s + 1]), cityblock_shaders.size(),
                                                                 "shader", owner)
                                                 : -1;
        }
    }
    for (size_t i = 0; i < cityblock_lamps.size(); ++i) {
        const auto index = static_cast<int32_t>(i);
        cityblock_lamp_t& lamp = cityblock_lamps[i];
        const int count = items.separate(seg_numbered_value(object, "lamp", index), ";");
        lamp.model = load_static_model(count > 0 ? items[0] : nullptr, "Street lamp", index);
        set_part_shaders(lamp.model, items, count, 1);
        char key[32];
        std::snprintf(key, sizeof key, "flare%d", index);
        lamp.flare = take_path(object, key);
        std::snprintf(key, sizeof key, "decal%d", index);
        lamp.decal = take_path(object, key);
        model_part_collision_copy(lamp.model, "zcoll", lamp.collision);
        for (int32_t light = 0; light < cityblock_lamp_lights; ++light) {
            std::snprintf(key, sizeof key, "light%d", light);
            if (!bone_origin(lamp.model, key, lamp.lights[light]))
                break;
            ++lamp.light_count;
        }
        loading_screen_progress(index + 1, static_cast<int>(cityblock_lamps.size()));
    }
}

void seg_server_t::read_freeitems(const bool counting)
{
    const seg_def_file_t file(freeitems_path, "freeitems");
    freeitem_models.assign(static_cast<size_t>(file.count("model_count")), freeitem_model_t{});
    const int32_t shader_count = file.count("shader_count");
    freeitem_looks.assign(static_cast<size_t>(file.count("look_count")), freeitem_look_t{});
    if (counting || !file.object())
        return;
    const def_obj_t& object = *file.object();
    arg_t items;
    for (size_t i = 0; i < freeitem_models.size(); ++i) {
        const auto index = static_cast<int32_t>(i);
        freeitem_model_t& item = freeitem_models[i];
        const int count = items.separate(seg_numbered_value(object, "model", index), ";");
        seg_copy_name(item.name, sizeof item.name, count > 0 ? items[0] : "");
        const char* const path = count > 1 ? items[1] : nullptr;
        const bool animated = count > 2 && items[2][0] != '-';
        item.model = path && *path ? api::psm_alloc(path, 0, 0, scenery_model_flags) : nullptr;
        if (!item.model) {
            api::error("Free-item model %d (%s) cannot be loaded; it is left out", index, path ? path : "");
            continue;
        }
        if (animated) {
            const int anim = api::psm_anim_add_file(api::psm_get_info(item.model), items[2], nullptr);
            item.animation = anim >= 0 ? api::psm_adesc_create(item.model, anim, 0, 0, 0) : -1;
            if (item.animation >= 0) {
                api::psm_adesc_set_wspeeds(item.model, item.animation, 2.0f, -2.0f);
                api::psm_adesc_loop_forever(item.model, item.animation);
            }
        } else {
            api::psm_set_static(item.model);
        }
        if (count == 4)
            item.sound = api::snd_new(items[3], freeitem_sound_flags, freeitem_sound_tag);
        if (!bone_origin(item.model, "noweather00", item.noweather[0]) ||
            !bone_origin(item.model, "noweather10", item.noweather[1]))
            item.noweather[0] = item.noweather[1] = vec3_t{};
        model_part_collision_copy(item.model, "zcoll", item.collision);
    }
    freeitem_shaders.resize(static_cast<size_t>(shader_count));
    for (int32_t i = 0; i < shader_count; ++i)
        freeitem_shaders[static_cast<size_t>(i)] = read_shader_pair(seg_numbered_value(object, "shader", i));
    for (size_t l = 0; l < freeitem_looks.size(); ++l) {
        freeitem_look_t& look = freeitem_looks[l];
        const int count = items.separate(seg_numbered_value(object, "look", static_cast<int32_t>(l)), ";");
        seg_copy_name(look.name, sizeof look.name, count > 0 ? items[0] : "");
        if (count - 1 > freeitem_look_models)
            api::error("Free-item look %s names %d models; only the first %d are used", look.name, count - 1,
                       freeitem_look_models);
        look.model_count = std::clamp(count - 1, 0, freeitem_look_models);
        for (int m = 0; m < look.model_count; ++m)
            look.models[m] =
                checked_index(std::atoi(items[m + 1]), freeitem_models.size(), "free-item model", look.name);
    }
}

size_t seg_server_t::read_signs(const bool counting)
{
    const seg_def_file_t file(signs_path, "signs");
    sign_models.assign(static_cast<size_t>(file.count("sign_model_count")), sign_model_t{});
    sign_boards.assign(static_cast<size_t>(file.count("sign_count")), sign_board_def_t{});
    sign_texts.assign(static_cast<size_t>(file.count("sign_texts_count")), sign_text_t{});
    if (counting || !file.object())
        return 0;
    const def_obj_t& object = *file.object();
    arg_t items;
    char name[32];
    for (size_t i = 0; i < sign_models.size(); ++i) {
        const auto index = static_cast<int32_t>(i);
        sign_model_t& sign = sign_models[i];
        const int count = items.separate(seg_numbered_value(object, "sign_model", index), ";");
        const int boards = count > 0 ? std::atoi(items[0]) : 0;
        if (boards < 0 || boards > sign_max_boards)
            api::error("Sign model %d has %d boards, not 0 to %d; it keeps %d", index, boards, sign_max_boards,
                       std::clamp(boards, 0, sign_max_boards));
        sign.board_count = std::clamp(boards, 0, sign_max_boards);
        sign.flag = count > 1 && std::atoi(items[1]) != 0 ? 1 : 0;
        sign.model = load_static_model(count > 2 ? items[2] : nullptr, "Sign model", index);
        if (!sign.model)
            continue;
        if (sign.board_count > 0)
            for (int32_t b = 0; b < sign_max_boards; ++b) {
                std::snprintf(name, sizeof name, "board%d", b);
                bone_origin(sign.model, name, sign.board_points[b]);
                std::snprintf(name, sizeof name, "arrow%d", b);
                sign.arrow_parts[b] = api::psm_part_find(sign.model, name);
                std::snprintf(name, sizeof name, "road%d", b);
                sign.road_parts[b] = api::psm_part_find(sign.model, name);
            }
        for (int32_t bb = 0; bb < sign_billboards; ++bb) {
            vec3_t corners[2];
            for (int32_t c = 0; c < 2; ++c) {
                std::snprintf(name, sizeof name, "bb%d", 2 * bb + c);
                bone_origin(sign.model, name, corners[c]);
            }
            sign.billboard_sizes[bb] =
                vec3_t(std::fabs(corners[1].x - corners[0].x), std::fabs(corners[1].y - corners[0].y),
                       std::fabs(corners[1].z - corners[0].z));
            sign.billboard_centres[bb] =
                vec3_t((corners[0].x + corners[1].x) * 0.5f, (corners[0].y + corners[1].y) * 0.5f,
                       (corners[0].z + corners[1].z) * 0.5f);
        }
    }
    for (size_t i = 0; i < sign_boards.size(); ++i) {
        sign_board_def_t& board = sign_boards[i];
        const int count = items.separate(seg_numbered_value(object, "sign", static_cast<int32_t>(i)), ";");
        seg_copy_name(board.name, sizeof board.name, count > 0 ? items[0] : "");
        board.model = checked_index(count > 1 ? std::atoi(items[1]) : -1, sign_models.size(), "sign model", board.name);
        if (count - 2 > sign_board_shaders)
            api::error("Sign %s names %d shaders; only the first %d are used", board.name, count - 2,
                       sign_board_shaders);
        for (int s = 0; s < sign_board_shaders && s + 2 < count; ++s) {
            std::snprintf(name, sizeof name, "sign_shader%s", items[s + 2]);
            board.shaders[s] = take_path(object, name);
        }
    }
    for (size_t i = 0; i < sign_texts.size(); ++i)
        seg_copy_name(sign_texts[i].text, sizeof sign_texts[i].text,
                      seg_numbered_value(object, "sign_text", static_cast<int32_t>(i)));
    return sign_models.size() * sizeof(sign_model_t) + sign_boards.size() * sizeof(sign_board_def_t);
}

void seg_server_t::read_skies(const bool counting)
{
    const seg_def_file_t file(skies_path, "skies");
    sky_shaders.assign(static_cast<size_t>(file.count("sky_shader_count")), seg_shader_t{});
    if (counting || !file.object())
        return;
    char key[32];
    for (size_t i = 0; i < sky_shaders.size(); ++i) {
        std::snprintf(key, sizeof key, "sky_shader%zu", i);
        sky_shaders[i] = take_path(*file.object(), key);
    }
}

void seg_server_t::read_brushes(const int mode)
{
    const seg_def_file_t file(brushes_path, "brushes");
    if (mode != 2)
        brushes.assign(static_cast<size_t>(file.count("brush_count")), brush_t{});
    if (!file.object())
        return;
    arg_t items;
    size_t cells = 0;
    for (size_t i = 0; i < brushes.size(); ++i) {
        brush_t& brush = brushes[i];
        const int count = items.separate(seg_numbered_value(*file.object(), "brush", static_cast<int32_t>(i)), ";");
        const char* const path = count > 1 ? items[1] : "";
        uint8_t size[2] = {};
        const int handle = api::vfs_open(path, 0, 0);
        if (handle < 0 || api::vfs_read(handle, size, 2) != 2) {
            if (mode == 1)
                api::error("Brush %s: its file %s cannot be read; the brush is empty", count > 0 ? items[0] : "", path);
            if (handle >= 0)
                api::vfs_close(handle);
            continue;
        }
        if (mode == 1) {
            seg_copy_name(brush.name, sizeof brush.name, count > 0 ? items[0] : "");
            brush.width = size[0];
            brush.height = size[1];
        } else if (mode == 2 && brush.cells && brush.width == size[0] && brush.height == size[1]) {
            std::vector<uint8_t> bytes(static_cast<size_t>(size[0]) * size[1]);
            const long got = bytes.empty() ? 0 : api::vfs_read(handle, bytes.data(), static_cast<long>(bytes.size()));
            if (got != static_cast<long>(bytes.size()))
                api::error("Brush %s: its file %s holds fewer than its %zu cells; the rest are 0", brush.name, path,
                           bytes.size());
            for (long c = 0; c < got; ++c)
                brush.cells[c] = bytes[static_cast<size_t>(c)];
        }
        cells += static_cast<size_t>(size[0]) * size[1];
        api::vfs_close(handle);
    }
    if (mode == 1) {
        brush_cells.assign(cells, 0);
        size_t at = 0;
        for (brush_t& brush : brushes) {
            brush.cells = brush_cells.data() + at;
            at += static_cast<size_t>(brush.width) * static_cast<size_t>(brush.height);
        }
    }
}

void seg_server_t::read_misc()
{
    const seg_def_file_t file(misc_path, "misc");
    char key[32];
    arg_t items;
    if (const def_obj_t* const object = file.object()) {
        for (int32_t i = 0; i < 3; ++i) {
            std::snprintf(key, sizeof key, "arrow%d", i);
            board_arrows[i] = take_path(*object, key);
        }
        for (int32_t i = 0; i < 2; ++i) {
            std::snprintf(key, sizeof key, "road_bcg%d", i);
            board_backgrounds[i] = take_path(*object, key);
        }
        for (int32_t i = 0; i < 3; ++i) {
            std::snprintf(key, sizeof key, "hq%d", i + 1);
            const int count = items.separate(object->get_value(key), ";");
            hq_models[i] = load_static_model(count > 0 ? items[0] : nullptr, "Headquarters model", i + 1);
            set_part_shaders(hq_models[i], items, count, 1);
        }
    }
    // The board windows are made whether misc.def could be read or not; a missing script stops at
    // its first failure rather than reporting every window.
    const struct {
        const char* script;
        int count;
        std::vector<c_item_t*>& stack;
    } stacks[] = {{"/ui/boardr.esc", right_board_windows, board_stacks[1]},
                  {"/ui/boardl.esc", left_board_windows, board_stacks[0]}};
    for (const auto& stack : stacks)
        for (int i = 0; i < stack.count; ++i) {
            c_item_t* const window = ui_winsert("3d", "3d", 0, stack.script, false);
            if (!window)
                break;
            api::ci_inc_refs(window);
            stack.stack.push_back(window);
        }
}

void seg_server_t::animate(const float dt)
{
    for (const freeitem_model_t& item : freeitem_models)
        if (item.model && item.animation >= 0)
            api::psm_add_time(item.model, dt);
}
