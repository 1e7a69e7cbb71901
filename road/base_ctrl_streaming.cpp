#include <new>

#include "common/engine_api.h"
#include "common/world_view.h"
#include "physics/bv_tree.h"
#include "road/base_ctrl.h"
#include "road/road_item_id.h"

namespace {

// Sizes of the item tree builder's lists, and its leaf threshold and leaf size.
constexpr uint32_t tree_items_per_block = 512;
constexpr uint32_t tree_groups_per_block = 128;
constexpr float tree_leaf_threshold = 10000.0f;
constexpr uint16_t tree_leaf_size = 1;

// The five-axis bounds of item `id` of `controller`, null for an id that names no record.
const cd_bounds_t* item_bounds(const base_ctrl_e& controller, const uint32_t id)
{
    const int32_t index = road_item_index(id);
    switch (road_item_kind(id)) {
    case road_item_edge:
        return controller.edges.valid(index) ? &controller.edges[index].bounds : nullptr;
    case road_item_freeitem:
        return controller.freeitems.valid(index) ? &controller.freeitems[index].bounds : nullptr;
    case road_item_aux_edge:
        return controller.aux_edges.valid(index) ? &controller.aux_edges[index].bounds : nullptr;
    case road_item_miscitem:
        return controller.miscitems.valid(index) ? &controller.miscitems[index].bounds : nullptr;
    }
    return nullptr;
}

size_t leaf_size(const cd_bvgroup_t& group, void*) { return cd_bvnode_leaf_size(group.count); }

// Writes a leaf with the group's ids, its bounds grown over the items' own five-axis bounds.
cd_bvnode_t* write_leaf(const cd_bvgroup_t& group, void* owner, cd_bvtree_t& tree)
{
    const auto* controller = static_cast<const base_ctrl_e*>(owner);
    auto* node = static_cast<cd_bvnode_t*>(tree.take(cd_bvnode_leaf_size(group.count)));
    if (!node)
        return nullptr;
    node->first = node->second = nullptr;
    node->bounds.set_empty();
    node->count() = static_cast<uint16_t>(group.count);
    uint32_t* ids = node->ids();
    for (const cd_bvitem_t& item : tree.items_of(group)) {
        *ids++ = item.id;
        if (const cd_bounds_t* bounds = item_bounds(*controller, item.id))
            node->bounds.add_bounds(*bounds);
    }
    return node;
}

// Adds item `id` with its bounds to the builder.
void add_item(cd_bvtree_t& builder, const uint32_t id, const cd_bounds_t& bounds)
{
    cd_bvitem_t* item = builder.add_item();
    if (!item)
        return;
    item->id = id;
    item->minimum = vec3_t(bounds.minimum[0], bounds.minimum[1], bounds.minimum[2]);
    item->maximum = vec3_t(bounds.maximum[0], bounds.maximum[1], bounds.maximum[2]);
    item->centre = (item->minimum + item->maximum) * 0.5f;
}

}  // namespace

bool base_ctrl_e::make_render_slots()
{
    if (!segments_ && segment_slot_count > 0) {
        segments_.reset(new (std::nothrow) segment_t[static_cast<size_t>(segment_slot_count)]);
        if (!segments_)
            return false;
        segment_lru_.reset(segment_slot_count);
    }
    if (!aux_segments_ && aux_segment_slot_count > 0) {
        aux_segments_.reset(new (std::nothrow) aux_segment_t[static_cast<size_t>(aux_segment_slot_count)]);
        if (!aux_segments_)
            return false;
        aux_lru_.reset(aux_segment_slot_count);
    }
    return true;
}

aux_segment_t* base_ctrl_e::aux_segment_slot(const int32_t slot)
{
    return aux_segments_ && slot >= 0 && slot < aux_segment_slot_count ? &aux_segments_[static_cast<size_t>(slot)]
                                                                       : nullptr;
}

segment_t* base_ctrl_e::segment_slot(const int32_t slot)
{
    return segments_ && slot >= 0 && slot < segment_slot_count ? &segments_[static_cast<size_t>(slot)] : nullptr;
}

void base_ctrl_e::release_render_slots()
{
    for (int32_t slot = 0; segments_ && slot < segment_slot_count; ++slot) {
        segment_t& segment = segments_[static_cast<size_t>(slot)];
        if (edges.valid(segment.edge_index))
            edges[segment.edge_index].segment_slot = -1;
        segment.release(*this);
    }
    segment_lru_.reset(segments_ ? segment_slot_count : 0);
    for (int32_t slot = 0; aux_segments_ && slot < aux_segment_slot_count; ++slot) {
        aux_segment_t& segment = aux_segments_[static_cast<size_t>(slot)];
        if (aux_edges.valid(segment.aux_edge))
            aux_edges[segment.aux_edge].segment_slot = -1;
        segment.release(*this);
    }
    aux_lru_.reset(aux_segments_ ? aux_segment_slot_count : 0);
}

void base_ctrl_e::free_item_tree()
{
    if (item_tree_block_)
        api::mem_sys_free(item_tree_block_);
    item_tree_block_ = nullptr;
    item_tree_ = nullptr;
}

void base_ctrl_e::build_item_tree()
{
    cd_bvtree_t builder(tree_items_per_block, tree_groups_per_block);
    builder.set_callbacks(this, tree_leaf_threshold, tree_leaf_size, write_leaf, leaf_size, nullptr);
    for (int32_t i = 0; i < edges.count; ++i)
        add_item(builder, static_cast<uint32_t>(i), edges[i].bounds);
    for (int32_t i = 0; i < aux_edges.count; ++i)
        add_item(builder, road_item_aux_edge_base + static_cast<uint32_t>(i), aux_edges[i].bounds);
    for (int32_t i = 0; i < freeitems.count; ++i)
        add_item(builder, road_item_freeitem_base + static_cast<uint32_t>(i), freeitems[i].bounds);
    for (int32_t i = 0; i < miscitems.count; ++i)
        add_item(builder, road_item_miscitem_base + static_cast<uint32_t>(i), miscitems[i].bounds);
    size_t size = 0;
    void* block = nullptr;
    cd_bvnode_t* root = builder.build(&size, &block);
    free_item_tree();
    item_tree_ = root;
    item_tree_block_ = block;
}

bool base_ctrl_e::is_cut(const float x, const float z)
{
    for (const int32_t index : active_list(base_ctrl_cut_planes)) {
        if (!miscitems.valid(index))
            continue;
        const map_miscitem_t& item = miscitems[index];
        const int32_t wanted = item.params[0];
        if (wanted < 0)
            continue;
        const float* const lines = &item.tangents[0].x;
        int32_t side = lines[0] * x + lines[1] * z + lines[2] >= 0.0f ? 1 : 0;
        if (lines[3] * x + lines[4] * z + lines[5] < 0.0f)
            side = -1;
        if (lines[6] * x + lines[7] * z + lines[8] >= 0.0f && side >= 0 && side != wanted)
            return true;
    }
    return false;
}

void base_ctrl_e::stream_edge(const int32_t index)
{
    map_edge_t& edge = edges[index];
    const map_node_t* start = segment_node(*this, edge.nodes[0]);
    const map_node_t* end = segment_node(*this, edge.nodes[1]);
    const bool cut =
        start && end && is_cut(start->position.x, start->position.z) && is_cut(end->position.x, end->position.z);
    segment_t* held = segment_slot(edge.segment_slot);
    if (cut) {
        if (held)
            held->set_visible(false);
        return;
    }
    if (held) {
        held->set_visible(true);
        segment_lru_.to_front(edge.segment_slot);
        return;
    }
    const int32_t slot = segment_lru_.acquire();
    segment_t* segment = segment_slot(slot);
    if (!segment)
        return;
    if (segment->visible) {
        // Every slot is in use by a shown edge: this edge waits for a slot to come free.
        segment_lru_.to_back(slot);
        return;
    }
    if (edges.valid(segment->edge_index)) {
        edges[segment->edge_index].segment_slot = -1;
        segment->release(*this);
    }
    if (!segment->build(*this, edge, false)) {
        segment_lru_.to_back(slot);
        return;
    }
    edge.segment_slot = slot;
    segment->set_visible(true);
}

void base_ctrl_e::stream_aux_edge(const int32_t index)
{
    map_aux_edge_t& edge = aux_edges[index];
    const bool cut = aux_nodes.valid(edge.nodes[0]) && aux_nodes.valid(edge.nodes[1]) &&
                     is_cut(aux_nodes[edge.nodes[0]].position.x, aux_nodes[edge.nodes[0]].position.z) &&
                     is_cut(aux_nodes[edge.nodes[1]].position.x, aux_nodes[edge.nodes[1]].position.z);
    aux_segment_t* held = aux_segment_slot(edge.segment_slot);
    if (cut) {
        if (held)
            held->visible = 0;
        return;
    }
    if (held) {
        held->visible = 1;
        aux_lru_.to_front(edge.segment_slot);
        return;
    }
    const int32_t slot = aux_lru_.acquire();
    aux_segment_t* segment = aux_segment_slot(slot);
    if (!segment)
        return;
    if (segment->visible) {
        aux_lru_.to_back(slot);
        return;
    }
    if (aux_edges.valid(segment->aux_edge))
        aux_edges[segment->aux_edge].segment_slot = -1;
    segment->release(*this);
    if (!segment->build(*this, edge)) {
        aux_lru_.to_back(slot);
        return;
    }
    segment->aux_edge = index;
    segment->visible = 1;
    edge.segment_slot = slot;
}

bool base_ctrl_e::update_visible_segments(const cd_bvnode_t* node, const cd_bounds_t& box)
{
    if (!node || !node->bounds.overlaps(box))
        return false;
    if (!node->leaf()) {
        const bool first = update_visible_segments(node->first, box);
        const bool second = update_visible_segments(node->second, box);
        return first || second;
    }
    bool found = false;
    const uint32_t* ids = node->ids();
    for (uint16_t i = 0; i < node->count(); ++i) {
        const uint32_t id = ids[i];
        const cd_bounds_t* bounds = item_bounds(*this, id);
        if (!bounds || !bounds->overlaps(box))
            continue;
        found = true;
        switch (road_item_kind(id)) {
        case road_item_edge:
            stream_edge(road_item_index(id));
            break;
        case road_item_freeitem:
            stream_freeitem(road_item_index(id));
            break;
        case road_item_aux_edge:
            stream_aux_edge(road_item_index(id));
            break;
        case road_item_miscitem:
            switch_on_miscitem(road_item_index(id));
            break;
        }
    }
    return found;
}

void base_ctrl_e::draw_roads(const cd_bounds_t& box)
{
    // A mirror's draw streams and draws like the main view's but hides nothing the main view shows.
    const bool secondary = drawing_secondary_view();
    if (!secondary) {
        if (seg_server)
            seg_server->update_sounds(freeitems, box);
        switch_off_miscitems(box);
    }
    update_visible_segments(item_tree_, box);
    for (int32_t slot = 0; segments_ && slot < segment_slot_count; ++slot) {
        segment_t& segment = segments_[static_cast<size_t>(slot)];
        if (!segment.visible || !edges.valid(segment.edge_index))
            continue;
        if (edges[segment.edge_index].bounds.overlaps(box))
            segment.draw(&box, static_model_lights());
        else if (!secondary)
            segment.set_visible(false);
    }
    for (int32_t slot = 0; aux_segments_ && slot < aux_segment_slot_count; ++slot) {
        aux_segment_t& segment = aux_segments_[static_cast<size_t>(slot)];
        if (!segment.visible || !aux_edges.valid(segment.aux_edge))
            continue;
        if (aux_edges[segment.aux_edge].bounds.overlaps(box))
            segment.draw(static_model_lights());
        else if (!secondary)
            segment.visible = 0;
    }
}
