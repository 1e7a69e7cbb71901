#pragma once
#include <cstdint>

#include "engine/psm_behavior.h"

// Runs one behaviour of a compiled description block: walks its block tree once per engine step,
// starting the model's animations through the engine's animation descriptors, ramping their weights,
// cross-fading blends, sending events to the animated entity, and reporting whether the behaviour
// still runs. The runner and its run states are bytes of the block (see docs/formats.md, "Compiled
// description block"): the block's own runner holds the initial state, and the operations work on the
// runner they are called on, in the block or in a copy of its run-state size, wherever it was moved.

// Results of evaluating a node (bits).
enum psb_node_result_t : uint32_t {
    psb_node_waiting = 1,
    psb_node_running = 2,
    psb_node_finished = 4,
    psb_node_base_finished = 8,
    psb_node_held = 16,
};

// The runner of one behaviour: the 28 bytes that start it in the block, its run states behind them.
// Only a block (or a copy of a runner's run-state size) holds one.
class psb_behavior_runner_t {
public:
    // Runs the tree for `*step` seconds: true while the behaviour runs; when it ends, `*step` holds the
    // time it did not use.
    bool advance(float* step, psb_instance_context_t& context);
    // Applies the behaviour's end states once it has finished; 0 in every case.
    int terminate(psb_instance_context_t& context);
    // Stops every running node and clears the changing flags of the behaviour's features.
    void reset(psb_instance_context_t& context);

    // Runs the whole tree `speed` times as fast (a speed that is not a positive number is refused).
    void set_speed(float speed);

private:
    // The speed the whole tree runs at (1 unless one is applied).
    float pace() const;

    // The word naming the runner operations (`psb_runner_table_word`).
    [[maybe_unused]] uint32_t table_;
    uint8_t flags_;
    [[maybe_unused]] uint8_t spare_[3];
    uint32_t engine_word_;
    [[maybe_unused]] uint32_t reserved_[2];
    float speed_;
    uint32_t behavior_id_;
};

// The operations of this class as the engine calls them.
extern const psb_runner_ops_t psb_runner_ops;
// The word the engine gave `psb_runner_ops` (0 until they are registered); every runner compiled
// afterwards starts with it.
extern uint32_t psb_runner_table_word;
// Hands `psb_runner_ops` to the engine once.
void psb_register_runner_ops();

// The runner of behaviour `id` of the layer entry at offset `entry` of `block`; null when the entry has
// no such behaviour or the behaviour has no runner (no runner record or no block tree).
psb_behavior_runner_t* psb_block_runner(void* block, uint32_t entry, uint32_t id);
