#include "road/seg_server.h"

#include <climits>
#include <cstring>

#include "engine/def_pool.h"
#include "engine/random.h"
#include "engine/ui.h"
#include "common/engine_api.h"
#include "common/loading_screen.h"
#include "road/seg_block.h"
#include "road/seg_def_file.h"
#include "road/seg_memory.h"

namespace {

// The definition file that sizes the server's tables, and its object.
constexpr const char* road_segs_path = "/defs/seg_server/road_segs.def";
constexpr const char* road_segs_object = "road_segs";

// Stages of the counting pass over the definition files beside road_segs.def: one per reader.
constexpr int count_pass_stages = 11;

// The lane-arrow shaders, by kind.
constexpr const char* arrow_shader_paths[seg_arrow_kinds] = {
    "/shaders/signs/arrow_l.shd",
    "/shaders/signs/arrow_s.shd",
    "/shaders/signs/arrow_sr.shd",
    "/shaders/signs/arrow_r.shd",
};

// Vertices of all quads of one lane-arrow packet.
constexpr size_t arrow_vertices = static_cast<size_t>(seg_arrow_quad_capacity) * seg_arrow_quad_vertices;

// Reads one table count of road_segs.def into `out_count`; false (reported) when it is negative or
// larger than any table may be.
bool read_count(const def_obj_t& road_segs, const char* key, int32_t& out_count)
{
    const int count = road_segs.get_int(key);
    if (count < 0 || count > seg_max_table_count) {
        api::error("%s: \"%s\" is %d, not a count from 0 to %d", road_segs_path, key, count, seg_max_table_count);
        return false;
    }
    out_count = count;
    return true;
}

}  // namespace

seg_server_t::seg_server_t()
{
    light_colours[0] = vec3_t(1.0f, 1.0f, 1.0f);
    light_colours[1] = vec3_t(0.65f, 0.65f, 0.65f);
    light_colours[2] = vec3_t(0.45f, 0.45f, 0.45f);
}

seg_server_t::~seg_server_t() { unload(); }

int seg_server_t::load()
{
    if (block_) {
        api::warning("The segment server is loaded already; it is not loaded again");
        return memory_total_;
    }
    loading_screen_refresh("@@ui_loading@@");
    api::message("Loading segment server data ....");

    c_item_t* const item = api::mm_precache(road_segs_path);
    const auto* const pool = item ? static_cast<const def_pool_t*>(item->object) : nullptr;
    const def_obj_t* const road_segs = pool ? pool->find(road_segs_object) : nullptr;
    if (!road_segs)
        api::error("%s: cannot be read or has no object \"%s\"; the segment server stays empty", road_segs_path,
                   road_segs_object);
    if (!road_segs || !read_counts(*road_segs)) {
        if (item)
            api::ci_dec_refs(item);
        clear_tables();
        seg_memory_report(0);
        return 0;
    }

    count_tables();

    seg_block_plan_t plan;
    plan_tables(plan);
    if (plan.ok())
        block_ = api::mem_sys_alloc(plan.total());
    if (!block_) {
        api::error("Not enough memory for the segment server's tables (%zu bytes); it stays empty", plan.total());
        api::ci_dec_refs(item);
        clear_tables();
        seg_memory_report(0);
        return 0;
    }
    std::memset(block_, 0, plan.total());
    point_tables();
    memory_total_ = static_cast<int>(plan.total());

    build_rotations();
    api::message("   - Loading brush templates ....");
    read_brushes(1);
    set_up_arrow_packets();
    read_brushes(2);
    size_t definitions = read_road_defs(*road_segs);
    loading_screen_refresh("@@ui_loading_aux@@");
    api::message("   - Loading aux models ....");
    definitions += read_aux_models(false);
    loading_screen_refresh("@@ui_loading_railings@@");
    api::message("   - Loading railings ....");
    definitions += read_railings(false);
    loading_screen_refresh("@@ui_loading_signs@@");
    api::message("   - Loading signs ....");
    definitions += read_signs(false);
    loading_screen_refresh("@@ui_loading_prefabs@@");
    api::message("   - Loading prefabs ....");
    definitions += read_prefabs(false);
    read_profiles(*road_segs);
    load_shaders(*road_segs);
    loading_screen_refresh("@@ui_loading_vegetation@@");
    read_vegetation(*road_segs);
    api::ci_dec_refs(item);

    loading_screen_refresh("@@ui_loading_roads@@");
    read_road_props(false);
    loading_screen_refresh("@@ui_loading_buildings@@");
    read_cityblocks(false);
    loading_screen_refresh("@@ui_loading_free_items@@");
    read_freeitems(false);
    loading_screen_refresh("@@ui_loading_traders@@");
    read_traders(false);
    read_cities(false);
    read_skies(false);
    read_misc();

    const size_t total = plan.total() + definitions;
    memory_total_ = total > static_cast<size_t>(INT32_MAX) ? INT32_MAX : static_cast<int>(total);
    seg_memory_report(memory_total_);
    return memory_total_;
}

void seg_server_t::count_tables()
{
    // Each reader sizes its tables from its file's counts; the loading screen moves one stage after each.
    int stage = 0;
    const auto counted = [&stage] { loading_screen_progress(stage++, count_pass_stages); };
    read_road_props(true);
    counted();
    read_cityblocks(true);
    counted();
    read_freeitems(true);
    counted();
    read_prefabs(true);
    counted();
    read_railings(true);
    counted();
    read_signs(true);
    counted();
    read_traders(true);
    counted();
    read_brushes(0);
    counted();
    read_aux_models(true);
    counted();
    read_cities(true);
    counted();
    read_skies(true);
    counted();
}

size_t seg_server_t::read_road_defs(const def_obj_t& road_segs)
{
    size_t bytes = 0;
    for (size_t i = 0; i < city_road_defs.size(); ++i)
        bytes +=
            read_city_road_def(city_road_defs[i], seg_numbered_value(road_segs, "city_road", static_cast<int32_t>(i)));
    for (size_t i = 0; i < road_defs.size(); ++i)
        bytes += read_road_def(road_defs[i], seg_numbered_value(road_segs, "road", static_cast<int32_t>(i)));
    return bytes;
}

bool seg_server_t::read_counts(const def_obj_t& road_segs)
{
    int32_t blend_entries = 0;
    int32_t city_roads = 0, roads = 0, profile_count = 0, veg_model_count = 0, veg_look_count = 0;
    const bool ok = read_count(road_segs, "city_road_count", city_roads) &&
                    read_count(road_segs, "road_count", roads) &&
                    read_count(road_segs, "profile_count", profile_count) &&
                    read_count(road_segs, "veg_model_count", veg_model_count) &&
                    read_count(road_segs, "veg_look_count", veg_look_count) &&
                    read_count(road_segs, "road_shader_count", road_shader_count) &&
                    read_count(road_segs, "sidewalk_count", sidewalk_count) &&
                    read_count(road_segs, "terrain_shader_count", terrain_shader_count) &&
                    read_count(road_segs, "trans_shader_count", trans_shader_count) &&
                    read_count(road_segs, "ter_trans_count", blend_entries);
    blend_shader_count = blend_entries * seg_blend_steps;
    if (!ok)
        return false;
    city_road_defs.resize(static_cast<size_t>(city_roads));
    road_defs.resize(static_cast<size_t>(roads));
    profiles.resize(static_cast<size_t>(profile_count));
    veg_models.resize(static_cast<size_t>(veg_model_count));
    veg_looks.resize(static_cast<size_t>(veg_look_count));
    return true;
}

void seg_server_t::plan_tables(seg_block_plan_t& plan)
{
    const auto count = [](const int32_t value) { return static_cast<size_t>(value); };
    const size_t terrain_group = count(terrain_shader_count) + count(trans_shader_count) + count(blend_shader_count);
    layout_.road_shaders = plan.reserve(count(road_shader_count) + 1, sizeof(seg_shader_t), alignof(seg_shader_t));
    layout_.sidewalk_shaders = plan.reserve(count(sidewalk_count) + 1, sizeof(seg_shader_t), alignof(seg_shader_t));
    layout_.terrain_shaders = plan.reserve(terrain_group + 1, sizeof(seg_shader_t), alignof(seg_shader_t));
    layout_.trans_table =
        plan.reserve(count(road_shader_count) * count(terrain_shader_count), sizeof(int32_t), alignof(int32_t));
    layout_.blend_table = plan.reserve(count(terrain_shader_count) * count(terrain_shader_count) * seg_blend_steps,
                                       sizeof(int32_t), alignof(int32_t));
    layout_.traders = plan.reserve(count(trader_count), sizeof(seg_trader_t), alignof(seg_trader_t));
    layout_.cities = plan.reserve(count(city_count), sizeof(city_area_t), alignof(city_area_t));
    layout_.rotations = plan.reserve(seg_rotation_count, sizeof(quat_t), alignof(quat_t));
    layout_.arrow_packets = plan.reserve(seg_arrow_kinds, sizeof(seg_arrow_packet_t), alignof(seg_arrow_packet_t));
    layout_.arrow_positions = plan.reserve(seg_arrow_kinds * arrow_vertices, sizeof(vec3_t), alignof(vec3_t));
    layout_.arrow_texture_coords = plan.reserve(seg_arrow_kinds * arrow_vertices * 2, sizeof(float), alignof(float));
}

void seg_server_t::point_tables()
{
    road_shaders = seg_block_at<seg_shader_t>(block_, layout_.road_shaders) + 1;
    sidewalk_shaders = seg_block_at<seg_shader_t>(block_, layout_.sidewalk_shaders) + 1;
    terrain_shaders = seg_block_at<seg_shader_t>(block_, layout_.terrain_shaders) + 1;
    trans_table = seg_block_at<int32_t>(block_, layout_.trans_table);
    blend_table = seg_block_at<int32_t>(block_, layout_.blend_table);
    traders = seg_block_at<seg_trader_t>(block_, layout_.traders);
    cities = seg_block_at<city_area_t>(block_, layout_.cities);
    rotations = seg_block_at<quat_t>(block_, layout_.rotations);
    arrow_packets = seg_block_at<seg_arrow_packet_t>(block_, layout_.arrow_packets);
}

void seg_server_t::build_rotations()
{
    randomizer_t random(seg_rotation_seed);
    for (int32_t i = 0; i < seg_rotation_count; ++i)
        rotations[i].set(vec3_t(0.0f, 1.0f, 0.0f), 720.0f * random.rand());
}

void seg_server_t::set_up_arrow_packets()
{
    vec3_t* const positions = seg_block_at<vec3_t>(block_, layout_.arrow_positions);
    float* const texture_coords = seg_block_at<float>(block_, layout_.arrow_texture_coords);
    for (int32_t kind = 0; kind < seg_arrow_kinds; ++kind) {
        seg_arrow_packet_t& packet = arrow_packets[kind];
        packet.shader = seg_shader_take(arrow_shader_paths[kind]);
        packet.packet = seg_arrow_packet_word;
        packet.quad_count = 0;
        packet.positions = positions + static_cast<size_t>(kind) * arrow_vertices;
        packet.texture_coords = texture_coords + static_cast<size_t>(kind) * arrow_vertices * 2;
    }
}

void seg_server_t::unload()
{
    if (block_) {
        give_back_shaders();
        for (int32_t i = 0; i < trader_count; ++i)
            seg_shader_give_back(traders[i].label);
        // The packets live in the block: their shaders go back before it is freed.
        for (int32_t kind = 0; kind < seg_arrow_kinds; ++kind)
            seg_shader_give_back(arrow_packets[kind].shader);
        api::mem_sys_free(block_);
        block_ = nullptr;
    }
    for (seg_flagged_shader_t& shader : railing_shaders.with_spare())
        seg_shader_give_back(shader.shader);
    for (seg_flagged_shader_t& shader : aux_shaders.with_spare())
        seg_shader_give_back(shader.shader);
    for (seg_flagged_shader_t& shader : prefab_shaders.with_spare())
        seg_shader_give_back(shader.shader);
    for (seg_shader_t& shader : tr_light_states)
        seg_shader_give_back(shader);
    for (tr_lights_model_t& lights : tr_lights)
        api::psm_free(lights.model);
    reset_instances();
    lights.remove_all();
    for (const std::unique_ptr<city_block_instance_t>& built : city_blocks)
        if (built)
            remove_block_collision(*built);
    city_blocks.clear();
    unload_scenery();
    for (std::vector<int32_t>& owners : arrow_owners)
        owners.clear();
    target = target_marker_t{};
    for (veg_model_t& veg : veg_models) {
        veg.instances->remove_all();
        api::psm_free(veg.model);
    }
    clear_tables();
}

void seg_server_t::clear_tables()
{
    road_shader_count = sidewalk_count = terrain_shader_count = trans_shader_count = blend_shader_count = 0;
    trader_count = city_count = 0;
    place_names.clear();
    road_shaders = sidewalk_shaders = terrain_shaders = nullptr;
    trans_table = blend_table = nullptr;
    traders = nullptr;
    cities = nullptr;
    rotations = nullptr;
    arrow_packets = nullptr;
    memory_total_ = 0;
    road_defs.clear();
    city_road_defs.clear();
    profiles.clear();
    road_props.clear();
    railings.clear();
    railing_shaders.clear();
    aux_models.clear();
    aux_shaders.clear();
    veg_models.clear();
    veg_looks.clear();
    for (std::vector<prefab_t>& table : prefab_table)
        table.clear();
    prefab_looks.clear();
    prefab_shaders.clear();
    tr_lights.clear();
}

void seg_server_t::unload_scenery()
{
    for (const sign_model_t& sign : sign_models)
        api::psm_free(sign.model);
    for (sign_board_def_t& board : sign_boards)
        for (seg_shader_t& shader : board.shaders)
            seg_shader_give_back(shader);
    for (freeitem_model_t& item : freeitem_models) {
        if (item.sound)
            api::snd_delete(item.sound);
        api::psm_free(item.model);
    }
    for (seg_shader_pair_t& pair : freeitem_shaders) {
        seg_shader_give_back(pair.first);
        seg_shader_give_back(pair.second);
    }
    for (cityblock_lamp_t& lamp : cityblock_lamps) {
        api::psm_free(lamp.model);
        seg_shader_give_back(lamp.flare);
        seg_shader_give_back(lamp.decal);
    }
    for (const cityblock_model_t& building : cityblock_models)
        api::psm_free(building.model);
    for (seg_shader_pair_t& pair : cityblock_shaders) {
        seg_shader_give_back(pair.first);
        seg_shader_give_back(pair.second);
    }
    for (seg_shader_t& shader : sky_shaders)
        seg_shader_give_back(shader);
    for (seg_shader_t& shader : board_arrows)
        seg_shader_give_back(shader);
    for (seg_shader_t& shader : board_backgrounds)
        seg_shader_give_back(shader);
    for (psm_t*& model : hq_models) {
        api::psm_free(model);
        model = nullptr;
    }
    for (std::vector<c_item_t*>& stack : board_stacks) {
        for (c_item_t* const window : stack) {
            api::ci_dec_refs(window);
            ui_wremove(window);
        }
        stack.clear();
    }
    sign_models.clear();
    sign_boards.clear();
    sign_texts.clear();
    freeitem_models.clear();
    freeitem_shaders.clear();
    freeitem_looks.clear();
    cityblock_lamps.clear();
    cityblock_models.clear();
    cityblock_shaders.clear();
    cityblock_looks.clear();
    sky_shaders.clear();
    brushes.clear();
    brush_cells.clear();
}
