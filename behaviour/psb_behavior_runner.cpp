#include "behaviour/psb_behavior_runner.h"

#include <algorithm>
#include <cmath>

#include "common/engine_api.h"

namespace {

// The run state tree of `node`, every node not started.
psb_run_state_t initial_state(const psb_block_t& node)
{
    psb_run_state_t state;
    for (const auto& child : node.children)
        state.children.push_back(initial_state(*child));
    return state;
}

// Asks the sink whether an animation ramps (in: 1, out: 0); yes without a sink.
bool ramp_query(psb_instance_context_t& context, uint8_t in)
{
    if (!context.sink)
        return true;
    uint8_t data[8] = {};
    data[4] = in;
    return context.sink->on_event(8, sizeof data, data);
}

// Divides the left-over step by the node's speed again.
void undo_speed(float& step, const psb_block_t& node)
{
    if (node.has_speed)
        step /= node.speed;
}

constexpr float pi = 3.1415927f;

}  // namespace

psb_behavior_runner_t::psb_behavior_runner_t(const psb_block_t* root, std::vector<psb_feature_state_t> feature_states,
                                             int32_t hold_set)
    : root_(root), feature_states_(std::move(feature_states)), hold_set_(hold_set)
{
    if (root_)
        state_ = initial_state(*root_);
}

void psb_behavior_runner_t::set_speed(float speed)
{
    if (!(speed > 0)) {
        api::error("<psb> invalid runner speed (%f)", speed);
        return;
    }
    speed_ = speed;
    speed_set_ = speed != 1.0f;
}

bool psb_behavior_runner_t::advance(float* step, psb_instance_context_t& context)
{
    if (!root_)
        return false;
    if (speed_set_)
        *step *= speed_;
    const uint32_t result = evaluate(state_, *step, *root_, context);
    if (result & psb_node_finished) {
        if (speed_set_)
            *step /= speed_;
        return false;
    }
    return true;
}

int psb_behavior_runner_t::terminate(psb_instance_context_t& context)
{
    if (!root_ || !state_.finished) {
        api::error("cannot normally terminate running behavior");
        return 0;
    }
    for (const psb_feature_state_t& state : feature_states_) {
        if (context.feature_table) {
            context.feature_table[state.feature * 8] = state.end;
            context.feature_table[state.feature * 8 + 1] = 0;
        }
    }
    if (hold_set_ >= 0) {
        context.flags |= 1;
        context.hold_set = static_cast<uint32_t>(hold_set_);
    } else {
        context.flags &= static_cast<uint8_t>(~1);
    }
    return 0;
}

void psb_behavior_runner_t::reset(psb_instance_context_t& context)
{
    if (root_)
        stop(state_, *root_, context);
    for (const psb_feature_state_t& state : feature_states_)
        if (context.feature_table)
            context.feature_table[state.feature * 8 + 1] = 0;
}

bool psb_behavior_runner_t::start(psb_run_state_t& state, const psb_block_t& node, psb_instance_context_t& context)
{
    if (node.has_probability && !(api::sys_rand() < node.probability)) {
        state.finished = true;
        return false;
    }
    state.started = true;
    if (node.has_event && context.sink && node.event_type <= 2) {
        const bool answer = context.sink->on_event(node.event_type, static_cast<uint32_t>(node.event_data.size()),
                                                   node.event_data.data());
        if (node.event_type == psb_event_question && !answer) {
            state.started = false;
            state.finished = true;
            return false;
        }
    }
    if (node.kind == psb_block_animation) {
        const psb_animation_params_t& params = node.animation;
        const int32_t anim = context.psm_animations && params.animation_id < context.psm_animations->size()
                                 ? (*context.psm_animations)[params.animation_id]
                                 : -1;
        const int priority =
            (params.priority_given ? params.priority : 0) + 128 * static_cast<int>(context.layer_index);
        state.descriptor = api::psm_adesc_create(context.model, anim, 0, 0x23, priority);
        if (params.ramp_in && (!params.ramp_type_event || ramp_query(context, 1)))
            state.ramp |= 1;
        api::psm_adesc_set_stop_frame(context.model, state.descriptor, -1);
    }
    return true;
}

uint32_t psb_behavior_runner_t::evaluate(psb_run_state_t& state, float& step, const psb_block_t& node,
                                         psb_instance_context_t& context)
{
    if (state.finished)
        return psb_node_finished;
    if (state.held)
        return psb_node_held;
    state.time += step;
    bool started_now = false;
    if (!state.started) {
        if (node.time_triggered && state.time < node.time_trigger)
            return psb_node_waiting;
        if (node.frame_triggered && context.frame < node.frame_trigger)
            return psb_node_waiting;
        if (!start(state, node, context))
            return psb_node_finished;
        started_now = true;
    }
    state.run_time += step;
    if (node.has_speed)
        step *= node.speed;

    switch (node.kind) {
    case psb_block_animation:
        return evaluate_animation(state, step, node, started_now, context);
    case psb_block_blend:
        return evaluate_blend(state, step, node, context);
    case psb_block_sequence: {
        if (node.children.empty()) {
            state.finished = true;
            undo_speed(step, node);
            return psb_node_finished;
        }
        uint32_t result = evaluate(state.children[state.child_index], step, *node.children[state.child_index], context);
        while (!(result & (psb_node_running | psb_node_waiting))) {
            if (result & psb_node_held) {
                api::error("cannot have freezed animation in sequence !");
                state.started = false;
                state.finished = true;
                return psb_node_finished;
            }
            if (++state.child_index >= node.children.size()) {
                state.finished = true;
                undo_speed(step, node);
                return psb_node_finished;
            }
            result = evaluate(state.children[state.child_index], step, *node.children[state.child_index], context);
        }
        return psb_node_running;
    }
    default: {
        uint32_t results = 0;
        float smallest = step;
        for (size_t i = 0; i < node.children.size(); ++i) {
            float child_step = step;
            results |= evaluate(state.children[i], child_step, *node.children[i], context);
            smallest = std::min(smallest, child_step);
        }
        step = smallest;
        if (node.kind == psb_block_root) {
            if (!(results & psb_node_base_finished))
                return psb_node_running;
            state.finished = true;
            for (size_t i = 0; i < node.children.size(); ++i)
                stop(state.children[i], *node.children[i], context);
            undo_speed(step, node);
            return psb_node_finished;
        }
        if (results & psb_node_running)
            return psb_node_running;
        // Only children waiting for a trigger are left: the block ends and they never run.
        state.finished = true;
        if (results & psb_node_held)
            for (size_t i = 0; i < node.children.size(); ++i)
                stop(state.children[i], *node.children[i], context);
        undo_speed(step, node);
        return node.kind == psb_block_base ? psb_node_base_finished : psb_node_finished;
    }
    }
}

uint32_t psb_behavior_runner_t::evaluate_animation(psb_run_state_t& state, float& step, const psb_block_t& node,
                                                   bool started_now, psb_instance_context_t& context)
{
    const psb_animation_params_t& params = node.animation;
    const uint8_t entry_flags = context.flags;
    const float entry_weight = context.weight;
    if ((context.flags & 1) || started_now || params.ramp_in || params.ramp_out) {
        if (params.weight_given) {
            context.weight = (context.flags & 2) ? params.weight * context.weight : params.weight;
            context.flags |= 2;
        }
        if (params.ramp_out && !(state.ramp & 4) && state.run_time > params.ramp_out_start) {
            if (!params.ramp_type_event || ramp_query(context, 0))
                state.ramp |= 2;
            state.ramp |= 4;
        }
        bool ramped = false;
        float w = 1;
        if (state.ramp & 1) {
            // A ramp in of no length is already complete.
            w = params.ramp_in_length > 0 ? state.run_time / params.ramp_in_length : 1;
            if (state.run_time >= params.ramp_in_length) {
                state.ramp &= static_cast<uint8_t>(~1);
                w = std::min(w, 1.0f);
            }
            ramped = true;
        }
        if (state.ramp & 2) {
            const float out =
                params.ramp_out_length > 0
                    ? std::max(0.0f, 1 - (state.run_time - params.ramp_out_start) / params.ramp_out_length)
                    : 0.0f;
            w = ramped ? std::min(w, out) : out;
            ramped = true;
        }
        if (ramped) {
            context.weight = (context.flags & 2) ? w * context.weight : w;
            context.flags |= 2;
        }
        if (context.flags & 2)
            api::psm_adesc_set_cur_weight(context.model, state.descriptor, context.weight);
    }
    const bool running = api::psm_adesc_add_time(context.model, state.descriptor, step);
    if (running) {
        if (!node.children.empty()) {
            context.frame = api::psm_adesc_get_nw_frame(context.model, state.descriptor);
            for (size_t i = 0; i < node.children.size(); ++i) {
                float child_step = step;
                evaluate(state.children[i], child_step, *node.children[i], context);
            }
        }
        step = 0;
        context.flags = static_cast<uint8_t>((context.flags & ~2) | (entry_flags & 2));
        context.weight = entry_weight;
        return psb_node_running;
    }
    for (size_t i = 0; i < node.children.size(); ++i)
        stop(state.children[i], *node.children[i], context);
    step = api::psm_adesc_get_rtime(context.model, state.descriptor);
    context.flags = static_cast<uint8_t>((context.flags & ~2) | (entry_flags & 2));
    context.weight = entry_weight;
    if (params.freeze_at_end) {
        api::psm_adesc_reset_anim(context.model, state.descriptor, params.frame_count - 1);
        api::psm_adesc_unstop(context.model, state.descriptor);
        state.held = true;
        undo_speed(step, node);
        return psb_node_held;
    }
    api::psm_adesc_remove(context.model, state.descriptor);
    state.descriptor = 0;
    state.finished = true;
    undo_speed(step, node);
    return psb_node_finished;
}

uint32_t psb_behavior_runner_t::evaluate_blend(psb_run_state_t& state, float& step, const psb_block_t& node,
                                               psb_instance_context_t& context)
{
    if (node.children.size() != 2) {
        state.finished = true;
        return psb_node_finished;
    }
    if (!(state.phase & 3))
        state.phase |= 1;
    float second_step = step;
    if (!(state.phase & 2) && state.run_time >= node.overlay_start) {
        state.phase |= 2;
        second_step = state.run_time - node.overlay_start;
    }
    const float saved_weight = context.weight;
    const bool scaled = context.flags & 2;
    const uint8_t saved_bit0 = context.flags & 1;
    float w = 1;
    if ((state.phase & 3) == 3) {
        // An overlay of no length hands over at once.
        w = node.overlay > 0 ? (std::cos(((state.run_time - node.overlay_start) / node.overlay) * pi) + 1) * 0.5f : 0;
        w = std::clamp(w, 0.0f, 1.0f);
        context.weight = scaled ? w * saved_weight : w;
        context.flags |= 2;
    }
    context.flags |= 1;
    if (state.phase & 1) {
        float first_step = step;
        const uint32_t result = evaluate(state.children[0], first_step, *node.children[0], context);
        if (result & (psb_node_finished | psb_node_base_finished | psb_node_held)) {
            state.phase &= static_cast<uint8_t>(~1);
            context.weight = scaled ? saved_weight : 1.0f;
        }
    }
    if ((state.phase & 3) == 3)
        context.weight = scaled ? (1 - w) * saved_weight : 1 - w;
    uint32_t result = psb_node_running;
    if (state.phase & 2) {
        result = evaluate(state.children[1], second_step, *node.children[1], context);
        step = second_step;
    }
    context.flags = static_cast<uint8_t>((context.flags & ~1) | saved_bit0);
    context.weight = saved_weight;
    if (result & (psb_node_finished | psb_node_base_finished | psb_node_held)) {
        state.finished = true;
        undo_speed(step, node);
        return psb_node_finished;
    }
    return psb_node_running;
}

void psb_behavior_runner_t::stop(psb_run_state_t& state, const psb_block_t& node, psb_instance_context_t& context)
{
    if (!state.started || state.finished)
        return;
    if (node.kind == psb_block_animation && state.descriptor) {
        api::psm_adesc_remove(context.model, state.descriptor);
        state.descriptor = 0;
    }
    for (size_t i = 0; i < node.children.size(); ++i)
        stop(state.children[i], *node.children[i], context);
    if (!state.held)
        state.finished = true;
}
