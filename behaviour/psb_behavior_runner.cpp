#include "behaviour/psb_behavior_runner.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "behaviour/psb_compiled.h"
#include "common/engine_api.h"

static_assert(sizeof(psb_behavior_runner_t) == psb_runner_size, "a runner is its 28 bytes in the block");

namespace {

constexpr float pi = 3.1415927f;

// A node of a compiled block tree.
struct node_t {
    const uint8_t* block;
    uint32_t at;

    template <typename T> T get(uint32_t field) const { return psb_block_read<T>(block, at + field); }
    uint32_t kind() const { return get<uint32_t>(psb_node_kind); }
    bool has(uint8_t flag) const { return (get<uint8_t>(psb_node_flags) & flag) != 0; }
    // Trigger time or frame; a blend's overlay start.
    float trigger() const { return get<float>(psb_node_trigger); }
    // Probability; a blend's overlay length.
    float probability() const { return get<float>(psb_node_probability); }
    // The node's speed; 1 when it has none (or none that a step could be divided by again).
    float pace() const
    {
        const float speed = get<float>(psb_node_speed);
        return has(psb_node_has_speed) && speed > 0 && std::isfinite(speed) ? speed : 1.0f;
    }
    uint32_t child_count() const { return get<uint32_t>(psb_node_child_count); }
    node_t child(uint32_t index) const
    {
        return {block, psb_block_read<uint32_t>(block, get<uint32_t>(psb_node_children) + 4 * index)};
    }
    uint32_t run_state_size() const { return get<uint32_t>(psb_node_run_state_size); }
    // A field of the animation parameters (animation nodes).
    template <typename T> T animation(uint32_t field) const
    {
        return psb_block_read<T>(block, get<uint32_t>(psb_node_animation) + field);
    }
};

// Ramp bits of an animation node's run state.
enum ramp_bit_t : uint8_t { ramping_in = 1, ramping_out = 2, ramp_out_decided = 4 };

// The run state of one node, inside a runner.
struct state_t {
    uint8_t* at;

    template <typename T> T get(uint32_t field) const { return psb_block_read<T>(at, field); }
    template <typename T> void put(uint32_t field, T value) const { memcpy(at + field, &value, sizeof(T)); }
    bool is(uint8_t flag) const { return (get<uint8_t>(psb_state_flags) & flag) != 0; }
    void mark(uint8_t flag) const { put<uint8_t>(psb_state_flags, get<uint8_t>(psb_state_flags) | flag); }
    void clear(uint8_t flag) const
    {
        put<uint8_t>(psb_state_flags, static_cast<uint8_t>(get<uint8_t>(psb_state_flags) & ~flag));
    }
    void add_time(uint32_t field, float seconds) const { put<float>(field, get<float>(field) + seconds); }
};

// Calls `visit(child state, child node)` for every child of `node` in order.
template <typename F> void for_each_child(state_t state, node_t node, F&& visit)
{
    uint32_t offset = psb_own_run_state_size(node.kind());
    for (uint32_t index = 0; index < node.child_count(); ++index) {
        const node_t child = node.child(index);
        visit(state_t{state.at + offset}, child);
        offset += child.run_state_size();
    }
}

// The runner record of behaviour `id` of the entry at `entry`; 0 when there is none.
uint32_t record_of(const void* block, uint32_t entry, uint32_t id)
{
    if (!block || id >= psb_block_read<uint32_t>(block, entry + psb_entry_behavior_count))
        return 0;
    return psb_block_read<uint32_t>(block, psb_block_read<uint32_t>(block, entry + psb_entry_behaviors) + 4 * id);
}

// One operation of a runner over its tree.
class tree_walk_t {
public:
    tree_walk_t(psb_instance_context_t& context, uint32_t engine_word)
        : block_(static_cast<const uint8_t*>(context.block)), context_(context), engine_word_(engine_word)
    {}

    uint32_t evaluate(state_t state, float& step, node_t node);
    void stop(state_t state, node_t node);
    node_t node(uint32_t at) const { return {block_, at}; }

private:
    // Starts a node whose trigger passed: false when it ends without running.
    bool start(state_t state, node_t node);
    uint32_t evaluate_sequence(state_t state, float& step, node_t node);
    uint32_t evaluate_together(state_t state, float& step, node_t node);
    uint32_t evaluate_animation(state_t state, float& step, node_t node, bool started_now);
    uint32_t evaluate_blend(state_t state, float& step, node_t node);
    // Asks the sink whether an animation ramps (in: 1, out: 0); yes without a sink.
    bool ramp_query(uint8_t in);
    // The model library's index of the layer entry's animation `id` (-1 when the entry has none).
    int32_t psm_animation(uint16_t id) const;
    // Marks the node finished and divides the left-over step by its speed again.
    uint32_t finish(state_t state, float& step, node_t node, uint32_t result);

    const uint8_t* block_;
    psb_instance_context_t& context_;
    uint32_t engine_word_;
};

bool tree_walk_t::ramp_query(uint8_t in)
{
    if (!context_.sink)
        return true;
    uint8_t data[8] = {};
    memcpy(data, &engine_word_, sizeof engine_word_);
    data[4] = in;
    return context_.sink->on_event(8, sizeof data, data);
}

int32_t tree_walk_t::psm_animation(uint16_t id) const
{
    const uint32_t entry = context_.layer;
    if (id >= psb_block_read<uint32_t>(block_, entry + psb_entry_animation_count))
        return -1;
    return psb_block_read<int32_t>(block_, psb_block_read<uint32_t>(block_, entry + psb_entry_animations + 4 * id));
}

uint32_t tree_walk_t::finish(state_t state, float& step, node_t node, uint32_t result)
{
    state.mark(psb_state_finished);
    step /= node.pace();
    return result;
}

bool tree_walk_t::start(state_t state, node_t node)
{
    if (node.has(psb_node_has_probability) && !(api::sys_rand() < node.probability())) {
        state.mark(psb_state_finished);
        return false;
    }
    state.mark(psb_state_started);
    const uint32_t event_type = node.get<uint32_t>(psb_node_event_type);
    if (node.has(psb_node_has_event) && context_.sink && event_type <= psb_event_info) {
        const uint32_t length = node.get<uint32_t>(psb_node_event_length);
        const uint8_t* const data = length > 0 ? block_ + node.get<uint32_t>(psb_node_event_data) : nullptr;
        const bool answer = context_.sink->on_event(event_type, length, data);
        if (event_type == psb_event_question && !answer) {
            state.clear(psb_state_started);
            state.mark(psb_state_finished);
            return false;
        }
    }
    if (node.kind() == psb_block_animation) {
        const uint8_t flags = node.animation<uint8_t>(psb_animation_flags);
        // The file's priority may lie anywhere in its range: the layer's share keeps within it.
        const int64_t raised =
            ((flags & psb_animation_priority) ? node.animation<int32_t>(psb_animation_priority_value) : 0) +
            int64_t{128} * context_.layer_index;
        const int32_t priority = static_cast<int32_t>(std::clamp<int64_t>(raised, INT32_MIN, INT32_MAX));
        const int descriptor = api::psm_adesc_create(
            context_.model, psm_animation(node.animation<uint16_t>(psb_animation_id)), 0, 0x23, priority);
        state.put<int32_t>(psb_state_descriptor, descriptor);
        if ((flags & psb_animation_ramp_in) && (!(flags & psb_animation_ramp_event) || ramp_query(1)))
            state.put<uint8_t>(psb_state_ramp, state.get<uint8_t>(psb_state_ramp) | ramping_in);
        api::psm_adesc_set_stop_frame(context_.model, descriptor, -1);
    }
    return true;
}

uint32_t tree_walk_t::evaluate(state_t state, float& step, node_t node)
{
    if (state.is(psb_state_finished))
        return psb_node_finished;
    if (state.is(psb_state_held))
        return psb_node_held;
    state.add_time(psb_state_time, step);
    bool started_now = false;
    if (!state.is(psb_state_started)) {
        if (node.has(psb_node_time_triggered) && state.get<float>(psb_state_time) < node.trigger())
            return psb_node_waiting;
        if (node.has(psb_node_frame_triggered) && context_.frame < node.trigger())
            return psb_node_waiting;
        if (!start(state, node))
            return psb_node_finished;
        started_now = true;
    }
    state.add_time(psb_state_run_time, step);
    step *= node.pace();

    switch (node.kind()) {
    case psb_block_animation:
        return evaluate_animation(state, step, node, started_now);
    case psb_block_blend:
        return evaluate_blend(state, step, node);
    case psb_block_sequence:
        return evaluate_sequence(state, step, node);
    default:
        return evaluate_together(state, step, node);
    }
}

uint32_t tree_walk_t::evaluate_sequence(state_t state, float& step, node_t node)
{
    const uint32_t count = node.child_count();
    // The current child is the one whose run state lies at the stored offset (the index byte cannot
    // tell children past the 256th apart).
    uint32_t offset = state.get<uint32_t>(psb_state_child_offset);
    uint32_t index = 0;
    for (uint32_t at = psb_own_run_state_size(psb_block_sequence); index < count && at < offset; ++index)
        at += node.child(index).run_state_size();
    if (index >= count)
        return finish(state, step, node, psb_node_finished);
    uint32_t result = evaluate(state_t{state.at + offset}, step, node.child(index));
    while (!(result & (psb_node_running | psb_node_waiting))) {
        if (result & psb_node_held) {
            api::error("cannot have freezed animation in sequence !");
            state.clear(psb_state_started);
            state.mark(psb_state_finished);
            return psb_node_finished;
        }
        offset += node.child(index).run_state_size();
        ++index;
        state.put<uint8_t>(psb_state_child_index, static_cast<uint8_t>(index));
        state.put<uint32_t>(psb_state_child_offset, offset);
        if (index >= count)
            return finish(state, step, node, psb_node_finished);
        result = evaluate(state_t{state.at + offset}, step, node.child(index));
    }
    return psb_node_running;
}

uint32_t tree_walk_t::evaluate_together(state_t state, float& step, node_t node)
{
    uint32_t results = 0;
    float smallest = step;
    for_each_child(state, node, [&](state_t child_state, node_t child) {
        float child_step = step;
        results |= evaluate(child_state, child_step, child);
        smallest = std::min(smallest, child_step);
    });
    step = smallest;
    if (node.kind() == psb_block_root) {
        // A behaviour ends when a base block of its code section ends.
        if (!(results & psb_node_base_finished))
            return psb_node_running;
        state.mark(psb_state_finished);
        for_each_child(state, node, [&](state_t child_state, node_t child) { stop(child_state, child); });
        return finish(state, step, node, psb_node_finished);
    }
    if (results & psb_node_running)
        return psb_node_running;
    // Only children waiting for a trigger are left: the block ends and they never run.
    state.mark(psb_state_finished);
    if (results & psb_node_held)
        for_each_child(state, node, [&](state_t child_state, node_t child) { stop(child_state, child); });
    return finish(state, step, node, node.kind() == psb_block_base ? psb_node_base_finished : psb_node_finished);
}

uint32_t tree_walk_t::evaluate_animation(state_t state, float& step, node_t node, bool started_now)
{
    const uint8_t flags = node.animation<uint8_t>(psb_animation_flags);
    const uint8_t entry_flags = context_.flags;
    const float entry_weight = context_.weight;
    const int descriptor = state.get<int32_t>(psb_state_descriptor);
    if ((context_.flags & 1) || started_now || (flags & (psb_animation_ramp_in | psb_animation_ramp_out))) {
        if (flags & psb_animation_weight) {
            const float weight = node.animation<float>(psb_animation_weight_value);
            context_.weight = (context_.flags & 2) ? weight * context_.weight : weight;
            context_.flags |= 2;
        }
        const float run_time = state.get<float>(psb_state_run_time);
        const float out_start = node.animation<float>(psb_animation_ramp_out_start);
        uint8_t ramp = state.get<uint8_t>(psb_state_ramp);
        if ((flags & psb_animation_ramp_out) && !(ramp & ramp_out_decided) && run_time > out_start) {
            if (!(flags & psb_animation_ramp_event) || ramp_query(0))
                ramp |= ramping_out;
            ramp |= ramp_out_decided;
        }
        bool ramped = false;
        float w = 1;
        if (ramp & ramping_in) {
            // A ramp in of no length is already complete.
            const float length = node.animation<float>(psb_animation_ramp_in_length);
            w = length > 0 ? run_time / length : 1;
            if (run_time >= length) {
                ramp &= static_cast<uint8_t>(~ramping_in);
                w = std::min(w, 1.0f);
            }
            ramped = true;
        }
        if (ramp & ramping_out) {
            // A ramp out of no length ends at once.
            const float length = node.animation<float>(psb_animation_ramp_out_length);
            const float out = length > 0 ? std::max(0.0f, 1 - (run_time - out_start) / length) : 0.0f;
            w = ramped ? std::min(w, out) : out;
            ramped = true;
        }
        state.put<uint8_t>(psb_state_ramp, ramp);
        if (ramped) {
            context_.weight = (context_.flags & 2) ? w * context_.weight : w;
            context_.flags |= 2;
        }
        if (context_.flags & 2)
            api::psm_adesc_set_cur_weight(context_.model, descriptor, context_.weight);
    }
    const bool running = api::psm_adesc_add_time(context_.model, descriptor, step);
    if (running) {
        if (node.child_count() > 0) {
            context_.frame = api::psm_adesc_get_nw_frame(context_.model, descriptor);
            for_each_child(state, node, [&](state_t child_state, node_t child) {
                float child_step = step;
                evaluate(child_state, child_step, child);
            });
        }
        step = 0;
        context_.flags = static_cast<uint8_t>((context_.flags & ~2) | (entry_flags & 2));
        context_.weight = entry_weight;
        return psb_node_running;
    }
    for_each_child(state, node, [&](state_t child_state, node_t child) { stop(child_state, child); });
    step = api::psm_adesc_get_rtime(context_.model, descriptor);
    context_.flags = static_cast<uint8_t>((context_.flags & ~2) | (entry_flags & 2));
    context_.weight = entry_weight;
    if (flags & psb_animation_freeze) {
        api::psm_adesc_reset_anim(context_.model, descriptor, node.animation<int32_t>(psb_animation_frame_count) - 1);
        api::psm_adesc_unstop(context_.model, descriptor);
        state.mark(psb_state_held);
        step /= node.pace();
        return psb_node_held;
    }
    api::psm_adesc_remove(context_.model, descriptor);
    state.put<int32_t>(psb_state_descriptor, 0);
    return finish(state, step, node, psb_node_finished);
}

uint32_t tree_walk_t::evaluate_blend(state_t state, float& step, node_t node)
{
    if (node.child_count() != 2)
        return finish(state, step, node, psb_node_finished);
    const node_t first = node.child(0);
    const node_t second = node.child(1);
    const state_t first_state{state.at + psb_own_run_state_size(psb_block_blend)};
    const state_t second_state{first_state.at + first.run_state_size()};
    const float run_time = state.get<float>(psb_state_run_time);
    const float overlay_start = node.trigger();
    const float overlay = node.probability();
    uint8_t phase = state.get<uint8_t>(psb_state_phase);
    if (!(phase & 3))
        phase |= 1;
    float second_step = step;
    if (!(phase & 2) && run_time >= overlay_start) {
        phase |= 2;
        second_step = run_time - overlay_start;
    }
    const float saved_weight = context_.weight;
    const bool scaled = context_.flags & 2;
    const uint8_t saved_bit0 = context_.flags & 1;
    float w = 1;
    if ((phase & 3) == 3) {
        // An overlay of no length hands over at once.
        w = overlay > 0 ? (std::cos(((run_time - overlay_start) / overlay) * pi) + 1) * 0.5f : 0;
        w = std::clamp(w, 0.0f, 1.0f);
        context_.weight = scaled ? w * saved_weight : w;
        context_.flags |= 2;
    }
    context_.flags |= 1;
    if (phase & 1) {
        float first_step = step;
        const uint32_t result = evaluate(first_state, first_step, first);
        if (result & (psb_node_finished | psb_node_base_finished | psb_node_held)) {
            phase &= static_cast<uint8_t>(~1);
            context_.weight = scaled ? saved_weight : 1.0f;
        }
    }
    if ((phase & 3) == 3)
        context_.weight = scaled ? (1 - w) * saved_weight : 1 - w;
    uint32_t result = psb_node_running;
    if (phase & 2) {
        result = evaluate(second_state, second_step, second);
        step = second_step;
    }
    state.put<uint8_t>(psb_state_phase, phase);
    context_.flags = static_cast<uint8_t>((context_.flags & ~1) | saved_bit0);
    context_.weight = saved_weight;
    if (result & (psb_node_finished | psb_node_base_finished | psb_node_held))
        return finish(state, step, node, psb_node_finished);
    return psb_node_running;
}

void tree_walk_t::stop(state_t state, node_t node)
{
    if (!state.is(psb_state_started) || state.is(psb_state_finished))
        return;
    const int descriptor = state.get<int32_t>(psb_state_descriptor);
    if (node.kind() == psb_block_animation && descriptor) {
        api::psm_adesc_remove(context_.model, descriptor);
        state.put<int32_t>(psb_state_descriptor, 0);
    }
    for_each_child(state, node, [&](state_t child_state, node_t child) { stop(child_state, child); });
    if (!state.is(psb_state_held))
        state.mark(psb_state_finished);
}

}  // namespace

float psb_behavior_runner_t::pace() const
{
    return (flags_ & psb_runner_apply_speed) && speed_ > 0 && std::isfinite(speed_) ? speed_ : 1.0f;
}

void psb_behavior_runner_t::set_speed(float speed)
{
    if (!(speed > 0) || !std::isfinite(speed)) {
        api::error("<psb> invalid runner speed (%f)", speed);
        return;
    }
    speed_ = speed;
    flags_ |= psb_runner_apply_speed;
}

bool psb_behavior_runner_t::advance(float* step, psb_instance_context_t& context)
{
    const uint32_t record = record_of(context.block, context.layer, behavior_id_);
    const uint32_t root = record ? psb_block_read<uint32_t>(context.block, record + psb_record_root) : 0;
    if (root == 0)
        return false;
    *step *= pace();
    context.runner = this;
    tree_walk_t walk(context, engine_word_);
    const state_t state{reinterpret_cast<uint8_t*>(this) + psb_runner_size};
    if (walk.evaluate(state, *step, walk.node(root)) & psb_node_finished) {
        *step /= pace();
        return false;
    }
    return true;
}

int psb_behavior_runner_t::terminate(psb_instance_context_t& context)
{
    const uint32_t record = record_of(context.block, context.layer, behavior_id_);
    const state_t state{reinterpret_cast<uint8_t*>(this) + psb_runner_size};
    if (!record || !psb_block_read<uint32_t>(context.block, record + psb_record_root) ||
        !state.is(psb_state_finished)) {
        api::error("cannot normally terminate running behavior");
        return 0;
    }
    const uint32_t count = psb_block_read<uint32_t>(context.block, record + psb_record_feature_count);
    for (uint32_t index = 0; index < count && context.feature_table; ++index) {
        const uint32_t at = record + psb_record_feature_count + 4 + 3 * index;
        const uint8_t feature = psb_block_read<uint8_t>(context.block, at);
        context.feature_table[feature * 8] = psb_block_read<uint8_t>(context.block, at + 2);
        context.feature_table[feature * 8 + 1] = 0;
    }
    if (psb_block_read<uint8_t>(context.block, record + psb_record_flags) & psb_record_has_hold_set) {
        context.flags |= 1;
        context.hold_set = psb_block_read<uint32_t>(context.block, record + psb_record_hold_set);
    } else {
        context.flags &= static_cast<uint8_t>(~1);
    }
    return 0;
}

void psb_behavior_runner_t::reset(psb_instance_context_t& context)
{
    const uint32_t record = record_of(context.block, context.layer, behavior_id_);
    if (!record)
        return;
    if (const uint32_t root = psb_block_read<uint32_t>(context.block, record + psb_record_root)) {
        tree_walk_t walk(context, engine_word_);
        walk.stop(state_t{reinterpret_cast<uint8_t*>(this) + psb_runner_size}, walk.node(root));
    }
    const uint32_t count = psb_block_read<uint32_t>(context.block, record + psb_record_feature_count);
    for (uint32_t index = 0; index < count && context.feature_table; ++index) {
        const uint8_t feature =
            psb_block_read<uint8_t>(context.block, record + psb_record_feature_count + 4 + 3 * index);
        context.feature_table[feature * 8 + 1] = 0;
    }
}

namespace {

bool advance_runner(void* runner, float* step, psb_instance_context_t* context)
{
    return static_cast<psb_behavior_runner_t*>(runner)->advance(step, *context);
}

int terminate_runner(void* runner, psb_instance_context_t* context)
{
    return static_cast<psb_behavior_runner_t*>(runner)->terminate(*context);
}

void reset_runner(void* runner, psb_instance_context_t* context)
{
    static_cast<psb_behavior_runner_t*>(runner)->reset(*context);
}

}  // namespace

const psb_runner_ops_t psb_runner_ops = {advance_runner, terminate_runner, reset_runner};
uint32_t psb_runner_table_word = 0;

void psb_register_runner_ops()
{
    if (psb_runner_table_word == 0)
        psb_runner_table_word = api::psm_runner_ops_register(&psb_runner_ops);
}

psb_behavior_runner_t* psb_block_runner(void* block, uint32_t entry, uint32_t id)
{
    const uint32_t record = record_of(block, entry, id);
    const uint32_t runner = record ? psb_block_read<uint32_t>(block, record + psb_record_runner) : 0;
    return runner ? reinterpret_cast<psb_behavior_runner_t*>(static_cast<uint8_t*>(block) + runner) : nullptr;
}
