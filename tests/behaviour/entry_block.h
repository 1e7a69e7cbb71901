#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

#include "behaviour/psb_behavior.h"
#include "behaviour/psb_block_builder.h"
#include "behaviour/psb_compiled.h"
#include "behaviour/psb_runner_build.h"

// One compiled animation of a laid-out entry.
struct entry_animation_t {
    int32_t psm_index = -1;
    int32_t frame_count = 0;
    float length = 0;
};

// Lays out a layer entry at offset 0 the way the info's compiler does, with just what runners read:
// the animations by id, the behaviour table (by the behaviours' ids; 0 where none is given) and the
// runner records of the valid behaviours.
inline std::vector<uint8_t> lay_out_entry(const std::vector<entry_animation_t>& animations,
                                          const std::vector<const psb_behavior_t*>& behaviors)
{
    psb_block_builder_t block;
    const uint32_t count = static_cast<uint32_t>(animations.size());
    const uint32_t entry = block.take(psb_entry_animations + 4 * count);
    block.put<uint32_t>(entry + psb_entry_animation_count, count);
    for (uint32_t id = 0; id < count; ++id) {
        const uint32_t at = block.take(16);
        block.put<int32_t>(at, animations[id].psm_index);
        block.put<int32_t>(at + 4, animations[id].frame_count);
        block.put<float>(at + 8, animations[id].length);
        block.put<uint32_t>(entry + psb_entry_animations + 4 * id, at);
    }
    uint32_t behavior_count = 0;
    for (const psb_behavior_t* behavior : behaviors)
        behavior_count = std::max(behavior_count, behavior->id() + 1u);
    block.put<uint32_t>(entry + psb_entry_behavior_count, behavior_count);
    const uint32_t table = block.take(4 * behavior_count);
    block.put<uint32_t>(entry + psb_entry_behaviors, table);
    for (const psb_behavior_t* behavior : behaviors) {
        uint32_t run_state = 0;
        if (behavior->valid())
            block.put<uint32_t>(table + 4 * behavior->id(), psb_runner_build(*behavior, block, &run_state));
    }
    return block.bytes();
}
