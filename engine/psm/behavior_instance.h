#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/psm_behavior.h"
#include "model_data.h"

struct c_item_t;
struct psm_t;

// One layer of a behaviour-driven instance.
struct psm_behavior_layer_t {
    uint32_t entry = 0;             // offset of the layer entry in the block
    std::vector<uint8_t> features;  // 8 bytes per feature: state index, changing flag
    std::vector<int> requested;     // per feature: the state asked for, -1 when none
    std::vector<uint32_t> running;  // a copy of the running behaviour's runner, empty when none
    std::vector<int> holding;       // descriptors holding the pose the behaviour that ended last asked for
};

// What makes an instance behaviour-driven: its description block and its layers.
struct psm_behavior_state_t {
    c_item_t* item = nullptr;  // the description's cache item, referenced while the instance lives
    std::vector<psm_behavior_layer_t> layers;

    ~psm_behavior_state_t();
};

// True when `path` names a description (".info.xml").
bool psm_is_description(const char* path);
// Takes the description block of `path` from the cache: its model (with one use taken) and, in `out`,
// the instance's behaviour state. Null after an error line.
psm_model_data_t* psm_behavior_open(const char* path, std::unique_ptr<psm_behavior_state_t>& out);
// Runs the layers' behaviours for `seconds`, starting the transitions the requests ask for.
void psm_behavior_add_time(psm_t& instance, float seconds);
