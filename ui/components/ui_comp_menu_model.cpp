#include "ui/components/ui_comp_menu_model.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/def_obj.h"
#include "engine/geometry.h"
#include "engine/gfx_view.h"
#include "engine/psm.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "common/game_settings.h"
#include "common/sub_folders.h"
#include "ui/components/ui_area_view.h"
#include "vehicles/body/make_files.h"

namespace {

// The sub-folders of "/makes/KIND" a menu may show: not hidden, not the police truck.
std::vector<std::string> make_folders(const char* kind)
{
    const std::string root = std::string("/makes/") + kind;
    std::vector<std::string> names = vfs_sub_folders(root);
    // A folder without a description (the makes' shared files) is no make to show.
    std::erase_if(names, [&root](const std::string& name) {
        vfs_stat_t description{};
        return strcasecmp(name.c_str(), "police") == 0 ||
               api::vfs_stat((root + "/" + name + "/description.def").c_str(), &description) != 0;
    });
    return names;
}

// An index drawn from the engine's random source below `count` (which is not 0).
size_t random_index(const size_t count)
{
    return std::min(static_cast<size_t>(api::sys_rand() * static_cast<float>(count)), count - 1);
}

}  // namespace

ui_comp_menu_model_t::ui_comp_menu_model_t() = default;

ui_comp_menu_model_t::~ui_comp_menu_model_t()
{
    if (scene)
        api::psm_free(scene);
}

int ui_comp_menu_model_t::init(const int phase)
{
    if (const int failed = ui_view_t::init(phase))
        return failed;
    if (phase == 0) {
        ui_comp_make_t::hold_shared_light();
        read_menu_def();
        if (figure.load())
            api::psm_set_light_callback(figure.figure.model(), ui_comp_make_t::shared_light_list, nullptr);
    }
    return 0;
}

int ui_comp_menu_model_t::destroy(const int phase)
{
    if (phase == 0) {
        if (scene)
            api::psm_free(scene);
        scene = nullptr;
        figure.unload();
        for (ui_comp_make_t& vehicle : vehicles)
            vehicle.free_models();
        path.clear();
        lengths.clear();
        ui_comp_make_t::release_shared_light();
    }
    return ui_view_t::destroy(phase);
}

void ui_comp_menu_model_t::set_camera_path(const std::vector<vec3_t>& points)
{
    path = points;
    lengths.assign(path.size(), 0.0f);
    for (size_t i = 0; i < path.size(); ++i)
        lengths[i] = (path[(i + 1) % path.size()] - path[i]).length();
    segment = 0;
    fraction = 0.0f;
    camera_position = path.empty() ? vec3_t{} : path[0];
    aim();
}

void ui_comp_menu_model_t::read_menu_def()
{
    const make_def_t def("/defs/menu.def", "menu");
    if (!def.object)
        return;
    if (const char* model = def.object->get_value("model")) {
        scene = make_model_alloc(model);
        if (scene)
            api::psm_set_light_callback(scene, ui_comp_make_t::shared_light_list, nullptr);
        for (int i = 0; scene; ++i) {
            char key[24];
            std::snprintf(key, sizeof key, "shader%d", i);
            const char* shader = def.object->get_value(key);
            if (!shader || !shader[0])
                break;
            api::psm_set_shader(scene, i, shader);
        }
    }
    std::vector<vec3_t> points;
    if (scene) {
        make_bone_position(scene, "truck0", truck_place);
        const int camera = api::psm_part_find(scene, "camera");
        int count = 0;
        const vec3_t* vertices = camera >= 0 ? api::psm_update_gdata(scene, camera, &count) : nullptr;
        for (int i = 0; vertices && i < count; ++i)
            points.push_back(vertices[i]);
    }
    set_camera_path(points);
    for (int slot = 0; slot < 2; ++slot) {
        const char* kind = def.object->get_value(slot == 0 ? "truck" : "trailer");
        if (!kind || !kind[0])
            continue;
        const std::vector<std::string> makes = make_folders(kind);
        if (!makes.empty())
            build_truck(slot, kind, makes[random_index(makes.size())]);
    }
}

int ui_comp_menu_model_t::build_trailer(const std::string& make)
{
    const std::string path = "/makes/trailer/" + make + "/acc/base/!desc.def";
    const make_def_t def(path.c_str(), "accessory");
    int variants = 0;
    for (; def.object; ++variants) {
        char key[24];
        std::snprintf(key, sizeof key, "shader%d", variants);
        const char* shader = def.object->get_value(key);
        if (!shader || !shader[0])
            break;
    }
    return variants;
}

void ui_comp_menu_model_t::build_truck(const int slot, const char* kind, const std::string& make)
{
    ui_comp_make_t& vehicle = vehicles[slot];
    vehicle.free_models();
    const std::string path = std::string("/makes/") + kind + "/" + make + "/description.def";
    const make_def_t def(path.c_str(), slot == 0 ? "truck" : "trailer");
    if (!def.object)
        return;
    char accessories[ui_comp_make_t::part_count][ui_comp_make_t::name_size] = {};
    int used = 0;
    for (int i = 0; used < ui_comp_make_t::part_count - 1; ++i) {
        char key[24];
        std::snprintf(key, sizeof key, "access%d", i);
        const char* name = def.object->get_value(key);
        if (!name || !name[0])
            break;
        if (strcasecmp(name, "interior") != 0)
            std::snprintf(accessories[used++], ui_comp_make_t::name_size, "%s", name);
    }
    int variant = 0;
    if (strcasecmp(kind, "truck") == 0) {
        int paints = 0;
        for (;; ++paints) {
            char key[24];
            std::snprintf(key, sizeof key, "paint%d", paints);
            const char* paint = def.object->get_value(key);
            if (!paint || !paint[0])
                break;
        }
        if (paints > 0) {
            char key[24];
            std::snprintf(key, sizeof key, "paint%zu", random_index(static_cast<size_t>(paints)));
            std::snprintf(accessories[used++], ui_comp_make_t::name_size, "%s", def.object->get_value(key));
        }
    } else {
        const int variants = build_trailer(make);
        variant = variants > 0 ? static_cast<int>(random_index(static_cast<size_t>(variants))) : 0;
    }
    vehicle.build_truck(make.c_str(), accessories, kind, variant);
    vehicle.show_part("feet", false);
    // The trailer is coupled by its "hook" to the truck's origin.
    vec3_t hook{};
    placements[slot] =
        slot == 1 && vehicle.parts[0] && make_bone_position(vehicle.parts[0], "hook", hook) ? hook * -1.0f : vec3_t{};
    reload_models();
}

void ui_comp_menu_model_t::reload_models()
{
    const bool high = game_detail_level() >= 2;
    for (ui_comp_make_t& vehicle : vehicles) {
        vehicle.show_part("high0", high);
        vehicle.show_part("high1", high);
        vehicle.show_part("low", !high);
    }
}

void ui_comp_menu_model_t::aim()
{
    vec3_t direction = truck_place - camera_position;
    if (direction.length() > 0.0f)
        direction = direction.normalized();
    camera_angles = cartes_2_ypr(direction);
}

void ui_comp_menu_model_t::travel(const float step)
{
    float total = 0.0f;
    for (const float length : lengths)
        total += length;
    // Fewer than two points, or all of one place: the camera stays where it is.
    if (path.size() < 2 || total <= 0.0f)
        return;
    float travelled = fraction * lengths[segment] + std::min(step, longest_step);
    while (travelled >= lengths[segment]) {
        travelled -= lengths[segment];
        segment = (segment + 1) % path.size();
    }
    fraction = lengths[segment] > 0.0f ? travelled / lengths[segment] : 0.0f;
    const vec3_t& from = path[segment];
    const vec3_t& to = path[(segment + 1) % path.size()];
    camera_position = from + (to - from) * fraction;
    aim();
}

void ui_comp_menu_model_t::handler()
{
    ui_view_t::handler();
    travel(api::sys_get_lastdelta() * travel_speed);
    figure.update(api::sys_get_lastdelta());
}

void ui_comp_menu_model_t::draw()
{
    if (!is_visible() || !scene)
        return;
    gfx_view_t view = ui_area_view(uiref2view(), 64.0f, 50000.0f, 70.0f);
    api::gfx_view_push(&view);
    api::gfx_push_identity();
    api::gfx_camera_identity();
    const vec3_t turn = camera_angles * -1.0f;
    api::gfx_rotate(&turn[0]);
    const vec3_t back = camera_position * -1.0f;
    api::gfx_translate(&back[0]);
    api::psm_draw(scene, 1, 0xFFFFFFFFu);
    figure.draw(truck_place);
    for (int slot = 0; slot < 2; ++slot) {
        api::gfx_push();
        const vec3_t place = truck_place + placements[slot];
        api::gfx_translate(&place[0]);
        vehicles[slot].draw_models();
        api::gfx_pop();
    }
    api::gfx_pop();
    api::gfx_view_pop();
}
