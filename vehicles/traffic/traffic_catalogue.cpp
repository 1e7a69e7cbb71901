#include "vehicles/traffic/traffic_catalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/engine_api.h"
#include "engine/check.h"
#include "engine/def_obj.h"
#include "vehicles/body/make_files.h"

namespace {

constexpr const char* catalogue_path = "/defs/ai/cars.def";
constexpr const char* ai_models_folder = "/models/ai";
// Share of the choices that draw the happy-hour car first.
constexpr float happy_hour_share = 0.3f;
// A spawn whose choice needed this many tries or more gets no car.
constexpr int32_t choice_tries = 10;

// A text key, "" when absent.
const char* text_of(const def_obj_t& object, const char* key)
{
    const char* const value = object.get_value(key);
    return value ? value : "";
}

// The whole part of a random draw over `count` entries, never `count` itself.
int32_t random_index(const size_t count)
{
    const auto index = static_cast<int32_t>(api::sys_rand() * static_cast<float>(count));
    return std::min(index, static_cast<int32_t>(count) - 1);
}

// Loads a model under the AI models folder; reports a model that cannot be read.
psm_t* ai_model_load(const char* path)
{
    psm_t* const model = make_model_alloc(path);
    if (!model)
        api::error("unable to read model %s", path);
    return model;
}

// Loads the shader at `path` and sets it on `part` of `model`.
void ai_shader_set(psm_t* model, const int part, const char* path)
{
    if (c_item_t* const item = api::mm_precache(path)) {
        api::gfx_shader_precache(path);
        api::psm_set_shader(model, part, path);
        api::ci_dec_refs(item);
    }
}

// Reads the bones "PREFIXk" for k below `count` into consecutive places from `first`; the count found.
uint8_t read_bone_places(psm_t* model, const char* prefix, const int count, vec3_t* places)
{
    uint8_t found = 0;
    for (int k = 0; k < count; ++k) {
        char bone[32];
        std::snprintf(bone, sizeof bone, "%s%d", prefix, k);
        if (make_bone_position(model, bone, places[k]))
            ++found;
    }
    return found;
}

// Reads the model's bones into `car`: wheels, lights, blinkers, its box and its deformation points.
void read_car_bones(ai_car_def_t& car, const char* name)
{
    psm_t* const model = car.model;
    car.wheel_count = read_bone_places(model, "wheel", ai_car_def_t::wheel_places, car.wheels);
    car.two_wheeler = car.wheel_count == 4 ? 0 : 1;
    car.front_light_count = read_bone_places(model, "fl", 2, car.lights);
    car.rear_light_count = read_bone_places(model, "bl", 4, car.lights + 2);
    car.siren_count = read_bone_places(model, "s", ai_car_def_t::siren_places, car.sirens);
    for (int k = 0; k < ai_car_def_t::blinker_places; ++k) {
        char bone[16];
        std::snprintf(bone, sizeof bone, "dl%d", k);
        if (!make_bone_position(model, bone, car.left_blinkers[k]))
            api::error("No left blinker bone found!!!");
        std::snprintf(bone, sizeof bone, "dr%d", k);
        if (!make_bone_position(model, bone, car.right_blinkers[k]))
            api::error("No right blinker bone found!!!");
    }
    vec3_t low;
    vec3_t high;
    if (!make_bone_position(model, "bb0", low))
        api::error("%s has no bb0 bone!!", name);
    if (!make_bone_position(model, "bb1", high))
        api::error("%s has no bb1 bone!!", name);
    car.half_height = (std::fabs(low.y) + std::fabs(high.y)) * 0.5f;
    car.width = std::fabs(low.x) + std::fabs(high.x);
    car.length = std::fabs(low.z) + std::fabs(high.z);
    car.box_span = high - low;
    car.wheel_drop = high.y * 0.5f - 10.0f;

    vec3_t root;
    const bool has_root = make_bone_position(model, "root_deform", root);
    for (int k = 0; k < ai_car_def_t::deform_places; ++k) {
        char bone[32];
        std::snprintf(bone, sizeof bone, "deform%d", k);
        const int index = api::psm_bone_find_global(model, bone);
        vec3_t at;
        if (index < 0 || !make_bone_position(model, bone, at))
            continue;
        const vec3_t direction = has_root ? at - root : at;
        const float length = direction.length();
        car.deform_bones[car.deform_count] = index;
        car.deform_directions[car.deform_count] = length > 0.0f ? direction * (1.0f / length) : vec3_t();
        ++car.deform_count;
    }
}

}  // namespace

void traffic_catalogue_t::load()
{
    free();
    const make_def_t file(catalogue_path, "cars");
    if (!file.object)
        return;
    // The count is a byte in the catalogue's record; a larger one is refused rather than wrapped.
    const int count = file.object->get_int("car_count");
    if (count < 0 || count > 255) {
        api::error("%s: car_count %d is not from 0 to 255; the traffic has no cars", catalogue_path, count);
        return;
    }
    capacity_ = static_cast<uint8_t>(count);
    cars_.reserve(capacity_);
    for (int i = 0;; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "car%d", i);
        const char* const name = text_of(*file.object, key);
        if (!name[0])
            break;
        if (cars_.size() >= capacity_) {
            api::error("%s names more cars than its car_count %d; the rest are left out", catalogue_path, count);
            break;
        }
        load_car_def(name);
    }
}

bool traffic_catalogue_t::load_car_def(const char* name)
{
    if (cars_.size() >= capacity_)
        return false;
    char path[256];
    if (!make_path(path, sizeof path, "%s/%s/car.def", ai_models_folder, name))
        return false;
    const make_def_t file(path, "car");
    if (!file.object)
        return false;
    const def_obj_t& keys = *file.object;
    ai_car_def_t car;
    if (make_path(path, sizeof path, "%s/%s/%s", ai_models_folder, name, text_of(keys, "model")))
        car.model = ai_model_load(path);
    if (make_path(path, sizeof path, "%s/%s", ai_models_folder, text_of(keys, "wheel")))
        car.wheel = ai_model_load(path);
    if (car.model && make_path(path, sizeof path, "%s/%s/%s", ai_models_folder, name, text_of(keys, "shader")))
        for (int part = 0; part < 3; ++part)
            ai_shader_set(car.model, part, path);
    if (car.wheel && make_path(path, sizeof path, "%s/%s", ai_models_folder, text_of(keys, "wheel_shader")))
        ai_shader_set(car.wheel, 0, path);
    car.sound_class = static_cast<uint8_t>(keys.get_int("snd"));
    car.speed = static_cast<uint8_t>(keys.get_int("speed"));
    car.day_probability = keys.get_real("day_prob");
    car.night_probability = keys.get_real("night_prob");
    car.city_probability = keys.get_real("city_prob");
    car.country_probability = keys.get_real("outback_prob");
    car.happy_hour = static_cast<uint8_t>(keys.get_int("happy_hour"));
    if (car.model)
        read_car_bones(car, name);
    // The size was below the capacity, a byte, so the new model number is below 255.
    const bool added = add(car);
    kv_assert(added);
    return added;
}

bool traffic_catalogue_t::add(const ai_car_def_t& car)
{
    if (cars_.size() >= no_happy_hour_car)
        return false;
    cars_.push_back(car);
    return true;
}

void traffic_catalogue_t::free()
{
    for (ai_car_def_t& car : cars_) {
        if (car.model)
            api::psm_free(car.model);
        if (car.wheel)
            api::psm_free(car.wheel);
    }
    cars_.clear();
    capacity_ = 0;
    happy_hour_car_ = no_happy_hour_car;
}

bool traffic_catalogue_t::choose(const bool city, const bool dark, uint8_t& model) const
{
    // An empty catalogue has no model to give: the spawn is refused.
    const size_t count = cars_.size();
    if (count == 0)
        return false;
    int32_t candidate = random_index(count);
    int32_t tries = 0;
    while (static_cast<size_t>(tries) < count) {
        // One draw decides the happy-hour pick and both acceptance tests of this try.
        const float r = api::sys_rand();
        if (happy_hour_car_ == no_happy_hour_car)
            candidate = (candidate + 1) % static_cast<int32_t>(count);
        else
            candidate = r < happy_hour_share ? happy_hour_car_ : random_index(count);
        ++tries;
        kv_assert(candidate >= 0 && static_cast<size_t>(candidate) < count);
        const ai_car_def_t& car = cars_[static_cast<size_t>(candidate)];
        if (r > (dark ? car.night_probability : car.day_probability))
            continue;
        if (r <= (city ? car.city_probability : car.country_probability))
            break;
    }
    model = static_cast<uint8_t>(candidate);
    return tries < choice_tries;
}

void traffic_catalogue_t::follow_hour(const uint8_t hour)
{
    if (hour == current_hour_)
        return;
    current_hour_ = hour;
    // Happy hour 0 means "none": midnight names no model, and the choice of the hour before stays.
    if (hour == 0)
        return;
    happy_hour_car_ = no_happy_hour_car;
    for (size_t i = 0; i < cars_.size(); ++i)
        if (cars_[i].happy_hour == hour) {
            happy_hour_car_ = static_cast<uint8_t>(i);
            return;
        }
}
