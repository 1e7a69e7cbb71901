// Assembly of a truck from its make: the accessories' description files under "/makes/truck/".
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "common/game_settings.h"
#include "engine/def_obj.h"
#include "engine/psm.h"
#include "common/engine_api.h"
#include "vehicles/body/car_truck.h"
#include "vehicles/body/make_files.h"

namespace {

// Parts of the interior model shown after a build; every other part is hidden.
constexpr const char* interior_parts[] = {"brake", "cc",    "fabric", "fuel", "glass",    "h_brake", "h_fuel",
                                          "h_mph", "h_rpm", "hcp",    "main", "mirrors1", "mph",     "nose",
                                          "plast", "rj",    "rpm",    "sw",   "wip0",     "wip1"};

// A text key, "" when absent.
const char* text_of(const def_obj_t& object, const char* key)
{
    const char* const value = object.get_value(key);
    return value ? value : "";
}

}  // namespace

// The three folders a truck's file is looked for in, in order.
struct truck_folders_t {
    char accessory[256];
    char shared[256];
    char make_shared[64] = "/makes/truck/shared";
    const char* list[3];

    truck_folders_t(const char* make, const char* name)
    {
        make_path(accessory, sizeof accessory, "/makes/truck/%s/acc/%s", make, name);
        make_path(shared, sizeof shared, "/makes/truck/%s/acc/shared", make);
        list[0] = accessory;
        list[1] = shared;
        list[2] = make_shared;
    }
};

// Loads a model of an accessory from its own folder with its shader list; null with a message.
static psm_t* truck_model_load(const truck_folders_t& folders, const char* model, const char* shaders)
{
    char path[512];
    if (!make_path(path, sizeof path, "%s/%s", folders.accessory, model))
        return nullptr;
    psm_t* const loaded = make_model_alloc(path);
    if (!loaded) {
        api::error("Unable to load model %s", path);
        return nullptr;
    }
    make_set_shaders(loaded, shaders, folders.list, 3, false);
    return loaded;
}

bool car_truck_e::build(const char* make, const char* const* accessories, int count)
{
    free_models();
    free_wheel_models();
    if (!make_copy_name(make_name, sizeof make_name, make ? make : "", "truck make name"))
        return false;
    if (count > accessory_limit) {
        api::error("a truck build names %d accessories; only the first %d are read", count, accessory_limit);
        count = accessory_limit;
    }
    power = 0.0f;
    model_count = 2;
    cabin_slot = interior_slot = pipes_slot = -1;
    interior_name[0] = interior_shaders[0][0] = interior_shaders[1][0] = '\0';
    deform_count = 0;
    painted = 0;
    for (auto& sound : make_sounds)
        sound[0] = '\0';
    for (auto& name : accessory_names)
        name[0] = '\0';
    for (int i = 0; i < count; ++i) {
        const char* const name = accessories[i];
        if (!name || !name[0])
            continue;
        if (!make_copy_name(accessory_names[i], name_capacity, name, "truck accessory name"))
            continue;
        read_accessory(accessory_names[i]);
    }
    if (painted) {
        if (cabin_slot >= 0)
            if (const int part = api::psm_part_find(models[cabin_slot].model, "cabin"); part >= 0)
                api::psm_set_shader(models[cabin_slot].model, part, paint_shader);
        if (interior_slot >= 0)
            if (const int part = api::psm_part_find(models[interior_slot].model, "nose"); part >= 0)
                api::psm_set_shader(models[interior_slot].model, part, paint_shader_interior);
    }
    follow_cabin_bones();
    // Dents stored before the build (a loaded game's) bend the new cabin inwards, as the impact did.
    if (cabin_slot >= 0)
        for (int i = 0; i < deform_count; ++i) {
            const vec3_t offset = deform_bones[i].direction * (-deform_bones[i].amount * 50.0f);
            api::psm_bone_set_ext_pos(models[cabin_slot].model, deform_bones[i].bone, &offset);
        }
    fill_torque_table();
    if (interior_slot >= 0) {
        psm_t* const interior = models[interior_slot].model;
        for (int part = 0; part < api::psm_get_num_parts_item(interior); ++part)
            api::psm_part_set_visible(interior, part, false);
        for (const char* part : interior_parts)
            make_show_part(interior, part, true);
        for (car_model_slot_t& slot : models)
            for (int i = 0; i < 2; ++i)
                slot.interior_parts[i] =
                    slot.interior_part_names[i][0] ? api::psm_part_find(interior, slot.interior_part_names[i]) : -1;
    }
    light_models();
    for (psm_t* const wheel : wheel_models)
        light_model(wheel, controller_link);
    return true;
}

void car_truck_e::read_accessory(const char* accessory)
{
    const accessory_desc_t desc("truck", make_name, accessory);
    if (!desc.keys())
        return;
    const def_obj_t& keys = *desc.keys();
    const truck_folders_t folders(make_name, accessory);
    const char* const type = text_of(keys, "type");
    if (std::strcmp(type, "interior") == 0) {
        // The dials' shaders live in this accessory's own folder, whatever it is named.
        std::snprintf(interior_name, sizeof interior_name, "%s", accessory);
        std::snprintf(interior_shaders[0], sizeof interior_shaders[0], "%s", text_of(keys, "light_shader"));
        std::snprintf(interior_shaders[1], sizeof interior_shaders[1], "%s", text_of(keys, "no_light_shader"));
    }
    power = std::min(power + keys.get_real("power"), 100.0f);

    if (std::strcmp(type, "wheels") == 0) {
        // The wheel models only matter for drawing; their detail parts follow "g_details".
        for (const char* which : {"front", "rear"}) {
            char model_key[24], shader_key[24];
            std::snprintf(model_key, sizeof model_key, "%s_model", which);
            std::snprintf(shader_key, sizeof shader_key, "%s_shader", which);
            const char* const model = text_of(keys, model_key);
            if (!model[0] || model_count >= model_slot_count)
                continue;
            psm_t* const wheel = truck_model_load(folders, model, text_of(keys, shader_key));
            if (!wheel)
                continue;
            const bool high = game_detail_level() >= 1;
            make_show_part(wheel, "low", !high);
            make_show_part(wheel, "high0", high);
            make_show_part(wheel, "high1", high);
            wheel_models[which[0] == 'f' ? 0 : 1] = wheel;
        }
    } else if (std::strcmp(type, "engine") == 0) {
        consumption = keys.get_real("cons");
        tank = keys.get_real("tank");
    } else if (std::strcmp(type, "transmission") == 0) {
        gear_count = static_cast<uint8_t>(std::clamp(keys.get_int("gear_count"), 0, gear_limit - 1));
        for (int i = 0; i < gear_limit; ++i) {
            char key[24];
            std::snprintf(key, sizeof key, "ratio%d", i);
            ratios[i] = keys.get_real(key);
        }
        gear = 1;
        selected_gear = 1;
        current_ratio = ratios[1];
        clutch_time = 0.0f;
        // A path too long is reported and left empty: the truck shifts silently.
        if (const char* const sound = text_of(keys, "trans_snd"); sound[0])
            make_path(make_sounds[make_gear_change], sizeof make_sounds[make_gear_change], "%s/%s", folders.accessory,
                      sound);
    } else if (std::strcmp(type, "brakes") == 0) {
        brake_strength = static_cast<float>(keys.get_int("brakes"));
        brake_air_use = keys.get_real("pressure");
    } else if (std::strcmp(type, "paint") == 0) {
        make_path(paint_shader, sizeof paint_shader, "%s/%s", folders.accessory, text_of(keys, "shader"));
        make_path(paint_shader_interior, sizeof paint_shader_interior, "%s/%s", folders.accessory,
                  text_of(keys, "shader_int"));
        painted = 1;
    } else if (std::strcmp(type, "base") == 0) {
        read_base(keys, folders);
    } else {
        read_model_accessory(keys, folders, type);
    }
}

int car_truck_e::take_model_slot(psm_t* model, const vec3_t& offset)
{
    if (model_count >= model_slot_count) {
        api::error("truck %s has more than %d models; the model is left out", make_name, model_slot_count);
        api::psm_free(model);
        return -1;
    }
    const int slot = model_count++;
    models[slot].model = model;
    models[slot].offset = offset;
    return slot;
}

void car_truck_e::follow_cabin_bones()
{
    for (int i = 2; i < model_count && i < model_slot_count; ++i) {
        car_model_slot_t& slot = models[i];
        if (slot.follow_deform < 0 || i == cabin_slot)
            continue;
        // The number comes from the file: one the cabin has no bone for leaves the model where it is.
        if (cabin_slot < 0 || slot.follow_deform >= deform_count) {
            api::error("truck %s: a model follows deform bone %d, which the cabin does not have", make_name,
                       slot.follow_deform);
            continue;
        }
        slot.follow_bone = deform_bones[slot.follow_deform].bone;
        slot.offset += models[cabin_slot].offset;
    }
}

void car_truck_e::read_base(const def_obj_t& keys, const truck_folders_t& folders)
{
    psm_t* const base = truck_model_load(folders, text_of(keys, "model"), text_of(keys, "shader"));
    if (!base)
        return;
    free_slot(models[1]);
    models[1].model = base;

    vec3_t front[2], rear[8];
    for (int i = 0; i < 2; ++i) {
        char bone[24];
        std::snprintf(bone, sizeof bone, "wheel%d", i);
        make_bone_position(base, bone, front[i]);
    }
    int rears = 0;
    for (int i = 2; i < 10; ++i) {
        char bone[24];
        std::snprintf(bone, sizeof bone, "wheel%d", i);
        if (make_bone_position(base, bone, rear[i - 2]))
            rears = i - 1;
    }
    rear_wheel_count = static_cast<uint8_t>(rears);
    wheel_places[0] = front[0];
    wheel_places[1] = front[1];
    for (int i = 0; i < rears; ++i)
        wheel_places[2 + i] = rear[i];
    const vec3_t last_rear = rears > 0 ? rear[rears - 1] : front[0];
    wheel_height = keys.get_real("wheel_size") + front[0].y + 62.0f;
    track_figure = std::sqrt((front[0] - front[1]).length_sq()) + 110.0f;
    length_figure = std::sqrt((front[0] - last_rear).length_sq()) + 170.0f;
    const float wheelbase = std::fabs(last_rear.z - front[0].z);
    size = {(front[1].x - front[0].x) * 1.5f, 100.0f, wheelbase};
    size.x = std::fabs(size.x);
    // The force points sit on the axles, midway between them.
    wheel_offset = 1.3f * wheelbase;

    vec3_t bb0, bb1;
    const bool has0 = make_bone_position(base, "bb0", bb0);
    const bool has1 = make_bone_position(base, "bb1", bb1);
    const bool police = std::strcmp(make_name, "police") == 0;
    if (!has0 && !police)
        api::error("base bb0 bone not found");
    if (!has1 && !police)
        api::error("base bb1 bone not found");
    if (has0 && has1) {
        box_length = std::fabs(bb1.z - bb0.z);
        box_centre = (bb0 + bb1) * 0.5f;
        box_centre.y = 0.0f;
        box_centre.x = 0.0f;
    } else {
        box_length = 1.2f * wheelbase;
        box_centre = {};
    }
    for (int i = 0; i < 2; ++i) {
        wheels[i].ray_point = {front[i].x, -size.y * 0.5f, front[i].z};
        wheels[i + 2].ray_point = {rears > 0 ? rear[std::min(i, rears - 1)].x : -front[i].x, -size.y * 0.5f,
                                   last_rear.z};
        rear_ray_points[i] = {rears > 0 ? rear[0].x * (i == 0 ? 1.0f : -1.0f) : 0.0f, -size.y * 0.5f,
                              rears > 0 ? rear[0].z : last_rear.z};
    }
}

void car_truck_e::read_model_accessory(const def_obj_t& keys, const truck_folders_t& folders, const char* type)
{
    const char* const model = text_of(keys, "model");
    int slot = -1;
    if (model[0]) {
        vec3_t offset;
        keys.get_point("offset", offset);
        if (psm_t* const loaded = truck_model_load(folders, model, text_of(keys, "shader")))
            slot = take_model_slot(loaded, offset);
        if (slot >= 0)
            models[slot].follow_deform = std::max(keys.get_int("bone_offset", -1), -1);
    }
    if (slot < 0)
        return;
    psm_t* const loaded = models[slot].model;
    if (std::strcmp(type, "pipes") == 0) {
        exhaust_pipes = 1;
        pipes_slot = slot;
        for (int i = 0; i < 2; ++i) {
            char bone[24];
            std::snprintf(bone, sizeof bone, "smoke%d", i);
            if (!make_bone_position(loaded, bone, exhaust_points[i])) {
                exhaust_points[i] = {};
                smoke_bone_missing = 1;
            }
        }
    } else if (std::strcmp(type, "cabin") == 0) {
        read_cabin(loaded, slot);
        static constexpr const char* sound_keys[] = {"engine_snd", "engine_start_snd", "engine_stop_snd", "horn_snd"};
        static_assert(std::size(sound_keys) == make_horn + 1, "one key for each of the cabin's sounds");
        for (int i = make_engine; i <= make_horn; ++i) {
            if (const char* const file = text_of(keys, sound_keys[i]); file[0])
                make_path(make_sounds[i], sizeof make_sounds[i], "%s/%s", folders.accessory, file);
        }
    } else if (std::strcmp(type, "interior") == 0) {
        interior_slot = slot;
        if (!text_of(keys, "light_shader")[0] || !text_of(keys, "no_light_shader")[0])
            api::error("No light and nolight shaders defined for interior!!");
        keys.get_point("offset", interior_offset);
        static constexpr struct {
            const char* bones[2];
            const char* missing;
        } checks[] = {{{"wiper0", "wiper1"}, "Interior Wiper bones not found!!!"},
                      {{"sw", nullptr}, "Steering wheel bone not found!!!"},
                      {{"h_rpm", nullptr}, "RPM bone not found!!!"},
                      {{"h_mph", nullptr}, "MPH bone not found!!!"},
                      {{"cc", nullptr}, "Cruise Control bone not found!!!"},
                      {{"h_brake", nullptr}, "Brake bone not found!!!"},
                      {{"h_fuel", nullptr}, "Fuel bone not found!!!"}};
        for (const auto& check : checks)
            for (const char* bone : check.bones)
                if (bone && api::psm_bone_find_global(loaded, bone) < 0) {
                    api::error("%s", check.missing);
                    break;
                }
    } else if (std::strncmp(type, "lights", 6) == 0 && text_of(keys, "flare_offset")[0]) {
        models[slot].light_bits = vehicle_light_bit(text_of(keys, "subtype"));
        // Up to two interior part names; a longer name names no part and is left out.
        char first[32] = "", second[32] = "";
        if (std::sscanf(text_of(keys, "interior_p"), " %31[^ ,]%*[ ,]%31[^ ,]", first, second) >= 1) {
            std::memcpy(models[slot].interior_part_names[0], first, sizeof first);
            std::memcpy(models[slot].interior_part_names[1], second, sizeof second);
        }
        read_vehicle_flares(keys, load_vehicle_flare_shader(folders.list, 3, text_of(keys, "flare_shader")),
                            models[slot].flares);
    }
}

void car_truck_e::read_cabin(psm_t* cabin, int slot)
{
    cabin_slot = slot;
    vec3_t root;
    const bool has_root = make_bone_position(cabin, "root_deform", root);
    deform_count = 0;
    for (int i = 0; has_root && i < deform_bone_limit; ++i) {
        char bone[24];
        std::snprintf(bone, sizeof bone, "deform%d", i);
        vec3_t at;
        const int index = api::psm_bone_find_global(cabin, bone);
        if (index < 0 || !make_bone_position(cabin, bone, at))
            break;
        car_deform_bone_t& record = deform_bones[deform_count++];
        record.bone = index;
        const vec3_t away = at - root;
        record.direction = away.length_sq() > 0.0f ? away.normalized() : vec3_t{0.0f, 0.0f, -1.0f};
    }
    vec3_t bb0, bb1;
    const bool police = std::strcmp(make_name, "police") == 0;
    if (make_bone_position(cabin, "bb0", bb0) && make_bone_position(cabin, "bb1", bb1)) {
        cabin_measures[0] = std::fabs(bb1.z - bb0.z);
        cabin_measures[1] = std::fabs(bb0.z);
    } else {
        cabin_measures[0] = 10.0f;
        cabin_measures[1] = 0.0f;
        if (!police)
            api::error("base bb0 bone not found");
    }
    if (!make_bone_position(cabin, "smoke", damage_smoke_point) && !police)
        api::error("Smoke damage bone not found...");
    make_bone_position(cabin, "blinker_l", blinker_points[0]);
    make_bone_position(cabin, "blinker_r", blinker_points[1]);
    if (!make_bone_position(cabin, "sidecam", side_camera) && !police)
        api::error("sidecam bone not found");
    if (!make_bone_position(cabin, "roofcam", roof_camera) && !police)
        api::error("roofcam bone not found");
}

int car_truck_e::drawn_wheels(car_drawn_wheel_t* out, const int capacity) const
{
    int count = 0;
    for (int i = 0; i < 2 && count < capacity; ++i)
        out[count++] = {wheel_places[i], wheel_models[0], true, front_visual[i]};
    for (int i = 0; i < rear_wheel_count && i < rear_visual_limit && count < capacity; ++i)
        out[count++] = {wheel_places[2 + i], wheel_models[1], false, rear_visual[i]};
    return count;
}

void car_truck_e::light_interior_parts()
{
    psm_t* const interior = interior_slot >= 0 ? models[interior_slot].model : nullptr;
    if (!interior)
        return;
    for (const car_model_slot_t& slot : models)
        for (const int32_t part : slot.interior_parts)
            if (part >= 0)
                api::psm_part_set_visible(interior, part, (slot.light_bits & lights) != 0);
}
