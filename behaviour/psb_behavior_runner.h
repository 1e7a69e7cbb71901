#pragma once
#include <cstdint>
#include <vector>

#include "behaviour/psb_animation.h"
#include "behaviour/psb_block.h"

struct psm_t;

// Runs one behaviour: walks its block tree once per engine step, starting the model's animations
// through the engine's animation descriptors, ramping their weights, cross-fading blends, sending
// events to the animated entity, and reporting whether the behaviour still runs.

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

// What the engine hands every runner operation about the animated instance.
struct psb_instance_context_t {
    // The psm model instance the descriptors play on.
    psm_t* model = nullptr;
    // The entity's event sink (null: events are not sent and ramp queries answer yes).
    psb_event_sink_t* sink = nullptr;
    // Per animation id of the layer entry, its index in the model library.
    const std::vector<int32_t>* psm_animations = nullptr;
    // The instance's feature table of this layer: 8 bytes per feature (state index, changing flag).
    uint8_t* feature_table = nullptr;
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

// Run state of one node and, in child order, its children.
struct psb_run_state_t {
    float time = 0;
    float run_time = 0;
    bool started = false;
    bool finished = false;
    bool held = false;
    // Sequences: the child being run.
    uint32_t child_index = 0;
    // Animations: the descriptor and the ramp bits (1 ramping in, 2 ramping out, 4 ramp out decided).
    int32_t descriptor = 0;
    uint8_t ramp = 0;
    // Blends: bit 0 first child active, bit 1 second child active.
    uint8_t phase = 0;
    std::vector<psb_run_state_t> children;
};

// The runner of one behaviour.
class psb_behavior_runner_t {
public:
    // A runner over `root` (null: the behaviour has no block tree). `feature_states` are applied on
    // termination; `hold_set` (or -1) is requested then.
    psb_behavior_runner_t(const psb_block_t* root, std::vector<psb_feature_state_t> feature_states, int32_t hold_set);

    // Runs the tree for `*step` seconds: true while the behaviour runs; when it ends, `*step` holds the
    // time it did not use.
    bool advance(float* step, psb_instance_context_t& context);
    // Applies the behaviour's end states once it has finished; 0 in every case.
    int terminate(psb_instance_context_t& context);
    // Stops every running node and clears the changing flags of the behaviour's features.
    void reset(psb_instance_context_t& context);

    // Runs the whole tree `speed` times as fast (a speed of 0 or below is refused).
    void set_speed(float speed);

private:
    uint32_t evaluate(psb_run_state_t& state, float& step, const psb_block_t& node, psb_instance_context_t& context);
    uint32_t evaluate_animation(psb_run_state_t& state, float& step, const psb_block_t& node, bool started_now,
                                psb_instance_context_t& context);
    uint32_t evaluate_blend(psb_run_state_t& state, float& step, const psb_block_t& node,
                            psb_instance_context_t& context);
    // Starts a node whose trigger passed: false when it ends without running.
    bool start(psb_run_state_t& state, const psb_block_t& node, psb_instance_context_t& context);
    void stop(psb_run_state_t& state, const psb_block_t& node, psb_instance_context_t& context);

    const psb_block_t* root_;
    std::vector<psb_feature_state_t> feature_states_;
    int32_t hold_set_;
    bool speed_set_ = false;
    float speed_ = 1;
    psb_run_state_t state_;
};
