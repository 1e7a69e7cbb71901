#include "behaviour/psb_compiled_tree.h"

#include "behaviour/psb_compiled.h"

namespace {

// The node at `at` with its descendants.
std::unique_ptr<psb_block_t> read_node(const void* block, uint32_t at, psb_block_t* parent)
{
    auto node = std::make_unique<psb_block_t>();
    node->parent = parent;
    node->kind = psb_block_read<uint32_t>(block, at + psb_node_kind);
    const uint8_t flags = psb_block_read<uint8_t>(block, at + psb_node_flags);
    const float trigger = psb_block_read<float>(block, at + psb_node_trigger);
    const float probability = psb_block_read<float>(block, at + psb_node_probability);
    node->has_speed = (flags & psb_node_has_speed) != 0;
    node->speed = node->has_speed ? psb_block_read<float>(block, at + psb_node_speed) : 1.0f;
    node->time_triggered = (flags & psb_node_time_triggered) != 0;
    node->frame_triggered = (flags & psb_node_frame_triggered) != 0;
    node->time_trigger = node->time_triggered ? trigger : 0;
    node->frame_trigger = node->frame_triggered ? trigger : 0;
    node->has_probability = (flags & psb_node_has_probability) != 0;
    node->probability = node->has_probability ? probability : 0;
    if (node->kind == psb_block_base && (flags & psb_node_fade_set)) {
        node->fade_set = true;
        node->fade_time = trigger;
        node->fade_length = probability;
    } else if (node->kind == psb_block_blend) {
        node->overlay_unit = psb_overlay_time;
        node->overlay_start = trigger;
        node->overlay = probability;
        node->overlay_done = true;
    }
    if (flags & psb_node_has_event) {
        node->has_event = true;
        node->event_type = psb_block_read<uint32_t>(block, at + psb_node_event_type);
        const uint32_t length = psb_block_read<uint32_t>(block, at + psb_node_event_length);
        const uint8_t* const data =
            static_cast<const uint8_t*>(block) + psb_block_read<uint32_t>(block, at + psb_node_event_data);
        node->event_data.assign(data, data + length);
    }
    if (const uint32_t parameters = psb_block_read<uint32_t>(block, at + psb_node_animation)) {
        psb_animation_params_t& animation = node->animation;
        const uint8_t bits = psb_block_read<uint8_t>(block, parameters);
        animation.weight_given = (bits & psb_animation_weight) != 0;
        animation.freeze_at_end = (bits & psb_animation_freeze) != 0;
        animation.priority_given = (bits & psb_animation_priority) != 0;
        animation.ramp_in = (bits & psb_animation_ramp_in) != 0;
        animation.ramp_out = (bits & psb_animation_ramp_out) != 0;
        animation.ramp_type_event = (bits & psb_animation_ramp_event) != 0;
        animation.animation_id = psb_block_read<uint16_t>(block, parameters + 2);
        animation.length = psb_block_read<float>(block, parameters + 4);
        animation.frame_count = psb_block_read<int32_t>(block, parameters + 8);
        animation.weight = psb_block_read<float>(block, parameters + 12);
        animation.priority = psb_block_read<int32_t>(block, parameters + 16);
        animation.ramp_in_length = psb_block_read<float>(block, parameters + 20);
        animation.ramp_out_length = psb_block_read<float>(block, parameters + 24);
        animation.ramp_out_start = psb_block_read<float>(block, parameters + 28);
    }
    const uint32_t count = psb_block_read<uint32_t>(block, at + psb_node_child_count);
    const uint32_t children = psb_block_read<uint32_t>(block, at + psb_node_children);
    for (uint32_t index = 0; index < count; ++index)
        node->children.push_back(read_node(block, psb_block_read<uint32_t>(block, children + 4 * index), node.get()));
    return node;
}

}  // namespace

bool psb_compiled_behavior(const void* block, uint32_t entry, uint32_t id, psb_compiled_behavior_t& out)
{
    if (id >= psb_block_read<uint32_t>(block, entry + psb_entry_behavior_count))
        return false;
    const uint32_t record =
        psb_block_read<uint32_t>(block, psb_block_read<uint32_t>(block, entry + psb_entry_behaviors) + 4 * id);
    if (record == 0)
        return false;
    const uint32_t root = psb_block_read<uint32_t>(block, record + psb_record_root);
    out.root = root ? read_node(block, root, nullptr) : nullptr;
    out.feature_states.clear();
    const uint32_t count = psb_block_read<uint32_t>(block, record + psb_record_feature_count);
    for (uint32_t index = 0; index < count; ++index) {
        const uint32_t at = record + 40 + 3 * index;
        out.feature_states.push_back({psb_block_read<uint8_t>(block, at), psb_block_read<uint8_t>(block, at + 1),
                                      psb_block_read<uint8_t>(block, at + 2)});
    }
    const bool held = (psb_block_read<uint8_t>(block, record + psb_record_flags) & psb_record_has_hold_set) != 0;
    out.hold_set = held ? psb_block_read<int32_t>(block, record + psb_record_hold_set) : -1;
    return true;
}
