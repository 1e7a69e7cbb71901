#include "road/road_geo.h"

#include <algorithm>
#include <climits>

#include "engine/clock.h"
#include "engine/geometry.h"
#include "common/engine_api.h"
#include "physics/cd_geo_box.h"
#include "road/base_ctrl.h"
#include "road/road_item_id.h"

namespace {

// The five-axis box spanned by two corners.
cd_bounds_t corner_box(const vec3_t& a, const vec3_t& b)
{
    const vec3_t low(std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z));
    const vec3_t high(std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z));
    cd_bounds_t box;
    box.minimum[0] = low.x;
    box.minimum[1] = low.y;
    box.minimum[2] = low.z;
    box.maximum[0] = high.x;
    box.maximum[1] = high.y;
    box.maximum[2] = high.z;
    box.minimum[3] = (low.x + low.z) * 0.5f;
    box.maximum[3] = (high.x + high.z) * 0.5f;
    box.minimum[4] = low.x * 0.5f - high.z * 0.5f;
    box.maximum[4] = high.x * 0.5f - low.z * 0.5f;
    return box;
}

// True when `outer` holds `inner` on every axis.
bool holds(const cd_bounds_t& outer, const cd_bounds_t& inner)
{
    for (int axis = 0; axis < cd_bound_axes; ++axis)
        if (outer.minimum[axis] > inner.minimum[axis] || inner.maximum[axis] > outer.maximum[axis])
            return false;
    return true;
}

}  // namespace

road_geo_t::road_geo_t(base_ctrl_e& controller) : controller_(controller), builder_(512, 128)
{
    set_name("road_geo_t");
    for (int32_t i = 0; i < road_geo_slots; ++i)
        slots_[i].slot_number = static_cast<uint32_t>(i);
    bounds_.bounds.set_empty();
    bounds_.bounds.minimum[0] = 1.0f;
    bounds_.bounds.maximum[0] = -1.0f;
}

road_geo_t::~road_geo_t() { release_all(); }

void road_geo_t::release_all()
{
    for (size_t i = 0; i < queries_.size(); ++i)
        if (queries_[i])
            free_query(static_cast<uint32_t>(i + 1));
    queries_.clear();
    for (road_coll_seg_t& slot : slots_) {
        if (slot.owner != 0xFFFFFFFFu || slot.piece_count > 0)
            slot.release(controller_);
        slot.use_count = 0;
    }
    segs_in_use_ = 0;
}

road_query_t* road_geo_t::query(const uint32_t handle)
{
    return handle > 0 && handle <= queries_.size() ? queries_[handle - 1].get() : nullptr;
}

size_t road_geo_t::query_count() const
{
    return static_cast<size_t>(std::count_if(queries_.begin(), queries_.end(), [](const auto& q) { return !!q; }));
}

cd_bvnode_t* road_geo_t::get_tree_in_box(uint32_t* handle, const vec3_t& corner_a, const vec3_t& corner_b)
{
    const cd_bounds_t box = corner_box(corner_a, corner_b);
    uint32_t found = 0;
    for (size_t i = 0; i < queries_.size() && !found; ++i) {
        road_query_t* cached = queries_[i].get();
        if (cached && cached->tree && holds(cached->box, box)) {
            cached->stamp = api::tmr_read();
            ++cached->use_count;
            found = static_cast<uint32_t>(i + 1);
        }
    }
    if (!found)
        found = build_subsegs(box);
    if (handle)
        *handle = found;
    road_query_t* answer = query(found);
    return answer ? answer->tree : nullptr;
}

cd_bvnode_t* road_geo_t::get_tree(uint32_t* handle)
{
    if (handle)
        *handle = 0;
    return nullptr;
}

void road_geo_t::release_tree(const uint32_t handle)
{
    road_query_t* held = query(handle);
    if (held && held->use_count > 0)
        --held->use_count;
}

uint32_t road_geo_t::build_subsegs(const cd_bounds_t& query_box)
{
    auto record = std::make_unique<road_query_t>();
    record->box = query_box;
    record->box.widen(road_geo_query_margin);
    collect_segs(record->box, *record, controller_.item_tree());
    if (record->segs.empty())
        return 0;
    builder_.set_callbacks(this, 0.0f, 1, subseg_node, subseg_size, nullptr);
    int32_t chosen = 0;
    bool exhausted = false;
    for (road_coll_seg_t* slot : record->segs) {
        if (slot->use_count == 1)
            ++segs_in_use_;
        for (int32_t piece = 0; piece < slot->piece_count && !exhausted; ++piece) {
            const cd_bounds_t& bounds = slot->piece(piece).bounds;
            if (!bounds.overlaps_by_axis(record->box))
                continue;
            if (chosen == road_geo_subsegs) {
                report_error("build_subsegs field exhausted !");
                exhausted = true;
                break;
            }
            cd_bvnode_t* tree = slot->piece_tree(piece);
            if (!tree)
                continue;
            cd_bvitem_t* item = builder_.add_item();
            if (!item)
                continue;
            item->id = static_cast<uint32_t>(chosen);
            item->minimum = vec3_t(bounds.minimum[0], bounds.minimum[1], bounds.minimum[2]);
            item->maximum = vec3_t(bounds.maximum[0], bounds.maximum[1], bounds.maximum[2]);
            item->centre = (item->minimum + item->maximum) * 0.5f;
            subseg_field_[chosen++] = tree;
        }
    }
    size_t size = 0;
    record->tree = builder_.build(&size, &record->tree_block);
    record->tree_size = static_cast<uint32_t>(size);
    record->use_count = 1;
    record->stamp = api::tmr_read();
    // Keep the record in a free place of the table, or at its end.
    auto free_place = std::find(queries_.begin(), queries_.end(), nullptr);
    uint32_t handle = 0;
    if (free_place != queries_.end()) {
        *free_place = std::move(record);
        handle = static_cast<uint32_t>(free_place - queries_.begin() + 1);
    } else {
        queries_.push_back(std::move(record));
        handle = static_cast<uint32_t>(queries_.size());
    }
    road_query_t* made = query(handle);
    if (!made->tree) {
        // Slots near the box, but no triangle in it: nothing to keep.
        free_query(handle);
        return 0;
    }
    tree_bytes_ += made->tree_size;
    return handle;
}

size_t road_geo_t::subseg_size(const cd_bvgroup_t& group, void*)
{
    // A leaf of several pieces (their centres could not be told apart) joins them with inner nodes.
    return group.count > 1 ? (group.count - 1) * cd_bvnode_inner_size : 0;
}

cd_bvnode_t* road_geo_t::subseg_node(const cd_bvgroup_t& group, void* owner, cd_bvtree_t& tree)
{
    auto* self = static_cast<road_geo_t*>(owner);
    const std::span<const cd_bvitem_t> items = tree.items_of(group);
    if (items.empty())
        return nullptr;
    cd_bvnode_t* node = self->subseg_field_[items[0].id];
    for (size_t i = 1; i < items.size(); ++i) {
        auto* join = static_cast<cd_bvnode_t*>(tree.take(cd_bvnode_inner_size));
        if (!join)
            return nullptr;
        cd_bvnode_t* other = self->subseg_field_[items[i].id];
        join->first = node;
        join->second = other;
        join->bounds = node->bounds;
        join->bounds.add_bounds(other->bounds);
        node = join;
    }
    return node;
}

bool road_geo_t::collect_segs(const cd_bounds_t& box, road_query_t& record, const cd_bvnode_t* node)
{
    if (!node || !node->bounds.overlaps(box))
        return true;
    if (!node->leaf())
        return collect_segs(box, record, node->first) && collect_segs(box, record, node->second);
    const uint32_t* ids = node->ids();
    for (uint16_t i = 0; i < node->count(); ++i) {
        const uint32_t id = ids[i];
        const int32_t index = road_item_index(id);
        switch (road_item_kind(id)) {
        case road_item_edge: {
            if (!controller_.edges.valid(index))
                continue;
            const map_edge_t& edge = controller_.edges[index];
            if ((edge.flags & map_edge_terrain_only) || !edge.bounds.overlaps(box))
                continue;
            break;
        }
        case road_item_freeitem: {
            if (!controller_.freeitems.valid(index))
                continue;
            const map_freeitem_t& item = controller_.freeitems[index];
            if (!(item.flags & 1u) || !item.bounds.overlaps(box))
                continue;
            break;
        }
        default:
            continue;
        }
        road_coll_seg_t* slot = get_item_seg(id);
        if (!slot)
            return false;
        record.segs.push_back(slot);
    }
    return true;
}

road_coll_seg_t* road_geo_t::get_item_seg(const uint32_t id)
{
    road_coll_seg_t* free_slot = nullptr;
    for (road_coll_seg_t& slot : slots_) {
        if (slot.owner == id) {
            ++slot.use_count;
            return &slot;
        }
        if (!free_slot && slot.use_count == 0)
            free_slot = &slot;
    }
    if (!free_slot)
        return nullptr;
    if (free_slot->owner != 0xFFFFFFFFu)
        free_slot->release(controller_);
    const int32_t index = road_item_index(id);
    if (road_item_kind(id) == road_item_freeitem) {
        if (!free_slot->build_freeitem(controller_, controller_.freeitems[index]))
            free_slot->owner = id;
    } else if (!free_slot->build_edge(controller_, controller_.edges[index])) {
        // An item without collision keeps its empty slot, so that it is not built again and again.
        free_slot->owner = id;
    }
    free_slot->use_count = 1;
    return free_slot;
}

void road_geo_t::free_query(const uint32_t handle)
{
    road_query_t* record = query(handle);
    if (!record)
        return;
    for (auto slot = record->segs.rbegin(); slot != record->segs.rend(); ++slot) {
        if ((*slot)->use_count > 0 && --(*slot)->use_count == 0) {
            if (segs_in_use_ > 0)
                --segs_in_use_;
            (*slot)->release(controller_);
        }
    }
    if (record->tree)
        tree_bytes_ -= std::min(tree_bytes_, record->tree_size);
    if (record->tree_block)
        api::mem_sys_free(record->tree_block);
    queries_[handle - 1].reset();
}

void road_geo_t::expire_queries()
{
    const uint64_t now = api::tmr_read();
    for (size_t i = 0; i < queries_.size(); ++i) {
        road_query_t* record = queries_[i].get();
        if (record && record->use_count == 0 && now - record->stamp > road_geo_idle_ticks)
            free_query(static_cast<uint32_t>(i + 1));
    }
}

uint32_t road_geo_t::edge_of_contact(const uint32_t id) const
{
    const uint32_t slot = id >> 24;
    return slot < static_cast<uint32_t>(road_geo_slots) ? slots_[slot].owner : 0xFFFFFFFFu;
}

void road_geo_t::debug_draw()
{
    for (const std::unique_ptr<road_query_t>& cached : queries_)
        if (cached && cached->tree)
            cd_geo_box_t::debug_draw(this, cached->tree, 0, INT_MAX, false);
}

void road_geo_t::set_rotation(quat_t) { report("WARNING: road_geo_t collision data rotation not supported"); }

void road_geo_t::get_item(cd_item_t& item, const int redirect)
{
    if ((redirect & 0xFF) && parent) {
        parent->get_item(item, redirect);
        return;
    }
    const uint32_t slot_index = item.id >> 24;
    const int32_t piece_index = static_cast<int32_t>((item.id >> 16) & 0xFFu);
    const uint32_t first = item.id & 0xFFFFu;
    item.kind = cd_item_t::kind_triangle;
    if (slot_index >= static_cast<uint32_t>(road_geo_slots) || piece_index >= slots_[slot_index].piece_count ||
        first + 3 > slots_[slot_index].piece(piece_index).index_count) {
        // An id that names no triangle (its slot was rebuilt since) gives nothing.
        item.request = 0;
        item.vertex_count = 0;
        return;
    }
    const road_coll_piece_t& piece = slots_[slot_index].piece(piece_index);
    const vec3_t* corner[3] = {&piece.vertices[piece.indices[first]], &piece.vertices[piece.indices[first + 1]],
                               &piece.vertices[piece.indices[first + 2]]};
    if (item.request & cd_item_t::request_vertices) {
        for (int k = 0; k < 3; ++k)
            item.vertex[k] = corner[k];
        item.vertex_count = 3;
    }
    const uint32_t material = piece.materials[first / 3];
    if (item.request & cd_item_t::request_material)
        item.material = material;
    // The walls on the skirts and the collision meshes of objects stand for no drawn surface.
    item.drawn = material != road_coll_wall && material != road_coll_object;
    if (item.request & cd_item_t::request_plane)
        points_compute_equation(*corner[0], *corner[2], *corner[1], 0.0f, item.plane);
    if (item.request & cd_item_t::request_user)
        item.user = 0xFFFFFFFFu;
    if (item.request & cd_item_t::request_bounds) {
        item.bounds.set_triangle(*corner[0], *corner[1], *corner[2]);
    }
}
