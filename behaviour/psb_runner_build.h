#pragma once
#include <cstdint>

class psb_behavior_t;
class psb_block_builder_t;

// Lays out the runner record of a valid behaviour at the end of `block`: its attribute values, block
// tree and runner with the tree's initial run state. Answers the record's offset; `out_run_state_size`
// receives its run-state size (the runner with its run states).
uint32_t psb_runner_build(const psb_behavior_t& behavior, psb_block_builder_t& block, uint32_t* out_run_state_size);
