#pragma once
#include <cstdint>

// The description of a block of a behaviour's code section as its file gives it, handed to the
// behaviour model when the block opens.

// Block kinds (5 is the code section's root, which the model makes itself).
enum psb_block_kind_t : uint32_t {
    psb_block_base = 0,
    psb_block_sequence = 1,
    psb_block_parallel = 2,
    psb_block_animation = 3,
    psb_block_blend = 4,
    psb_block_root = 5,
    psb_block_normalize = 6,
};

// Event types a block may send.
enum psb_event_type_t : uint32_t { psb_event_sound = 0, psb_event_question = 1, psb_event_info = 2 };

// Units of a blend overlay.
enum psb_overlay_unit_t : uint8_t { psb_overlay_time = 1, psb_overlay_percent = 2 };

// Most bytes of event data and of an animation file name (with its terminator).
constexpr uint32_t psb_event_data_size = 64;
constexpr uint32_t psb_block_file_size = 64;

// One block's parameters.
struct psb_block_desc_t {
    uint32_t kind = psb_block_base;
    bool time_given = false;
    bool frame_given = false;
    bool probability_given = false;
    bool event_given = false;
    // The time trigger was written as a percent (of the enclosing animation's length).
    bool time_in_percent = false;
    bool speed_given = false;
    float speed = 0;
    bool fade_time_given = false;
    bool fade_length_given = false;
    float time_trigger = 0;
    float frame_trigger = 0;
    float fade_time = 0;
    float fade_length = 0;
    float probability = 0;
    bool overlay_given = false;
    uint8_t overlay_unit = 0;
    float overlay = 0;
    // Set for every normalize block.
    bool stretch = false;
    uint32_t event_type = psb_event_sound;
    uint32_t event_data_length = 0;
    // Not terminated when all 64 bytes are used.
    char event_data[psb_event_data_size] = {};
    // Zero-terminated animation file name, at most 63 characters.
    char file[psb_block_file_size] = {};
    bool weight_given = false;
    bool priority_given = false;
    bool freeze_at_end = false;
    bool ramp_in_given = false;
    bool ramp_out_given = false;
    bool ramp_type_event = false;
    float weight = 0;
    int32_t priority = 0;
    // Ramps in percent of the animation's length.
    float ramp_in = 0;
    float ramp_out = 0;
    // The block is an animation block or lies within one.
    bool animation_context = false;
};

// Clears every field but the animation context.
inline void psb_block_desc_reset(psb_block_desc_t& desc)
{
    const bool context = desc.animation_context;
    desc = psb_block_desc_t{};
    desc.animation_context = context;
}
