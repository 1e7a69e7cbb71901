#pragma once
#include <cstdint>
#include <cstring>

#include "behaviour/psb_block_desc.h"

// The compiled description block of an info: one contiguous block that the ".info.xml" resource holds
// (see docs/formats.md, "Compiled description block"). References inside it are 32-bit offsets from
// the block's start, 0 meaning none.

// Header words.
enum psb_block_header_t : uint32_t {
    psb_header_layer_count = 0,
    psb_header_look_count = 4,
    psb_header_looks = 8,
    psb_header_sound_count = 16,
    psb_header_sounds = 20,
    // The model library's model info, a pointer-sized field.
    psb_header_model = 24,
    psb_header_layers = 32,
};

// Words of a compiled layer entry.
enum psb_entry_field_t : uint32_t {
    psb_entry_feature_count = 0,
    psb_entry_state_counts = 4,
    psb_entry_work_size = 8,
    psb_entry_animation_count = 12,
    psb_entry_behavior_count = 16,
    psb_entry_hold_set_count = 20,
    psb_entry_name = 24,
    psb_entry_behaviors = 28,
    psb_entry_transitions = 32,
    psb_entry_hold_sets = 36,
    psb_entry_animations = 40,
};

// Words of a runner record.
enum psb_record_field_t : uint32_t {
    psb_record_process = 0,
    psb_record_flags = 4,
    psb_record_hold_set = 8,
    psb_record_value_count = 12,
    psb_record_values = 16,
    psb_record_base_length = 20,
    psb_record_root = 24,
    psb_record_run_state_size = 28,
    psb_record_runner = 32,
    psb_record_feature_count = 36,
};

// Runner record flags.
enum psb_record_flag_t : uint8_t {
    psb_record_generated = 1,
    psb_record_has_hold_set = 2,
    psb_record_hold_implicit = 4
};

// Words of a block tree node (48 bytes, then its animation parameters, event data and children).
enum psb_node_field_t : uint32_t {
    psb_node_kind = 0,
    psb_node_flags = 4,
    psb_node_speed = 8,
    psb_node_trigger = 12,
    psb_node_probability = 16,
    psb_node_event_type = 20,
    psb_node_event_length = 24,
    psb_node_event_data = 28,
    psb_node_animation = 32,
    psb_node_run_state_size = 36,
    psb_node_child_count = 40,
    psb_node_children = 44,
    psb_node_size = 48,
};

// Node flags.
enum psb_node_flag_t : uint8_t {
    psb_node_time_triggered = 1,
    psb_node_frame_triggered = 2,
    psb_node_has_probability = 4,
    psb_node_has_event = 8,
    psb_node_fade_set = 16,
    psb_node_has_speed = 32,
};

// Fields of a node's 32 bytes of animation parameters.
enum psb_animation_field_t : uint32_t {
    psb_animation_flags = 0,
    psb_animation_id = 2,
    psb_animation_length = 4,
    psb_animation_frame_count = 8,
    psb_animation_weight_value = 12,
    psb_animation_priority_value = 16,
    psb_animation_ramp_in_length = 20,
    psb_animation_ramp_out_length = 24,
    psb_animation_ramp_out_start = 28,
};

// Flags of a node's 32 bytes of animation parameters.
enum psb_animation_flag_t : uint8_t {
    psb_animation_weight = 1,
    psb_animation_freeze = 2,
    psb_animation_priority = 4,
    psb_animation_ramp_in = 8,
    psb_animation_ramp_out = 16,
    psb_animation_ramp_event = 32,
};

// Words of a runner (then the run state of its root node).
enum psb_runner_field_t : uint32_t {
    // The word the engine gave the runner operations (a 64-bit address does not fit the word).
    psb_runner_table = 0,
    psb_runner_flags = 4,
    // The engine's word, handed to the ramp queries.
    psb_runner_engine_word = 8,
    psb_runner_speed = 20,
    psb_runner_behavior = 24,
    // Size of a runner before the run state of its root node.
    psb_runner_size = 28,
};

// Runner flags.
enum psb_runner_flag_t : uint8_t { psb_runner_written = 1, psb_runner_apply_speed = 4 };

// Fields of a node's run state (its own part; its children's run states follow in child order).
enum psb_run_state_field_t : uint32_t {
    psb_state_time = 0,
    psb_state_run_time = 4,
    psb_state_flags = 8,
    // Sequences: the current child's index (its low byte) and its run state's offset from the
    // sequence's.
    psb_state_child_index = 9,
    psb_state_child_offset = 12,
    // Animations: the descriptor and the ramp byte.
    psb_state_descriptor = 12,
    psb_state_ramp = 16,
    // Blends: a byte written 1, then the phase byte.
    psb_state_blend_mark = 12,
    psb_state_phase = 13,
};

// Run-state flags.
enum psb_state_flag_t : uint8_t { psb_state_started = 1, psb_state_finished = 2, psb_state_held = 4 };

// Bytes of a node's own run state by its kind (its children's follow).
constexpr uint32_t psb_own_run_state_size(uint32_t kind)
{
    switch (kind) {
    case psb_block_sequence:
    case psb_block_animation:
        return 20;
    case psb_block_blend:
        return 16;
    case psb_block_root:
        return 24;
    default:
        return 12;
    }
}

// A value of type T at `offset` bytes into `block`.
template <typename T> T psb_block_read(const void* block, uint32_t offset)
{
    T value;
    memcpy(&value, static_cast<const uint8_t*>(block) + offset, sizeof(T));
    return value;
}
