#include "road/base_ctrl.h"

#include <new>
#include <vector>

#include "engine/entity_proc.h"
#include "common/engine_api.h"
#include "common/world_services.h"
#include "road/map_file.h"
#include "road/noise.h"

const level_list_t base_ctrl_e::base_ctrl_init_list(&object_e::object_init_list, {-10, 0, 10});
const level_list_t base_ctrl_e::base_ctrl_destroy_list(&entity_t::destroy_list, {0, 10});

namespace {

// Initial capacity of the node and aux-node arrays.
constexpr int32_t initial_node_capacity = 64;
// Size of a list node as the lists' pool is set up, and nodes per block (the pool widens its items
// to the lists' real nodes).
constexpr size_t list_node_size = 12;
constexpr size_t list_nodes_per_block = 32;

}  // namespace

base_ctrl_e::base_ctrl_e() = default;

base_ctrl_e::~base_ctrl_e()
{
    free_item_tree();
    delete seg_server;
    if (noise_held_)
        noise_tables_free();
}

bool base_ctrl_e::prepare_segment_server(const int32_t segments, const int32_t aux_segments)
{
    segment_slot_count = segments;
    aux_segment_slot_count = aux_segments;
    if (!seg_server)
        seg_server = new (std::nothrow) seg_server_t;
    if (!seg_server) {
        api::error("Not enough memory for the segment server of %s", name());
        return false;
    }
    return true;
}

int base_ctrl_e::init(const int phase)
{
    const int base = object_e::init(phase);
    if (base != 0)
        return base;
    if (phase == -10) {
        if (nodes.reserve(initial_node_capacity) < 0 || aux_nodes.reserve(initial_node_capacity) < 0) {
            api::error("Not enough memory for the road network of %s", name());
            return 1;
        }
        if (!make_render_slots()) {
            api::error("Not enough memory for the render slots of %s", name());
            return 1;
        }
        if (list_pool_.live_count() == 0 && list_pool_.set_pars(list_node_size, list_nodes_per_block)) {
            for (vptrlist_t<int32_t>& list : lists_)
                list.init_mm(list_pool_);
        }
    } else if (phase == 0) {
        if (!noise_held_) {
            if (!noise_tables_build())
                return 1;
            noise_held_ = true;
        }
        if (seg_server && seg_server->load() > 0)
            seg_server->set_light_source(this);
    }
    return 0;
}

int base_ctrl_e::destroy(const int phase)
{
    if (phase == 0) {
        release_render_slots();
        free_item_tree();
        if (seg_server) {
            seg_server->clear_light_source();
            seg_server->unload();
        }
        for (vptrlist_t<int32_t>& list : lists_)
            list.remove_all();
        free_records();
        if (noise_held_) {
            noise_tables_free();
            noise_held_ = false;
        }
    } else if (phase == 10) {
        delete seg_server;
        seg_server = nullptr;
    }
    return entity_t::destroy(phase);
}

void base_ctrl_e::handler()
{
    entity_t::handler();
    const vprocess_t* const owner = process();
    const float dt = owner ? static_cast<float>(owner->frame_seconds()) : 0.0f;
    update_movers(dt);
    if (seg_server)
        seg_server->animate(dt);
}

int32_t base_ctrl_e::load_map(const char* path, const vec3_t* offset)
{
    const int32_t read = map_file_load(*this, path, offset);
    if (read >= 0 && seg_server && seg_server->loaded())
        seg_server->check_map_indices(*this, path);
    return read;
}

int32_t base_ctrl_e::save_map(const char* path) { return map_file_save(*this, path); }

void base_ctrl_e::get_start_pos(vec3_t& out_position, quat_t& out_rotation)
{
    out_position = start_position;
    out_rotation.set(vec3_t(0.0f, 1.0f, 0.0f), 0.0f);
}

void base_ctrl_e::get_camera_pos(vec3_t& out_position) { out_position = camera_position; }

void base_ctrl_e::activate_miscitem(map_miscitem_t& record)
{
    const auto address = reinterpret_cast<uintptr_t>(&record);
    const auto first = reinterpret_cast<uintptr_t>(miscitems.begin());
    if (address < first || address >= reinterpret_cast<uintptr_t>(miscitems.end()) || record.active != 0)
        return;
    const auto index = static_cast<int32_t>((address - first) / sizeof(map_miscitem_t));
    if (!lists_[base_ctrl_movers].append(index)) {
        api::error("Not enough memory to activate misc item %d", index);
        return;
    }
    record.active = 1;
    record.instance = 0;
}

const void* base_ctrl_e::static_model_lights()
{
    // Every model part drawn asks: the process is cast once while it stays the same.
    if (services_process_ != process()) {
        services_process_ = process();
        services_ = dynamic_cast<const world_services_t*>(services_process_);
    }
    const std::vector<c_item_t*>* lights = services_ ? &services_->light_items() : nullptr;
    return lights && !lights->empty() ? lights : nullptr;
}

void base_ctrl_e::on_segment_built(int32_t) {}
void base_ctrl_e::on_segment_freed(int32_t) {}
void base_ctrl_e::on_edge_built(int32_t) {}
void base_ctrl_e::on_edge_freed(int32_t) {}

const prefab_t* base_ctrl_e::get_prefab_def(map_edge_t& edge, bool* out_variant)
{
    if (out_variant)
        *out_variant = false;
    if (!seg_server || !map_edge_kind_is_prefab(edge.kind))
        return nullptr;
    const std::vector<prefab_t>& table = seg_server->prefab_table[edge.kind - map_edge_fork];
    if (edge.definition < 0 || static_cast<size_t>(edge.definition) >= table.size())
        return nullptr;
    return &table[static_cast<size_t>(edge.definition)];
}

const road_lanes_t* base_ctrl_e::get_road_def(const map_edge_t* edge) const
{
    if (!seg_server || !edge || (edge->kind != map_edge_city_road && edge->kind != map_edge_road))
        return nullptr;
    const auto index = static_cast<size_t>(edge->definition);
    if (edge->definition < 0)
        return nullptr;
    if (edge->kind == map_edge_road)
        return index < seg_server->road_defs.size() ? &seg_server->road_defs[index].lanes : nullptr;
    return index < seg_server->city_road_defs.size() ? &seg_server->city_road_defs[index].lanes : nullptr;
}

void base_ctrl_e::on_mover_moved(map_miscitem_t&, const mover_pose_t&) {}

int32_t base_ctrl_e::edge_of_contact(const cd_geo_t*, uint32_t) const { return -1; }

road_geo_t* base_ctrl_e::get_road_geo() { return nullptr; }

bool base_ctrl_e::find_ground(const vec3_t&, vec3_t&) { return false; }

int32_t base_ctrl_e::add_edge_signs(int32_t) { return -1; }

void base_ctrl_e::remove_signs(int32_t, int32_t) {}

int32_t base_ctrl_e::add_city_block(int32_t, int32_t) { return -1; }

void base_ctrl_e::remove_city_block(int32_t, int32_t) {}

void base_ctrl_e::update_movers(const float dt)
{
    for (const int32_t index : lists_[base_ctrl_movers]) {
        if (!miscitems.valid(index))
            continue;
        map_miscitem_t& item = miscitems[index];
        // The moving model is made on first use, where the mover stands now (a pausing mover shows too).
        if (item.instance == 0 && seg_server && (item.flags & map_misc_segments_mask) != 0) {
            item.instance = seg_server->add_mover(item.model_words[0], item.model_words[1]);
            // A model the server does not hold is reported once; the mover runs on without a model.
            if (item.instance == 0)
                item.instance = mover_refused;
            const mover_pose_t pose = mover_pose_now(item);
            seg_server->place_mover(item.instance, pose.position, pose.rotation);
        }
        const mover_step_t step = mover_advance(item, dt);
        if (!step.moved)
            continue;
        const mover_pose_t pose = mover_pose(item, step.segment, step.progress);
        if (seg_server)
            seg_server->place_mover(item.instance, pose.position, pose.rotation);
        on_mover_moved(item, pose);
    }
}

void base_ctrl_e::drop_mover(map_miscitem_t& item)
{
    if (seg_server)
        seg_server->remove_mover(item.instance);
    item.instance = 0;
}

void base_ctrl_e::release_segments()
{
    release_render_slots();
    free_item_tree();
    clear_records();
    for (vptrlist_t<int32_t>& list : lists_)
        list.remove_all();
    // Nothing the previous map showed stays: its free items, boards, lamps, movers and target marker.
    if (seg_server)
        seg_server->reset_instances();
    if (target_item_ != -1)
        hide_target();
    target_item_ = -1;
}
