// The definitions laid along roads: road and city-road cross-sections, profiles, vegetation, road
// properties, railings and the models laid along roads.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/arg.h"
#include "engine/def_pool.h"
#include "common/engine_api.h"
#include "common/loading_screen.h"
#include "road/road_section.h"
#include "road/seg_def_file.h"
#include "road/seg_server.h"

namespace {

constexpr const char* road_props_path = "/defs/seg_server/road_props.def";
constexpr const char* railings_path = "/defs/seg_server/railings.def";
constexpr const char* aux_models_path = "/defs/seg_server/aux_models.def";

// Model flags the road models are loaded with.
constexpr unsigned road_model_flags = 16;
// Part counts a road model may have.
constexpr int max_road_model_parts = 4;

// A model loaded for import and freed when done.
class import_model_t {
public:
    explicit import_model_t(const char* path)
        : model_(path && *path ? api::psm_alloc(path, 0, 0, road_model_flags) : nullptr)
    {
        if (model_)
            api::psm_set_static(model_);
    }
    ~import_model_t() { api::psm_free(model_); }
    import_model_t(const import_model_t&) = delete;
    import_model_t& operator=(const import_model_t&) = delete;

    psm_t* get() const { return model_; }
    int part_count() const { return model_ ? api::psm_get_info(model_)->part_count : 0; }
    // The part named `name`, or null (reported, naming `path`).
    const psm_part_t* part(const char* name, const char* path) const
    {
        const int index = api::psm_part_find(model_, name);
        if (index < 0) {
            api::error("Road model %s has no part \"%s\"; the model is not used", path, name);
            return nullptr;
        }
        return &api::psm_get_info(model_)->parts[index];
    }
    const psm_part_t* part_at(const int index) const { return &api::psm_get_info(model_)->parts[index]; }

private:
    psm_t* model_;
};

// Reads the four lane words of a definition text (items 1 to 4).
void read_lanes(const arg_t& items, road_lanes_t& out)
{
    const auto item = [&](const int index) { return items[index] ? std::atoi(items[index]) : 0; };
    out.lanes[0] = item(1);
    out.lanes[1] = item(2);
    out.first_lane_offset = item(3);
    out.lane_width = item(4);
}

// The render and collision parts of a two-part model: the collision part "coll" and the other one.
bool split_two_parts(const import_model_t& model, const psm_part_t*& out_render, const psm_part_t*& out_collision,
                     const char* path)
{
    const int coll = api::psm_part_find(model.get(), "coll");
    if (coll < 0) {
        api::error("Road model %s has two parts but none is \"coll\"; the model is not used", path);
        return false;
    }
    out_collision = model.part_at(coll);
    out_render = model.part_at(coll == 0 ? 1 : 0);
    return true;
}

// The import of a railing's or aux model's render part, and of its collision part.
constexpr road_section_import_t side_render = {true, true, false, false, true, true, 0.0f};
constexpr road_section_import_t side_collision = {false, false, false, false, false, false, 0.0f};

// Imports the render and collision parts of a railing or aux model at `path` (one part serves both;
// of two, "coll" is the collision part). False (reported) when the model cannot be used.
bool import_side_model(const char* path, road_section_t& out_render, road_section_t* out_collision)
{
    const import_model_t model(path);
    if (!model.get())
        return false;
    const psm_part_t* render = nullptr;
    const psm_part_t* collision = nullptr;
    if (model.part_count() == 1 || (!out_collision && model.part_count() >= 1)) {
        render = collision = model.part_at(0);
    } else if (model.part_count() == 2) {
        if (!split_two_parts(model, render, collision, path))
            return false;
    } else {
        api::error("Model %s has %d parts, not 1 or 2; it is not used", path, model.part_count());
        return false;
    }
    if (!road_section_import(*render, side_render, out_render, path, render->name))
        return false;
    return !out_collision || road_section_import(*collision, side_collision, *out_collision, path, collision->name);
}

// Reads a shader array of railings.def or aux_models.def: "<key>%d" lists, item 0 the shader, the flag
// 1 when the list names only the shader; the fallback at -1 with flag 1.
void read_flagged_shaders(const def_obj_t* object, const char* key, const int32_t count,
                          seg_fallback_array_t<seg_flagged_shader_t>& out)
{
    out.reset(count);
    out[-1].shader = seg_shader_take(seg_fallback_shader_path);
    out[-1].flag = 1;
    arg_t items;
    for (int32_t i = 0; i < count; ++i) {
        const int fields = items.separate(object ? seg_numbered_value(*object, key, i) : nullptr, ";");
        out[i].shader = seg_shader_take(fields > 0 && *items[0] ? items[0] : seg_fallback_shader_path);
        out[i].flag = fields == 1 ? 1 : 0;
    }
}

}  // namespace

size_t seg_server_t::read_road_def(road_def_t& def, const char* text)
{
    arg_t items;
    items.separate(text, ";");
    def = road_def_t{};
    seg_copy_name(def.name, sizeof def.name, items[0]);
    read_lanes(items, def.lanes);
    const import_model_t model(def.name);
    if (!model.get())
        return 0;
    const psm_part_t* parts[road_max_parts] = {};
    const psm_part_t* collision = nullptr;
    int32_t part_count = 0;
    switch (model.part_count()) {
    case 1:
        parts[0] = collision = model.part_at(0);
        part_count = 1;
        break;
    case 2:
        if (!split_two_parts(model, parts[0], collision, def.name))
            return 0;
        part_count = 1;
        break;
    case 3:
        parts[0] = model.part("road0", def.name);
        parts[1] = model.part("road1", def.name);
        collision = model.part("coll", def.name);
        part_count = 2;
        break;
    case max_road_model_parts:
        parts[0] = model.part("road", def.name);
        parts[1] = model.part("center", def.name);
        parts[2] = model.part("trans", def.name);
        collision = model.part("coll", def.name);
        part_count = 3;
        break;
    default:
        api::error("Road model %s has %d parts, not 1 to 4; it is not used", def.name, model.part_count());
        return 0;
    }
    for (int32_t i = 0; i < part_count; ++i)
        if (!parts[i])
            return 0;
    if (!collision)
        return 0;
    for (int32_t i = 0; i < part_count; ++i) {
        const road_section_import_t how = {
            false, true, false, i == 0, true, false, i == 0 ? 0.0f : def.parts[0].length};
        if (!road_section_import(*parts[i], how, def.parts[i], def.name, parts[i]->name)) {
            def = road_def_t{};
            seg_copy_name(def.name, sizeof def.name, items[0]);
            read_lanes(items, def.lanes);
            return 0;
        }
    }
    const road_section_import_t coll_how = {false, false, true, true, true, false, 0.0f};
    if (!road_section_import(*collision, coll_how, def.collision, def.name, collision->name)) {
        for (road_section_t& part : def.parts)
            part = road_section_t{};
        return 0;
    }
    def.part_count = part_count;
    for (const road_section_t& part : def.parts)
        def.bytes += part.bytes();
    def.bytes += def.collision.bytes();
    return def.bytes;
}

size_t seg_server_t::read_city_road_def(city_road_def_t& def, const char* text)
{
    arg_t items;
    items.separate(text, ";");
    def = city_road_def_t{};
    seg_copy_name(def.name, sizeof def.name, items[0]);
    read_lanes(items, def.lanes);
    const import_model_t model(def.name);
    if (!model.get())
        return 0;
    const psm_part_t* const road0 = model.part("road0", def.name);
    const psm_part_t* const road1 = model.part("road1", def.name);
    const psm_part_t* const coll = model.part("coll", def.name);
    if (!road0 || !road1 || !coll)
        return 0;
    const road_section_import_t first = {true, true, false, true, false, false, 0.0f};
    road_section_t parts[2];
    road_section_t collision;
    if (!road_section_import(*road0, first, parts[0], def.name, "road0"))
        return 0;
    road_section_import_t second = first;
    second.corners = false;
    second.length = parts[0].length;
    const road_section_import_t coll_how = {false, false, false, false, false, false, 0.0f};
    if (!road_section_import(*road1, second, parts[1], def.name, "road1") ||
        !road_section_import(*coll, coll_how, collision, def.name, "coll"))
        return 0;
    def.parts[0] = std::move(parts[0]);
    def.parts[1] = std::move(parts[1]);
    def.collision = std::move(collision);
    def.part_count = 2;
    def.bytes = def.parts[0].bytes() + def.parts[1].bytes() + def.collision.bytes();
    return def.bytes;
}

void seg_server_t::read_profiles(const def_obj_t& road_segs)
{
    arg_t items;
    for (size_t p = 0; p < profiles.size(); ++p) {
        road_profile_t& profile = profiles[p];
        const auto index = static_cast<int32_t>(p);
        seg_copy_name(profile.name, sizeof profile.name, seg_numbered_value(road_segs, "profile_name", index));
        const int given = items.separate(seg_numbered_value(road_segs, "profile_height", index), ";");
        for (int k = 0; k < road_profile_heights; ++k)
            profile.heights[k] = k < given ? std::strtof(items[k], nullptr) : (k == 0 ? 0.0f : profile.heights[k - 1]);
    }
}

void seg_server_t::read_vegetation(const def_obj_t& road_segs)
{
    arg_t items;
    for (size_t m = 0; m < veg_models.size(); ++m) {
        const auto index = static_cast<int32_t>(m);
        const char* const path = seg_numbered_value(road_segs, "veg_model", index);
        psm_t* const model = path && *path ? api::psm_alloc(path, 0, 0, road_model_flags) : nullptr;
        veg_models[m].model = model;
        if (!model) {
            api::error("Vegetation model %d (%s) cannot be loaded; it is left out", index, path ? path : "");
            continue;
        }
        api::psm_set_static(model);
        const int shaders = items.separate(seg_numbered_value(road_segs, "veg_shader", index), ";");
        for (int i = 0; i < shaders; ++i)
            api::psm_set_shader(model, i, items[i]);
    }
    for (size_t l = 0; l < veg_looks.size(); ++l) {
        const auto index = static_cast<int32_t>(l);
        veg_look_t& look = veg_looks[l];
        look = veg_look_t{};
        seg_copy_name(look.name, sizeof look.name, seg_numbered_value(road_segs, "veg_look_name", index));
        const int fields = items.separate(seg_numbered_value(road_segs, "veg_look_data", index), ";");
        if (fields - 3 > veg_look_models) {
            api::error("Vegetation look %d (%s) names %d models, more than %d; it scatters nothing", index, look.name,
                       fields - 3, veg_look_models);
            continue;
        }
        look.first_column = fields > 0 ? std::atoi(items[0]) : 0;
        look.column_count = fields > 1 ? std::atoi(items[1]) : 0;
        look.spacing = fields > 2 ? std::strtof(items[2], nullptr) : 0.0f;
        for (int i = 3; i < fields; ++i)
            look.models[i - 3] = std::atoi(items[i]);
    }
}

int32_t seg_server_t::read_road_props(const bool counting)
{
    const seg_def_file_t file(road_props_path, "roads");
    road_props.assign(static_cast<size_t>(file.count("road_count")), road_prop_t{});
    if (counting)
        return static_cast<int32_t>(road_props.size());
    for (size_t i = 0; i < road_props.size(); ++i) {
        const def_obj_t* const road = file.object()->find("road", static_cast<int>(i));
        if (road) {
            seg_copy_name(road_props[i].name, sizeof road_props[i].name, road->get_value("name"));
            road_props[i].traffic = road->get_real("traffic");
        }
        loading_screen_progress(static_cast<int>(i) + 1, static_cast<int>(road_props.size()));
    }
    return static_cast<int32_t>(road_props.size());
}

size_t seg_server_t::read_railings(const bool counting)
{
    const seg_def_file_t file(railings_path, "railings");
    railings.assign(static_cast<size_t>(file.count("railing_count")), railing_def_t{});
    if (counting)
        return 0;
    size_t bytes = 0;
    for (size_t r = 0; r < railings.size(); ++r) {
        const auto index = static_cast<int32_t>(r);
        railing_def_t& railing = railings[r];
        static constexpr const char* keys[railing_pieces] = {"railing_model", "railing_begin", "railing_end"};
        seg_copy_name(railing.name, sizeof railing.name, seg_numbered_value(*file.object(), keys[0], index));
        bool usable = true;
        for (int32_t piece = 0; piece < railing_pieces && usable; ++piece)
            usable = import_side_model(seg_numbered_value(*file.object(), keys[piece], index), railing.render[piece],
                                       &railing.collision[piece]);
        if (!usable) {
            api::error("Railing %d is left without models", index);
            const std::string name = railing.name;
            railing = railing_def_t{};
            seg_copy_name(railing.name, sizeof railing.name, name.c_str());
            continue;
        }
        const std::vector<float>& uvs = railing.render[railing_middle].uvs;
        for (size_t v = 1; v < uvs.size(); v += 2)
            railing.max_v = std::max(railing.max_v, std::fabs(uvs[v]));
        for (int32_t piece = 0; piece < railing_pieces; ++piece)
            railing.bytes += railing.render[piece].bytes() + railing.collision[piece].bytes();
        bytes += railing.bytes;
        loading_screen_progress(index + 1, static_cast<int>(railings.size()));
    }
    read_flagged_shaders(file.object(), "railing_shader", file.count("railing_shader_count"), railing_shaders);
    return bytes;
}

size_t seg_server_t::read_aux_models(const bool counting)
{
    const seg_def_file_t file(aux_models_path, "aux_models");
    aux_models.assign(static_cast<size_t>(file.count("model_count")), aux_model_t{});
    if (counting)
        return 0;
    size_t bytes = 0;
    for (size_t m = 0; m < aux_models.size(); ++m) {
        const auto index = static_cast<int32_t>(m);
        aux_model_t& aux = aux_models[m];
        const char* const path = seg_numbered_value(*file.object(), "model", index);
        seg_copy_name(aux.name, sizeof aux.name, path);
        if (import_side_model(path, aux.part, nullptr))
            aux.bytes = aux.part.bytes();
        bytes += aux.bytes;
        loading_screen_progress(index + 1, static_cast<int>(aux_models.size()));
    }
    read_flagged_shaders(file.object(), "shader", file.count("shader_count"), aux_shaders);
    return bytes;
}
