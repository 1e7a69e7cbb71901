#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "behaviour/grammar/psb_animation_scan.h"

class psb_layer_t;
struct psm_info_t;

// The states one feature starts from and leads to while an animation plays (0-based indices).
struct psb_feature_state_t {
    uint8_t feature;
    uint8_t begin;
    uint8_t end;
};

// One animation of a layer entry: the skeletal animation it plays in the model library and the
// feature states it starts from and leads to, read from its animation file.
class psb_animation_t : public psb_animation_actions_t {
public:
    // An animation with id `id` of the layer `layer`, whose files lie relative to `directory` and
    // whose skeletal animations are added to `model`.
    psb_animation_t(uint16_t id, const psb_layer_t& layer, psm_info_t* model, std::string directory);

    // Adds the skeletal animation file to the model; false (with its message) when the name is too
    // long or the model cannot add it.
    bool add_animation(const char* file) override;
    // Records a feature's begin and end state; false when the layer does not know them.
    bool add_feature_state(const char* feature, const char* begin, const char* end) override;

    // Reads and parses the animation file `name`; false when it is missing or does not parse.
    bool read(const char* name);

    uint16_t id() const { return id_; }
    // Index in the model library; -1 until the file was added.
    int32_t psm_index() const { return psm_index_; }
    int32_t frame_count() const { return frame_count_; }
    // Length in seconds.
    float length() const { return length_; }
    const std::vector<psb_feature_state_t>& feature_states() const { return feature_states_; }

private:
    uint16_t id_;
    const psb_layer_t& layer_;
    psm_info_t* model_;
    std::string directory_;
    int32_t psm_index_ = -1;
    int32_t frame_count_ = 0;
    float length_ = 0;
    std::vector<psb_feature_state_t> feature_states_;
};
