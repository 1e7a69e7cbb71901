#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "behaviour/grammar/psb_behaviors_scan.h"
#include "behaviour/psb_animation.h"
#include "behaviour/psb_behavior.h"
#include "behaviour/psb_transitions.h"

class psb_info_t;

// Behaviours and animations of one layer are named by 16-bit ids, 0 to 65534: a layer takes no more.
constexpr size_t psb_layer_id_limit = 0xFFFF;

// One layer of an info as it is read: the layer file with everything it names (its behaviour list and
// behaviours, its transitions and the animation files these refer to), kept until the info compiles.
class psb_layer_entry_t : public psb_behavior_sources_t,
                          public psb_behaviors_actions_t,
                          public psb_transition_sources_t {
public:
    // An entry of `info` whose formed layer file name is `name`.
    psb_layer_entry_t(psb_info_t& info, std::string name);
    psb_layer_entry_t(const psb_layer_entry_t&) = delete;
    psb_layer_entry_t& operator=(const psb_layer_entry_t&) = delete;

    // Loads the layer through the resource cache and reads its behaviour list and transitions; false
    // when the layer itself cannot be loaded (a behaviour list or transitions file that fails only
    // loses what it would have added).
    bool load();

    // Behaviour lists.
    void load_behavior(const char* file) override;
    void include_group(const char* file) override;

    // Sources of behaviours, blocks and transitions.
    bool find_animation(const char* file, uint16_t* out_id, float* out_length, int32_t* out_frames) override;
    int32_t find_sound(const char* name) override;
    int32_t frame_count(uint16_t id) const override;
    const psb_layer_t& layer() const override { return *layer_; }
    bool find_animation_id(const char* file, uint16_t* out_id) override;
    bool find_behavior(const char* file, uint32_t* out_id) override;
    psb_behavior_t* new_generated_behavior(uint32_t* out_id) override;

    const std::string& name() const { return name_; }
    // The layer's own name (the name attribute of its layer file).
    const std::string& layer_name() const { return layer_name_; }
    // One byte per feature of the layer: its state count.
    const std::vector<uint8_t>& state_counts() const { return state_counts_; }
    // Behaviours and animations by id.
    const std::vector<std::unique_ptr<psb_behavior_t>>& behaviors() const { return behaviors_; }
    const std::vector<std::unique_ptr<psb_animation_t>>& animations() const { return animations_; }
    const psb_hold_sets_t& hold_sets() const { return holds_; }
    const psb_transitions_t& transitions() const { return transitions_; }

private:
    // Reads a behaviour list file (a top-level list, or a group pushed into the running parse).
    void read_behaviors(const std::string& name);
    // Loads the behaviour file `name` (formed): its id, or -1.
    int32_t load_formed_behavior(const std::string& name);

    psb_info_t& info_;
    std::string name_;
    std::string layer_name_;
    // The layer, valid only while the entry loads.
    const psb_layer_t* layer_ = nullptr;
    std::vector<uint8_t> state_counts_;
    std::map<std::string, uint32_t> behavior_ids_;
    std::vector<std::unique_ptr<psb_behavior_t>> behaviors_;
    std::map<std::string, uint16_t> animation_ids_;
    std::vector<std::unique_ptr<psb_animation_t>> animations_;
    psb_hold_sets_t holds_;
    psb_transitions_t transitions_;
};
