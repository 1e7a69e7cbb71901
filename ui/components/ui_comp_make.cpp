#include "ui/components/ui_comp_make.h"

#include <strings.h>

#include <cstdio>
#include <vector>

#include "engine/cache.h"
#include "engine/def_obj.h"
#include "engine/gfx_render.h"
#include "engine/gfx_view.h"
#include "engine/psm.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "common/engine_api.h"
#include "ui/components/ui_area_view.h"
#include "ui/components/ui_shared_light.h"
#include "vehicles/body/make_files.h"

namespace {

// The light every make view shares, made by the first and dropped by the last.
// Half ambient and half diffuse from above, before and to the left: a face turned to it is lit fully.
ui_shared_light_t shared_light(r_light_t{
    0, {0.5f, 0.5f, 0.5f, 1.0f}, {0.5f, 0.5f, 0.5f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {-0.5f, 1.0f, 1.0f, 0.0f}});

// A model of an accessory with its shaders found in the accessory's folder or the make's shared one.
psm_t* accessory_model(const char* kind, const char* make, const char* accessory, const char* model,
                       const char* shaders)
{
    if (!model || !model[0])
        return nullptr;
    psm_t* loaded = make_model_alloc(ui_comp_make_t::acc_file_path(kind, make, accessory, model).c_str());
    if (!loaded)
        return nullptr;
    api::psm_set_light_callback(loaded, ui_comp_make_t::shared_light_list, nullptr);
    char folder[256];
    char shared[256];
    std::snprintf(folder, sizeof folder, "/makes/%s/%s/acc/%s", kind, make, accessory);
    std::snprintf(shared, sizeof shared, "/makes/%s/%s/acc/shared", kind, make);
    const char* const folders[] = {folder, shared};
    if (shaders && shaders[0])
        make_set_shaders(loaded, shaders, folders, 2, true);
    return loaded;
}

}  // namespace

ui_comp_make_t::ui_comp_make_t() = default;

void ui_comp_make_t::hold_shared_light() { shared_light.hold(); }

void ui_comp_make_t::release_shared_light() { shared_light.release(); }

const void* ui_comp_make_t::shared_light_list(psm_t* model, void*)
{
    return ui_shared_light_t::list(model, &shared_light);
}

ui_comp_make_t::~ui_comp_make_t() { free_models(); }

std::string ui_comp_make_t::acc_file_path(const char* kind, const char* make, const char* accessory, const char* file)
{
    char path[256];
    std::snprintf(path, sizeof path, "/makes/%s/%s/acc/%s/%s", kind, make, accessory, file);
    if (make_file_exists(path))
        return path;
    std::snprintf(path, sizeof path, "/makes/%s/%s/acc/shared/%s", kind, make, file);
    return path;
}

void ui_comp_make_t::free_models()
{
    for (psm_t*& model : parts)
        if (model) {
            api::psm_free(model);
            model = nullptr;
        }
    for (psm_t** model : {&front_wheel, &rear_wheel})
        if (*model) {
            api::psm_free(*model);
            *model = nullptr;
        }
    front_count = rear_count = 0;
}

int ui_comp_make_t::init(const int phase)
{
    if (const int failed = ui_view_t::init(phase))
        return failed;
    if (phase == 0)
        hold_shared_light();
    return 0;
}

int ui_comp_make_t::destroy(const int phase)
{
    if (phase == 0) {
        free_models();
        release_shared_light();
    }
    return ui_view_t::destroy(phase);
}

void ui_comp_make_t::build_truck(const char* make, const char (*accessories)[name_size], const char* kind,
                                 const int variant)
{
    free_models();
    if (!make || !make[0] || !kind)
        return;
    const bool truck = strcasecmp(kind, "truck") == 0;
    for (int i = 0; accessories && i < part_count; ++i) {
        char name[name_size + 1] = {};
        std::snprintf(name, sizeof name, "%.*s", name_size, accessories[i]);
        if (!name[0] || strcasecmp(name, "interior") == 0 || strcasecmp(name, "flares") == 0)
            continue;
        char path[256];
        std::snprintf(path, sizeof path, "/makes/%s/%s/acc/%s/!desc.def", kind, make, name);
        const make_def_t def(path, "accessory");
        if (!def.object)
            continue;
        const char* type = def.object->get_value("type");
        type = type ? type : "";
        if (strcasecmp(type, "paint") == 0) {
            const char* shader = def.object->get_value("shader");
            const int cabin = parts[0] && shader ? api::psm_part_find(parts[0], "cabin") : -1;
            if (cabin >= 0) {
                std::snprintf(path, sizeof path, "/makes/%s/%s/acc/%s/%s", kind, make, name, shader);
                api::psm_set_shader(parts[0], cabin, path);
            }
        } else if (strcasecmp(type, "wheels") == 0) {
            for (psm_t** wheel : {&front_wheel, &rear_wheel}) {
                const bool front = wheel == &front_wheel;
                if (*wheel)
                    api::psm_free(*wheel);
                *wheel = accessory_model(kind, make, name, def.object->get_value(front ? "front_model" : "rear_model"),
                                         def.object->get_value(front ? "front_shader" : "rear_shader"));
                if (*wheel)
                    make_show_part(*wheel, "low", false);
            }
        } else if (strcasecmp(type, "rear_wheel") == 0) {
            if (rear_wheel)
                api::psm_free(rear_wheel);
            rear_wheel =
                accessory_model(kind, make, name, def.object->get_value("model"), def.object->get_value("shader"));
            if (rear_wheel)
                make_show_part(rear_wheel, "low", false);
        } else {
            char shader_key[16] = "shader";
            if (!truck)
                std::snprintf(shader_key, sizeof shader_key, "shader%d", variant);
            psm_t* model =
                accessory_model(kind, make, name, def.object->get_value("model"), def.object->get_value(shader_key));
            if (!model)
                continue;
            if (parts[i])
                api::psm_free(parts[i]);
            parts[i] = model;
            vec3_t offset{};
            def.object->get_point("offset", offset);
            const char* bone = def.object->get_value("bone_offset");
            vec3_t bone_position{};
            if (truck && bone && parts[0] && make_bone_position(parts[0], bone, bone_position))
                offset = offset + bone_position;
            offsets[i] = offset;
        }
    }
    if (!parts[0])
        return;
    for (int w = 0; w < front_wheels + rear_wheels; ++w) {
        char bone[32];
        std::snprintf(bone, sizeof bone, "wheel%d", w);
        vec3_t position{};
        if (!make_bone_position(parts[0], bone, position))
            continue;
        if (w < front_wheels)
            front_positions[front_count++] = position;
        else if (rear_count < rear_wheels)
            rear_positions[rear_count++] = position;
    }
}

void ui_comp_make_t::handler()
{
    ui_view_t::handler();
    if (auto_turn)
        angles[1] += 10.0f * api::sys_get_lastdelta();
}

void ui_comp_make_t::draw()
{
    if (!is_visible())
        return;
    gfx_view_t view = ui_area_view(uiref2view(), 16.0f, 20000.0f, 70.0f);
    api::gfx_push_identity();
    api::gfx_translate(&camera_offset[0]);
    const float back[3] = {0.0f, -210.0f, distance};
    api::gfx_translate(back);
    api::gfx_camera_identity();
    api::gfx_rotate(angles);
    api::gfx_translate(&model_offset[0]);
    api::gfx_view_push(&view);
    draw_models();
    api::gfx_view_pop();
    api::gfx_pop();
}

void ui_comp_make_t::draw_models()
{
    for (int i = 0; i < part_count; ++i)
        if (parts[i]) {
            api::gfx_push();
            api::gfx_translate(&offsets[i][0]);
            api::psm_draw(parts[i], 1, paint);
            api::gfx_pop();
        }
    // Wheels 0, 2, 4 ... are the mirrored ones, turned half a turn about the vertical.
    const float mirrored[4] = {0.0f, 1.0f, 0.0f, 0.0f};
    const auto draw_wheels = [&](psm_t* model, const vec3_t* positions, int count, int first) {
        for (int w = 0; model && w < count; ++w) {
            api::gfx_push();
            api::gfx_translate(&positions[w][0]);
            if ((first + w) % 2 == 0)
                api::gfx_qrotate(mirrored);
            api::psm_draw(model, 1, 0xFFFFFFFFu);
            api::gfx_pop();
        }
    };
    draw_wheels(front_wheel, front_positions, front_count, 0);
    draw_wheels(rear_wheel, rear_positions, rear_count, front_wheels);
}

void ui_comp_make_t::show_part(const char* part, const bool visible)
{
    for (psm_t* model : parts)
        if (model)
            make_show_part(model, part, visible);
    for (psm_t* model : {front_wheel, rear_wheel})
        if (model)
            make_show_part(model, part, visible);
}

bool ui_comp_make_t::action(ui_view_t* sender, const int code, void* param)
{
    const bool result = ui_view_t::action(sender, code, param);
    const auto* pointer = static_cast<const ui_pointer_param_t*>(param);
    if (!pointer)
        return result;
    if (code == ui_action_pointer_down) {
        drag_x = pointer->x;
        drag_angle = angles[1];
        if (held_buttons) {
            held_buttons |= pointer->buttons;
            return result;
        }
        if (ui_window_t* own = window())
            own->capture_events(this, true, false);
        ui_pshow(-1);
        held_buttons = pointer->buttons;
    } else if (code == ui_action_pointer_move && held_buttons == 1 && !locked) {
        angles[1] = drag_angle - (drag_x - pointer->x);
    }
    return result;
}

bool ui_comp_make_t::handle_event(ui_event_t* event)
{
    if (event && event->type == ui_event_pointer && !event->down && held_buttons) {
        held_buttons &= ~event->buttons;
        if (!held_buttons) {
            if (ui_window_t* own = window())
                own->capture_events(this, false, true);
            ui_pshow(0);
        }
    }
    return ui_view_t::handle_event(event);
}
