// Assembly of a trailer from its make: "/makes/trailer/<make>/description.def" and its accessories.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/game_settings.h"
#include "engine/def_obj.h"
#include "engine/psm.h"
#include "common/engine_api.h"
#include "vehicles/body/car_trailor.h"
#include "vehicles/body/make_files.h"

namespace {

// A text key, "" when absent.
const char* text_of(const def_obj_t& object, const char* key)
{
    const char* const value = object.get_value(key);
    return value ? value : "";
}

// The two folders a trailer's file is looked for in: the accessory's own (which must hold it), then
// the make's shared folder (taken unchecked).
struct trailer_folders_t {
    char accessory[128];
    char shared[128];
    const char* list[2];

    trailer_folders_t(const char* make, const char* name)
    {
        make_path(accessory, sizeof accessory, "/makes/trailer/%s/acc/%s", make, name);
        make_path(shared, sizeof shared, "/makes/trailer/%s/acc/shared", make);
        list[0] = accessory;
        list[1] = shared;
    }
};

// Loads a model found in the accessory's folder or the shared one, with its shader list; null with
// `failure` reported.
psm_t* trailer_model_load(const trailer_folders_t& folders, const char* model, const char* shaders, const char* failure)
{
    char path[256];
    if (!make_find_file(path, sizeof path, folders.list, 2, model, true))
        return nullptr;
    psm_t* const loaded = make_model_alloc(path);
    if (!loaded) {
        api::error(failure, path);
        return nullptr;
    }
    make_set_shaders(loaded, shaders, folders.list, 2, true);
    return loaded;
}

}  // namespace

void car_trailor_e::read_description(const char* make, int variant)
{
    if (!make_copy_name(make_name, sizeof make_name, make ? make : "", "trailer make name"))
        return;
    next_slot = first_extra_slot;
    char path[128];
    if (!make_path(path, sizeof path, "/makes/trailer/%s/description.def", make_name))
        return;
    const make_def_t description(path, "trailer");
    if (!description.object)
        return;
    // The list ends at its first missing or empty key.
    for (int n = 0;; ++n) {
        char key[24];
        std::snprintf(key, sizeof key, "access%d", n);
        const char* const accessory = description.object->get_value(key);
        if (!accessory || !accessory[0])
            break;
        read_accessory(make_name, accessory, variant);
    }
}

void car_trailor_e::set_high_detail(bool on)
{
    make_show_part(rear_wheel_model, "low", !on);
    make_show_part(rear_wheel_model, "high0", on);
    make_show_part(rear_wheel_model, "high1", on);
}

void car_trailor_e::read_accessory(const char* make, const char* accessory, int variant)
{
    char name[name_capacity];
    if (!make_copy_name(name, sizeof name, accessory, "trailer accessory name"))
        return;
    const accessory_desc_t desc("trailer", make, name);
    if (!desc.keys())
        return;
    const def_obj_t& keys = *desc.keys();
    const char* const type = text_of(keys, "type");
    const trailer_folders_t folders(make, name);

    if (std::strcmp(type, "rear_wheel") == 0) {
        psm_t* const wheel = trailer_model_load(folders, text_of(keys, "model"), text_of(keys, "shader"),
                                                "Unable to load rear wheel model %s");
        if (!wheel)
            return;
        if (rear_wheel_model)
            api::psm_free(rear_wheel_model);
        rear_wheel_model = wheel;
        set_high_detail(game_detail_level() == 2);
        std::memcpy(accessory_names[1], name, sizeof name);
        return;
    }
    if (std::strcmp(type, "base") == 0) {
        read_base(keys, make, name, variant);
        return;
    }
    if (next_slot >= model_slot_count) {
        api::error("trailer %s has more than %d parts; accessory %s is left out", make,
                   model_slot_count - first_extra_slot, name);
        return;
    }
    const char* const model = text_of(keys, "model");
    if (model[0]) {
        psm_t* const loaded =
            trailer_model_load(folders, model, text_of(keys, "shader"), "Unable to load accessory model %s");
        if (loaded) {
            models[next_slot].model = loaded;
            keys.get_point("offset", models[next_slot].offset);
        }
    }
    if (std::strncmp(type, "lights", 6) == 0 && text_of(keys, "flare_offset")[0]) {
        models[next_slot].light_bits = vehicle_light_bit(text_of(keys, "subtype"));
        read_vehicle_flares(keys, load_vehicle_flare_shader(folders.list, 2, text_of(keys, "flare_shader")),
                            models[next_slot].flares);
    }
    std::memcpy(accessory_names[next_slot], name, sizeof name);
    ++next_slot;
    if (next_slot > model_count)
        model_count = static_cast<uint8_t>(next_slot);
}

void car_trailor_e::read_base(const def_obj_t& keys, const char* make, const char* accessory, int variant)
{
    const trailer_folders_t folders(make, accessory);
    char shader_key[24];
    std::snprintf(shader_key, sizeof shader_key, "shader%d", variant);
    psm_t* const base = trailer_model_load(folders, text_of(keys, "model"), text_of(keys, shader_key),
                                           "Unable to load base truck model %s");
    if (!base)
        return;
    free_slot(models[2]);
    models[2].model = base;
    std::memcpy(accessory_names[2], accessory, std::strlen(accessory) + 1);

    wheel_count = 0;
    int last_found = -1;
    for (int n = 0; n < wheel_bone_limit; ++n) {
        char bone[24];
        std::snprintf(bone, sizeof bone, "wheel%d", n);
        wheel_positions[n] = {};
        if (make_bone_position(base, bone, wheel_positions[n])) {
            ++wheel_count;
            last_found = n;
        }
    }
    make_bone_position(base, "hook", kingpin_local);
    wheel_height = wheel_positions[0].y + 62.0f;
    track_figure = std::sqrt((wheel_positions[0] - wheel_positions[1]).length_sq()) + 110.0f;
    // The length runs from the kingpin to the last wheel found (a gap in the bone numbers leaves an
    // empty entry that must not stand for a wheel).
    const vec3_t last_wheel = last_found >= 0 ? wheel_positions[last_found] : kingpin_local;
    length_figure = std::sqrt((kingpin_local - last_wheel).length_sq()) + 200.0f;
    feet_part = api::psm_part_find(base, "feet");

    vec3_t bb0, bb1;
    const bool has0 = make_bone_position(base, "bb0", bb0);
    const bool has1 = make_bone_position(base, "bb1", bb1);
    if (!has0)
        api::error("base bb0 bone not found");
    if (!has1)
        api::error("base bb1 bone not found");
    if (has0 && has1) {
        box_length = std::fabs(bb0.z) + std::fabs(bb1.z);
        size.x = 2.0f * std::fabs(bb0.x);
        box_centre = {0.0f, 0.0f, std::fabs(bb1.z) - box_length * 0.5f};
    } else {
        box_length = 0.0f;
        size.x = 0.0f;
        box_centre = {0.0f, 0.0f, 130.0f};
    }
    for (int i = 2; i < 4; ++i) {
        wheels[i].ray_point = wheel_positions[i];
        wheels[i].ray_point.y = -size.y * 0.5f;
    }
}

int car_trailor_e::drawn_wheels(car_drawn_wheel_t* out, const int capacity) const
{
    int count = 0;
    for (int i = 0; i < wheel_count && i < wheel_bone_limit && i < rear_visual_limit && count < capacity; ++i)
        out[count++] = {wheel_positions[i], rear_wheel_model, false, rear_visual[i]};
    return count;
}
