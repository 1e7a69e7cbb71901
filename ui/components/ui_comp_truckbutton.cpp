#include "ui/components/ui_comp_truckbutton.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/def_obj.h"
#include "engine/gfx_view.h"
#include "engine/psm.h"
#include "engine/ui_action.h"
#include "common/engine_api.h"
#include "ui/components/ui_area_view.h"
#include "ui/components/ui_shared_light.h"
#include "vehicles/body/make_files.h"

namespace {

// The camera of a released and of a pressed button.
const vec3_t released_camera{-115.0f, -90.0f, -725.0f};
const vec3_t pressed_camera_offset{-110.0f, -95.0f, -725.0f};

// Quaternions (x, y, z, w) of a turn about the vertical axis.
void vertical_turn(const float degrees, float out[4])
{
    const float half = degrees * 3.14159265f / 360.0f;
    out[0] = 0.0f;
    out[1] = std::sin(half);
    out[2] = 0.0f;
    out[3] = std::cos(half);
}

// The light the live truck buttons share: made with the first, given back with the last.
ui_shared_light_t shared_light(r_light_t{
    0, {0.5f, 0.5f, 0.5f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {0.5f, 0.5f, 0.5f, 0.5f}, {-0.5f, 1.0f, 1.0f, 0.0f}});

// A model of accessory `accessory` of `make` with its shaders, from its folder or the shared one, lit
// by the buttons' light.
psm_t* load_model(const char* make, const char* accessory, const char* model, const char* shaders)
{
    if (!model || !model[0])
        return nullptr;
    char path[256];
    std::snprintf(path, sizeof path, "/makes/truck/%s/acc/%s/%s", make, accessory, model);
    psm_t* loaded = make_model_alloc(path);
    if (!loaded)
        return nullptr;
    api::psm_set_light_callback(loaded, ui_comp_truckbutton_t::shared_light_list, nullptr);
    char folder[256];
    char shared[256];
    std::snprintf(folder, sizeof folder, "/makes/truck/%s/acc/%s", make, accessory);
    std::snprintf(shared, sizeof shared, "/makes/truck/%s/acc/shared", make);
    const char* const folders[] = {folder, shared};
    if (shaders && shaders[0])
        make_set_shaders(loaded, shaders, folders, 2, true);
    return loaded;
}

}  // namespace

ui_comp_truckbutton_t::ui_comp_truckbutton_t() = default;

ui_comp_truckbutton_t::~ui_comp_truckbutton_t() { free_models(); }

void ui_comp_truckbutton_t::free_models()
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
}

int ui_comp_truckbutton_t::init(const int phase)
{
    if (phase == 0)
        shared_light.hold();
    return ui_comp_button_t::init(phase);
}

int ui_comp_truckbutton_t::destroy(const int phase)
{
    if (phase == 0) {
        free_models();
        shared_light.release();
    }
    return ui_comp_button_t::destroy(phase);
}

const void* ui_comp_truckbutton_t::shared_light_list(psm_t* model, void*)
{
    return ui_shared_light_t::list(model, &shared_light);
}

int ui_comp_truckbutton_t::live_buttons() { return shared_light.views(); }

void ui_comp_truckbutton_t::model_bounds(psm_t* model, float& out_min, float& out_max)
{
    const int count = model ? api::psm_get_num_parts_item(model) : 0;
    for (int part = 0; part < count; ++part) {
        vec4_t sphere{};
        if (!api::psm_get_part_bsphere(model, part, &sphere))
            continue;
        out_min = std::min(out_min, sphere[2] - sphere[3]);
        out_max = std::max(out_max, sphere[2] + sphere[3]);
    }
}

void ui_comp_truckbutton_t::build_model(const char* make, const char (*accessories)[name_size])
{
    single_model = false;
    free_models();
    front_count = rear_count = 0;
    if (!make || !make[0])
        return;
    centre_depth = 0.0f;
    char path[256];
    std::snprintf(path, sizeof path, "/makes/truck/%s/acc/lod/!desc.def", make);
    {
        const make_def_t lod(path, "accessory");
        if (lod.object) {
            parts[0] = load_model(make, "lod", lod.object->get_value("model"), lod.object->get_value("shader"));
            float low = 1e15f;
            float high = -1e15f;
            model_bounds(parts[0], low, high);
            if (low <= high)
                centre_depth = -(low + high) / 2.0f;
            single_model = true;
        }
    }
    for (int i = 0; accessories && i < part_count; ++i) {
        char name[name_size + 1] = {};
        std::snprintf(name, sizeof name, "%.*s", name_size, accessories[i]);
        if (!name[0] || (!single_model && strcasecmp(name, "interior") == 0))
            continue;
        std::snprintf(path, sizeof path, "/makes/truck/%s/acc/%s/!desc.def", make, name);
        const make_def_t def(path, "accessory");
        if (!def.object)
            continue;
        const char* type_value = def.object->get_value("type");
        const char* type = type_value ? type_value : "";
        if (single_model) {
            const char* shader = def.object->get_value("shader");
            const int cabin = parts[0] ? api::psm_part_find(parts[0], "cabin") : -1;
            if (strcasecmp(type, "paint") == 0 && shader && cabin >= 0) {
                std::snprintf(path, sizeof path, "/makes/truck/%s/acc/%s/%s", make, name, shader);
                api::psm_set_shader(parts[0], cabin, path);
            }
            continue;
        }
        if (strcasecmp(type, "wheels") == 0) {
            for (psm_t** wheel : {&front_wheel, &rear_wheel}) {
                const bool front = wheel == &front_wheel;
                if (*wheel)
                    api::psm_free(*wheel);
                *wheel = load_model(make, name, def.object->get_value(front ? "front_model" : "rear_model"),
                                    def.object->get_value(front ? "front_shader" : "rear_shader"));
                if (*wheel)
                    make_show_part(*wheel, "low", false);
            }
            continue;
        }
        def.object->get_point("offset", offsets[i]);
        if (parts[i])
            api::psm_free(parts[i]);
        parts[i] = load_model(make, name, def.object->get_value("model"), def.object->get_value("shader"));
        if (!parts[i])
            continue;
        if (strcasecmp(type, "cabin") == 0)
            make_show_part(parts[i], "driver", false);
        if (strcasecmp(type, "base") == 0) {
            float low = 1e15f;
            float high = -1e15f;
            model_bounds(parts[i], low, high);
            if (low <= high)
                centre_depth = -(low + high) / 2.0f;
            for (int w = 0; w < 6; ++w) {
                char bone[32];
                std::snprintf(bone, sizeof bone, "wheel%d", w);
                vec3_t position{};
                if (!make_bone_position(parts[i], bone, position))
                    continue;
                if (w < 2)
                    front_positions[front_count++] = position;
                else
                    rear_positions[rear_count++] = position;
            }
        }
    }
}

void ui_comp_truckbutton_t::draw()
{
    if (!pressed && pressed_camera) {
        pressed_camera = false;
        camera_offset = released_camera;
    }
    ui_comp_button_t::draw();
    if (!is_visible())
        return;
    gfx_view_t view = ui_area_view(uiref2view(), 16.0f, 9000.0f, 80.0f);
    float rotation[4];
    vertical_turn(-139.0f, rotation);
    const vec3_t centre{0.0f, 0.0f, centre_depth};
    api::gfx_push_identity();
    api::gfx_translate(&camera_offset[0]);
    api::gfx_camera_identity();
    api::gfx_qrotate(rotation);
    api::gfx_translate(&centre[0]);
    api::gfx_view_push(&view);
    for (int i = 0; i < (single_model ? 1 : part_count); ++i)
        if (parts[i]) {
            api::gfx_push();
            if (!single_model)
                api::gfx_translate(&offsets[i][0]);
            api::psm_draw(parts[i], 1, paint);
            api::gfx_pop();
        }
    float turned[4];
    vertical_turn(180.0f, turned);
    const auto draw_wheels = [&](psm_t* model, const vec3_t* positions, int count) {
        for (int w = 0; model && !single_model && w < count; ++w) {
            api::gfx_push();
            api::gfx_translate(&positions[w][0]);
            if (w % 2 == 0)
                api::gfx_qrotate(turned);
            api::psm_draw(model, 1, 0xFFFFFFFFu);
            api::gfx_pop();
        }
    };
    draw_wheels(front_wheel, front_positions, front_count);
    draw_wheels(rear_wheel, rear_positions, rear_count);
    api::gfx_view_pop();
    api::gfx_pop();
}

bool ui_comp_truckbutton_t::action(ui_view_t* sender, const int code, void* param)
{
    ui_comp_button_t::action(sender, code, param);
    if (code == ui_action_pressed && param && static_cast<const ui_press_param_t*>(param)->pressed) {
        camera_offset = pressed_camera_offset;
        pressed_camera = true;
    }
    return false;
}
