#pragma once
#include <cstdint>

struct psm_t;

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

// The animated entity's event sink: sound (0), question (1), info (2) and the ramp query (8).
class psb_event_sink_t {
public:
    virtual ~psb_event_sink_t() = default;
    // Takes an event; the answer matters for questions and ramp queries.
    virtual bool on_event(uint32_t type, uint32_t length, const void* data) = 0;
};

class psb_behavior_runner_t;

// What the engine hands every runner operation about the animated instance.
struct psb_instance_context_t {
    // The psm model instance the descriptors play on.
    psm_t* model = nullptr;
    // The entity's event sink (null: events are not sent and ramp queries answer yes).
    psb_event_sink_t* sink = nullptr;
    // The compiled description block where it lies now, and the offset of the behaviour's layer entry.
    const void* block = nullptr;
    uint32_t layer = 0;
    // The instance's feature table of this layer: 8 bytes per feature (state index, changing flag).
    uint8_t* feature_table = nullptr;
    // The runner advanced last.
    psb_behavior_runner_t* runner = nullptr;
    // Raises animation priorities by 128 per index.
    uint32_t layer_index = 0;
    // Bit 0: weights are driven by an enclosing blend (after terminate: a hold is requested); bit 1: a
    // weight scale is active.
    uint8_t flags = 0;
    // The weight an enclosing block passes down.
    float weight = 1;
    // After terminate: the hold set the behaviour asks for (valid while flag bit 0 is set).
    uint32_t hold_set = 0;
    // The current frame of the enclosing animation (for frame triggers of its children).
    float frame = 0;
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

    // Zero: the operations are this class's own.
    [[maybe_unused]] uint32_t table_;
    uint8_t flags_;
    [[maybe_unused]] uint8_t spare_[3];
    uint32_t engine_word_;
    [[maybe_unused]] uint32_t reserved_[2];
    float speed_;
    uint32_t behavior_id_;
};

// The runner of behaviour `id` of the layer entry at offset `entry` of `block`; null when the entry has
// no such behaviour or the behaviour has no runner (no runner record or no block tree).
psb_behavior_runner_t* psb_block_runner(void* block, uint32_t entry, uint32_t id);
