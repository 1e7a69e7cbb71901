#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "behaviour/psb_animation.h"
#include "behaviour/psb_block.h"

// A behaviour of a compiled description block read back for the runner: its block tree and the
// feature states and hold set it applies when it ends.
struct psb_compiled_behavior_t {
    // Null when the behaviour has no block tree.
    std::unique_ptr<psb_block_t> root;
    std::vector<psb_feature_state_t> feature_states;
    // The hold set asked for at termination, or -1.
    int32_t hold_set = -1;
};

// Reads the behaviour with `id` of the layer entry at `entry` of `block`; false when the entry has no
// such behaviour or it has no runner record.
bool psb_compiled_behavior(const void* block, uint32_t entry, uint32_t id, psb_compiled_behavior_t& out);
