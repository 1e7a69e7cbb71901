// What a segment build places in the segment server beside its geometry (models, traffic lights,
// street lights, sign boards, city blocks and lane arrows), shown and hidden with the slot and given
// back when the slot is freed.
#include "road/base_ctrl.h"
#include "road/segment.h"

namespace {

// Keeps `node` in `kept` while the slot has room for another instance.
template <typename N> bool keep_in(std::vector<N*>& kept, N* node, const int32_t count)
{
    if (!node)
        return false;
    if (count >= segment_max_instances)
        return false;
    kept.push_back(node);
    return true;
}

}  // namespace

bool segment_t::keep_instance(model_instance_node_t* instance) { return keep_in(models_, instance, instance_count()); }
bool segment_t::keep_instance(lamp_instance_node_t* instance) { return keep_in(lamps_, instance, instance_count()); }
bool segment_t::keep_instance(light_instance_node_t* instance) { return keep_in(lights_, instance, instance_count()); }

bool segment_t::keep_placed(board_instance_node_t* board)
{
    if (!board || placed_count() >= segment_max_placed)
        return false;
    placed_.push_back(board);
    return true;
}

void segment_t::set_visible(const bool shown)
{
    visible = shown ? 1 : 0;
    for (model_instance_node_t* instance : models_)
        instance->value().visible = visible;
    for (lamp_instance_node_t* instance : lamps_)
        instance->value().visible = visible;
    for (light_instance_node_t* instance : lights_)
        instance->value().visible = visible;
    for (board_instance_node_t* board : placed_)
        board->value().visible = visible;
}

void segment_t::remove_instances(base_ctrl_e& controller)
{
    seg_server_t* const server = controller.seg_server;
    if (server) {
        for (light_instance_node_t* light : lights_)
            server->remove_light(light);
        for (lamp_instance_node_t* lamp : lamps_)
            server->remove_lamp(lamp);
        for (model_instance_node_t* instance : models_)
            server->remove_model_instance(instance);
    }
    lights_.clear();
    lamps_.clear();
    models_.clear();
    for (board_instance_node_t* board : placed_) {
        // The controller hears of the board while it still exists, before its windows go back.
        controller.on_instance_removed(board->value());
        if (server)
            server->remove_board_instance(board);
    }
    placed_.clear();
}

void segment_t::release_city_parts(base_ctrl_e& controller)
{
    seg_server_t* const server = controller.seg_server;
    for (int side = 1; side >= 0; --side) {
        if (server && controller.cityblocks.valid(city_blocks[side]))
            server->release_city_block(controller.cityblocks[city_blocks[side]]);
        city_blocks[side] = -1;
    }
    for (int32_t& id : arrow_ids) {
        if (id == -1)
            continue;
        const int32_t moved = server ? server->remove_lane_arrow(id) : -1;
        if (moved != -1) {
            // The quad that took the freed place belongs to arrow `position` of edge `owner`.
            const int32_t position = moved >> 24;
            const int32_t owner = moved & 0xFFFFFF;
            segment_t* slot = owner == edge_index ? this : nullptr;
            if (!slot && controller.edges.valid(owner))
                slot = controller.segment_slot(controller.edges[owner].segment_slot);
            if (slot && position >= 0 && position < segment_arrow_ids && slot->arrow_ids[position] != -1)
                slot->arrow_ids[position] = id;
        }
        id = -1;
    }
}
