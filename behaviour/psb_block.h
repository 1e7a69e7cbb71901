#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "behaviour/psb_block_desc.h"

// The block tree of a behaviour's code section, as parsed: blocks with their triggers, speeds, events,
// animation parameters, blend overlays and base fades, and the lengths that follow from them.

// What a block tree needs of its layer entry: its animations and the info's sound registry.
class psb_block_sources_t {
public:
    virtual ~psb_block_sources_t() = default;
    // The animation a file names (loading it when needed): id, length in seconds, frame count; false
    // when it cannot be loaded.
    virtual bool find_animation(const char* file, uint16_t* out_id, float* out_length, int32_t* out_frames) = 0;
    // Index of a sound file name in the info's sound registry; -1 when the name is refused.
    virtual int32_t find_sound(const char* name) = 0;
};

// Parameters of an animation block.
struct psb_animation_params_t {
    uint16_t animation_id = 0;
    // Length of the animation in seconds and its frame count.
    float length = 0;
    int32_t frame_count = 0;
    bool weight_given = false;
    bool freeze_at_end = false;
    bool priority_given = false;
    bool ramp_in = false;
    bool ramp_out = false;
    bool ramp_type_event = false;
    float weight = 0;
    int32_t priority = 0;
    // Ramps in seconds of the (speed-scaled) animation.
    float ramp_in_length = 0;
    float ramp_out_length = 0;
    float ramp_out_start = 0;
};

// One block of the tree.
struct psb_block_t {
    uint32_t kind = psb_block_root;
    psb_block_t* parent = nullptr;
    bool time_triggered = false;
    float time_trigger = 0;
    bool frame_triggered = false;
    float frame_trigger = 0;
    bool has_probability = false;
    float probability = 0;
    bool has_speed = false;
    float speed = 1;
    bool has_event = false;
    uint32_t event_type = 0;
    // Event data: a sound event holds the 4-byte sound index.
    std::vector<uint8_t> event_data;
    // Base blocks: the fade out.
    bool fade_time_given = false;
    bool fade_length_given = false;
    bool fade_set = false;
    float fade_time = 0;
    float fade_length = 0;
    // Blend blocks: the overlay (unit 1 time, 2 percent until settled) and where it starts.
    uint8_t overlay_unit = 0;
    float overlay = 0;
    float overlay_start = 0;
    bool overlay_done = false;
    // The block is an animation block or lies within one (parse time only).
    bool animation_context = false;
    psb_animation_params_t animation;
    std::vector<std::unique_ptr<psb_block_t>> children;
    // Cached length in seconds (negative: not computed yet).
    float cached_length = -1;
};

// The block tree being built by one behaviour file (or one transition's generated blend).
class psb_block_tree_t {
public:
    explicit psb_block_tree_t(psb_block_sources_t& sources) : sources_(sources) {}

    // Makes the root block (kind 5) and makes it current.
    void begin_blocks();
    // Opens a child of the current block from `desc` and makes it current; a refused description
    // leaves the current block as it was (and answers false).
    bool begin_block(const psb_block_desc_t& desc);
    // Closes the current block; false only for an empty base block.
    bool end_block();
    // Settles the current blend block's overlay; false unless it has exactly two children.
    bool end_blend();
    // Stretches the current block's children over it (with at least two children).
    bool end_normalize();

    // The block's length in seconds (cached after the first computation).
    float length(psb_block_t& block);

    psb_block_t* root() const { return root_.get(); }
    psb_block_t* current() const { return current_; }
    int depth() const { return depth_; }
    // Length of the last base block closed.
    float base_length() const { return base_length_; }

private:
    // Fills `block` from `desc`; false when the description is refused.
    bool fill(psb_block_t& block, const psb_block_desc_t& desc, const psb_block_t& parent);
    // Settles a blend's overlay from its two children's lengths.
    void settle_overlay(psb_block_t& blend);
    // Scales a block's timing by `factor` and spreads it to its children.
    void stretch(psb_block_t& block, float factor);

    psb_block_sources_t& sources_;
    std::unique_ptr<psb_block_t> root_;
    psb_block_t* current_ = nullptr;
    int depth_ = 0;
    float base_length_ = 0;
};
