#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "behaviour/grammar/psb_behavior_scan.h"
#include "behaviour/psb_animation.h"
#include "behaviour/psb_block.h"

class psb_layer_t;

// One hold of a hold set: an animation frozen at a frame.
struct psb_hold_entry_t {
    uint16_t animation_id = 0;
    int32_t frame = 0;
    bool weight_given = false;
    float weight = 0;
};

// The hold sets of a layer entry: a set, once made, stays and keeps its index.
struct psb_hold_sets_t {
    std::vector<std::vector<psb_hold_entry_t>> sets;
    // Per set made by a generated freeze, the (feature, end state) pairs it holds; empty for a hold list.
    std::vector<std::vector<std::pair<uint8_t, uint8_t>>> features;
};

// What a behaviour needs of its layer entry beyond the block sources: an animation's frame count.
class psb_behavior_sources_t : public psb_block_sources_t {
public:
    // Frame count of the animation with `id` (0 when unknown).
    virtual int32_t frame_count(uint16_t id) const = 0;
};

// A value of one of the layer's attributes that a behaviour carries.
struct psb_attribute_setting_t {
    uint16_t attribute = 0;
    psb_attribute_value_t value;
};

// One behaviour of a layer entry, built by its behaviour file: its process, attribute values,
// feature states, hold set and block tree.
class psb_behavior_t : public psb_behavior_actions_t {
public:
    psb_behavior_t(uint16_t id, const psb_layer_t& layer, psb_behavior_sources_t& sources, psb_hold_sets_t& holds);

    bool set_process(const char* process) override;
    bool add_attribute_value(const char* name, const psb_attribute_value_t& value) override;
    bool add_feature_state(const char* feature, const char* begin, const char* end) override;
    void check_feature_states() override;
    void set_generated_freeze(bool exact) override;
    void begin_holds() override;
    bool end_holds() override;
    void add_hold(const char* file, float frame, uint32_t unit, float weight, bool weight_given) override;
    void begin_blocks() override { tree_.begin_blocks(); }
    void begin_block(const psb_block_desc_t& desc) override { tree_.begin_block(desc); }
    bool end_block() override;
    bool end_blend() override { return tree_.end_blend(); }
    bool end_normalize() override { return tree_.end_normalize(); }
    bool current_block_animation_context() const override;

    // Reads and parses the behaviour file `name`; false when it is missing or does not parse.
    bool read(const char* name);
    // Parses `length` bytes of behaviour-file text; false when it does not parse.
    bool read_text(const char* text, size_t length);

    uint16_t id() const { return id_; }
    // Marks the behaviour as made for a transition's blend rather than read from a file.
    void mark_generated() { generated_ = true; }
    bool generated() const { return generated_; }
    // Makes the behaviour unusable (it gets no runner record), as an empty hold list does.
    void invalidate() { valid_ = false; }
    // False once an empty hold list made the behaviour unusable.
    bool valid() const { return valid_; }
    uint32_t process() const { return process_; }
    const std::vector<psb_attribute_setting_t>& attribute_values() const { return attribute_values_; }
    const std::vector<psb_feature_state_t>& feature_states() const { return feature_states_; }
    // The hold set asked for at termination, or -1.
    int32_t hold_set() const { return has_hold_set_ ? hold_set_ : -1; }
    // True unless a hold section listed the holds (a generated freeze, or no hold section).
    bool hold_not_explicit() const { return hold_not_explicit_; }
    const psb_block_t* root() const { return tree_.root(); }
    float base_length() const { return tree_.base_length(); }

private:
    // Makes the hold set of a generated freeze from the block tree.
    void generate_freeze();
    // Adds a hold for each animation block of `block` that lies in a base block.
    void collect_freeze(const psb_block_t& block, bool in_base, std::vector<psb_hold_entry_t>& out) const;

    uint16_t id_;
    const psb_layer_t& layer_;
    psb_behavior_sources_t& sources_;
    psb_hold_sets_t& holds_;
    psb_block_tree_t tree_;
    bool valid_ = true;
    bool generated_ = false;
    uint32_t process_ = 0;
    std::vector<psb_attribute_setting_t> attribute_values_;
    std::vector<psb_feature_state_t> feature_states_;
    bool has_hold_set_ = false;
    bool hold_not_explicit_ = true;
    int32_t hold_set_ = -1;
    bool generated_freeze_ = false;
    bool exact_ = false;
};
