#include "behaviour/psb_runner_build.h"

#include "behaviour/psb_behavior.h"
#include "behaviour/psb_behavior_runner.h"
#include "behaviour/psb_block_builder.h"
#include "behaviour/psb_compiled.h"
#include "behaviour/psb_layer.h"

namespace {

// Run-state bytes of a node and its descendants.
uint32_t run_state_size(const psb_block_t& node)
{
    uint32_t size = psb_own_run_state_size(node.kind);
    for (const auto& child : node.children)
        size += run_state_size(*child);
    return psb_roundup4(size);
}

// The animation parameters of an animation node.
void write_animation(psb_block_builder_t& block, uint32_t at, const psb_animation_params_t& params)
{
    uint8_t flags = 0;
    flags |= params.weight_given ? psb_animation_weight : 0;
    flags |= params.freeze_at_end ? psb_animation_freeze : 0;
    flags |= params.priority_given ? psb_animation_priority : 0;
    flags |= params.ramp_in ? psb_animation_ramp_in : 0;
    flags |= params.ramp_out ? psb_animation_ramp_out : 0;
    flags |= params.ramp_type_event ? psb_animation_ramp_event : 0;
    block.put<uint8_t>(at + psb_animation_flags, flags);
    block.put<uint16_t>(at + psb_animation_id, params.animation_id);
    block.put<float>(at + psb_animation_length, params.length);
    block.put<int32_t>(at + psb_animation_frame_count, params.frame_count);
    block.put<float>(at + psb_animation_weight_value, params.weight);
    block.put<int32_t>(at + psb_animation_priority_value, params.priority);
    block.put<float>(at + psb_animation_ramp_in_length, params.ramp_in_length);
    block.put<float>(at + psb_animation_ramp_out_length, params.ramp_out_length);
    block.put<float>(at + psb_animation_ramp_out_start, params.ramp_out_start);
}

// Lays out a node, then its animation parameters, event data, child array and children: its offset.
uint32_t write_node(psb_block_builder_t& block, const psb_block_t& node)
{
    const uint32_t at = block.take(psb_node_size);
    uint8_t flags = 0;
    block.put<uint32_t>(at + psb_node_kind, node.kind);
    if (node.has_speed) {
        flags |= psb_node_has_speed;
        block.put<float>(at + psb_node_speed, node.speed);
    }
    if (node.time_triggered) {
        flags |= psb_node_time_triggered;
        block.put<float>(at + psb_node_trigger, node.time_trigger);
    } else if (node.frame_triggered) {
        flags |= psb_node_frame_triggered;
        block.put<float>(at + psb_node_trigger, node.frame_trigger);
    }
    if (node.has_probability) {
        flags |= psb_node_has_probability;
        block.put<float>(at + psb_node_probability, node.probability);
    }
    if (node.kind == psb_block_base && node.fade_set) {
        flags |= psb_node_fade_set;
        block.put<float>(at + psb_node_trigger, node.fade_time);
        block.put<float>(at + psb_node_probability, node.fade_length);
    } else if (node.kind == psb_block_blend) {
        block.put<float>(at + psb_node_trigger, node.overlay_start);
        block.put<float>(at + psb_node_probability, node.overlay);
    }
    block.put<uint32_t>(at + psb_node_run_state_size, run_state_size(node));
    if (node.kind == psb_block_animation) {
        const uint32_t parameters = block.take(32);
        write_animation(block, parameters, node.animation);
        block.put<uint32_t>(at + psb_node_animation, parameters);
    }
    if (node.has_event) {
        flags |= psb_node_has_event;
        const uint32_t length = static_cast<uint32_t>(node.event_data.size());
        block.put<uint32_t>(at + psb_node_event_type, node.event_type);
        block.put<uint32_t>(at + psb_node_event_length, length);
        if (length > 0) {
            const uint32_t data = block.take(length);
            for (uint32_t index = 0; index < length; ++index)
                block.put<uint8_t>(data + index, node.event_data[index]);
            block.put<uint32_t>(at + psb_node_event_data, data);
        }
    }
    block.put<uint8_t>(at + psb_node_flags, flags);
    const uint32_t count = static_cast<uint32_t>(node.children.size());
    block.put<uint32_t>(at + psb_node_child_count, count);
    if (count > 0) {
        const uint32_t array = block.take(4 * count);
        block.put<uint32_t>(at + psb_node_children, array);
        for (uint32_t index = 0; index < count; ++index)
            block.put<uint32_t>(array + 4 * index, write_node(block, *node.children[index]));
    }
    return at;
}

// Writes the initial run state of `node` and its descendants from `at`: the bytes written.
uint32_t write_run_state(psb_block_builder_t& block, uint32_t at, const psb_block_t& node)
{
    if (node.kind == psb_block_sequence)
        block.put<uint32_t>(at + psb_state_child_offset, psb_own_run_state_size(psb_block_sequence));
    else if (node.kind == psb_block_blend)
        block.put<uint8_t>(at + psb_state_blend_mark, 1);
    uint32_t offset = psb_own_run_state_size(node.kind);
    for (const auto& child : node.children)
        offset += write_run_state(block, at + offset, *child);
    return psb_roundup4(offset);
}

}  // namespace

uint32_t psb_runner_build(const psb_behavior_t& behavior, psb_block_builder_t& block, uint32_t* out_run_state_size)
{
    const std::vector<psb_feature_state_t>& states = behavior.feature_states();
    const uint32_t state_count = static_cast<uint32_t>(states.size());
    const uint32_t at = block.take(36 + psb_roundup4(4 + 3 * state_count));
    block.put<int32_t>(at + psb_record_process, behavior.generated() ? -1 : static_cast<int32_t>(behavior.process()));
    uint8_t flags = behavior.generated() ? psb_record_generated : 0;
    flags |= behavior.hold_set() >= 0 ? psb_record_has_hold_set : 0;
    flags |= behavior.hold_not_explicit() ? psb_record_hold_implicit : 0;
    block.put<uint8_t>(at + psb_record_flags, flags);
    block.put<int32_t>(at + psb_record_hold_set, behavior.hold_set());
    block.put<float>(at + psb_record_base_length, behavior.base_length());
    block.put<uint32_t>(at + psb_record_feature_count, state_count);
    for (uint32_t index = 0; index < state_count; ++index) {
        block.put<uint8_t>(at + 40 + 3 * index, states[index].feature);
        block.put<uint8_t>(at + 41 + 3 * index, states[index].begin);
        block.put<uint8_t>(at + 42 + 3 * index, states[index].end);
    }
    const auto& values = behavior.attribute_values();
    block.put<uint32_t>(at + psb_record_value_count, static_cast<uint32_t>(values.size()));
    if (!values.empty()) {
        const uint32_t first = block.take(8 * static_cast<uint32_t>(values.size()));
        block.put<uint32_t>(at + psb_record_values, first);
        for (uint32_t index = 0; index < values.size(); ++index) {
            const uint32_t value = first + 8 * index;
            block.put<uint16_t>(value, values[index].attribute);
            const psb_attribute_value_t& typed = values[index].value;
            if (typed.type == psb_attribute_float)
                block.put<float>(value + 4, typed.real);
            else if (typed.type == psb_attribute_int)
                block.put<int32_t>(value + 4, typed.integer);
            else
                block.put<uint8_t>(value + 4, typed.boolean ? 1 : 0);
        }
    }
    uint32_t run_states = 0;
    if (const psb_block_t* root = behavior.root()) {
        block.put<uint32_t>(at + psb_record_root, write_node(block, *root));
        run_states = run_state_size(*root);
        const uint32_t runner = block.take(psb_runner_size + run_states);
        block.put<uint32_t>(runner + psb_runner_table, psb_runner_table_word);
        block.put<uint8_t>(runner + psb_runner_flags, psb_runner_written);
        block.put<float>(runner + psb_runner_speed, 1.0f);
        block.put<uint32_t>(runner + psb_runner_behavior, behavior.id());
        write_run_state(block, runner + psb_runner_size, *root);
        block.put<uint32_t>(at + psb_record_runner, runner);
    }
    *out_run_state_size = run_states + psb_runner_size;
    block.put<uint32_t>(at + psb_record_run_state_size, *out_run_state_size);
    return at;
}
