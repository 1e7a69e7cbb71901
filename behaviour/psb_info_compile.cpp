#include "behaviour/psb_info_compile.h"

#include <algorithm>
#include <cstring>

#include "behaviour/psb_block_builder.h"
#include "behaviour/psb_compiled.h"
#include "behaviour/psb_info.h"
#include "behaviour/psb_runner_build.h"

namespace {

// Feature-index order (stable).
template <typename T> void sort_by_feature(std::vector<T>& items)
{
    std::stable_sort(items.begin(), items.end(), [](const T& a, const T& b) { return a.feature < b.feature; });
}

// A compiled animation: its offset.
uint32_t write_animation(psb_block_builder_t& block, const psb_animation_t& animation)
{
    std::vector<psb_feature_state_t> states = animation.feature_states();
    sort_by_feature(states);
    const uint32_t count = static_cast<uint32_t>(states.size());
    const uint32_t at = block.take(count == 0 ? 16 : 12 + psb_roundup4(4 + 3 * count));
    block.put<int32_t>(at, animation.psm_index());
    block.put<int32_t>(at + 4, animation.frame_count());
    block.put<float>(at + 8, animation.length());
    block.put<uint32_t>(at + 12, count);
    for (uint32_t index = 0; index < count; ++index) {
        block.put<uint8_t>(at + 16 + 3 * index, states[index].feature);
        block.put<uint8_t>(at + 17 + 3 * index, states[index].begin);
        block.put<uint8_t>(at + 18 + 3 * index, states[index].end);
    }
    return at;
}

// One (feature, end state) pair of a hold set's feature list.
struct hold_feature_t {
    uint8_t feature;
    uint8_t end;
};

// A hold set with its feature list (the end states its animations lead to): its offset. The set takes
// at least the 12 + 24 x entries bytes its readers reserve, and more when its feature list needs it.
uint32_t write_hold_set(psb_block_builder_t& block, const std::vector<psb_hold_entry_t>& entries,
                        const psb_layer_entry_t& entry)
{
    std::vector<hold_feature_t> features;
    for (const psb_hold_entry_t& hold : entries) {
        if (hold.animation_id < entry.animations().size()) {
            for (const psb_feature_state_t& state : entry.animations()[hold.animation_id]->feature_states())
                features.push_back({state.feature, state.end});
        }
    }
    sort_by_feature(features);
    const uint32_t count = static_cast<uint32_t>(entries.size());
    const uint32_t list_size = 4 + 2 * static_cast<uint32_t>(features.size());
    const uint32_t at = block.take(std::max(12 + 24 * count, 8 + 16 * count + list_size));
    block.put<uint32_t>(at, count);
    for (uint32_t index = 0; index < count; ++index) {
        const uint32_t hold = at + 8 + 16 * index;
        block.put<uint16_t>(hold, entries[index].animation_id);
        block.put<int32_t>(hold + 4, entries[index].frame);
        block.put<uint8_t>(hold + 8, entries[index].weight_given ? 1 : 0);
        block.put<float>(hold + 12, entries[index].weight);
    }
    const uint32_t list = at + 8 + 16 * count;
    block.put<uint32_t>(at + 4, list);
    block.put<uint32_t>(list, static_cast<uint32_t>(features.size()));
    for (uint32_t index = 0; index < features.size(); ++index) {
        block.put<uint8_t>(list + 4 + 2 * index, features[index].feature);
        block.put<uint8_t>(list + 5 + 2 * index, features[index].end);
    }
    return at;
}

// A transition action: its offset.
uint32_t write_action(psb_block_builder_t& block, const psb_transition_action_t& action)
{
    if (action.type == psb_action_simple || action.type == psb_action_compound) {
        const uint32_t count = static_cast<uint32_t>(action.features.size());
        const uint32_t at = block.take(action.type == psb_action_simple ? 12 : 20 + 3 * count);
        block.put<uint32_t>(at, action.type);
        block.put<float>(at + 4, action.base_length);
        block.put<uint32_t>(at + 8, action.behavior_id);
        if (action.type == psb_action_compound) {
            block.put<uint32_t>(at + 12, count);
            for (uint32_t index = 0; index < count; ++index) {
                block.put<uint8_t>(at + 16 + 3 * index, action.features[index].feature);
                block.put<uint8_t>(at + 17 + 3 * index, action.features[index].begin);
                block.put<uint8_t>(at + 18 + 3 * index, action.features[index].end);
            }
        }
        return at;
    }
    const uint32_t at = block.take(8);
    block.put<uint32_t>(at, action.type);
    return at;
}

// The compound section: its offset.
uint32_t write_compound(psb_block_builder_t& block, const psb_transitions_t& transitions)
{
    const auto& groups = transitions.groups();
    const uint32_t at = block.take(4 + 4 * static_cast<uint32_t>(groups.size()));
    block.put<uint32_t>(at, static_cast<uint32_t>(groups.size()));
    for (uint32_t g = 0; g < groups.size(); ++g) {
        const auto& sets = groups[g];
        const uint32_t group = block.take(4 + 4 * static_cast<uint32_t>(sets.size()));
        block.put<uint32_t>(at + 4 + 4 * g, group);
        block.put<uint32_t>(group, static_cast<uint32_t>(sets.size()));
        for (uint32_t s = 0; s < sets.size(); ++s) {
            const psb_compound_set_t& set = sets[s];
            const uint32_t features = static_cast<uint32_t>(set.features.size());
            const uint32_t stride = psb_roundup4(2 * features + 4);
            const uint32_t record = block.take(12 + psb_roundup4(features));
            block.put<uint32_t>(group + 4 + 4 * s, record);
            block.put<uint32_t>(record, stride);
            block.put<uint32_t>(record + 4, static_cast<uint32_t>(set.combinations.size()));
            for (uint32_t f = 0; f < features; ++f)
                block.put<uint8_t>(record + 12 + f, set.features[f]);
            const uint32_t combinations = block.take(stride * static_cast<uint32_t>(set.combinations.size()));
            block.put<uint32_t>(record + 8, combinations);
            for (uint32_t c = 0; c < set.combinations.size(); ++c) {
                const uint32_t combination = combinations + stride * c;
                for (uint32_t f = 0; f < features; ++f) {
                    block.put<uint8_t>(combination + 4 + 2 * f, set.combinations[c].states[f].first);
                    block.put<uint8_t>(combination + 5 + 2 * f, set.combinations[c].states[f].second);
                }
            }
            for (uint32_t c = 0; c < set.combinations.size(); ++c)
                block.put<uint32_t>(combinations + stride * c,
                                    write_action(block, transitions.actions()[set.combinations[c].action - 1]));
        }
    }
    return at;
}

// The compiled transitions of an entry with `feature_count` features: their offset.
uint32_t write_transitions(psb_block_builder_t& block, const psb_transitions_t& transitions, uint32_t feature_count)
{
    const auto& matrices = transitions.matrices();
    const uint32_t at = block.take(12 + 4 * feature_count);
    for (uint32_t feature = 0; feature < matrices.size() && feature < feature_count; ++feature) {
        const psb_feature_matrix_t& matrix = matrices[feature];
        const uint32_t cells = block.take(4 * static_cast<uint32_t>(matrix.cells.size()));
        block.put<uint32_t>(at + 12 + 4 * feature, cells);
        for (uint32_t cell = 0; cell < matrix.cells.size(); ++cell) {
            if (matrix.cells[cell] != 0)
                block.put<uint32_t>(cells + 4 * cell,
                                    write_action(block, transitions.actions()[matrix.cells[cell] - 1]));
        }
    }
    const uint32_t state_table = block.take(4 * feature_count);
    block.put<uint32_t>(at + 4, state_table);
    for (uint32_t feature = 0; feature < matrices.size() && feature < feature_count; ++feature) {
        const auto& states = matrices[feature].states;
        const uint32_t entries = block.take(4 * static_cast<uint32_t>(states.size()));
        block.put<uint32_t>(state_table + 4 * feature, entries);
        for (uint32_t state = 0; state < states.size(); ++state) {
            block.put<uint16_t>(entries + 4 * state, states[state].animation_id);
            block.put<uint8_t>(entries + 4 * state + 2, states[state].bound ? 1 : 0);
        }
    }
    const uint32_t settings = block.take(12 * feature_count);
    block.put<uint32_t>(at + 8, settings);
    for (uint32_t feature = 0; feature < matrices.size() && feature < feature_count; ++feature) {
        block.put<int32_t>(settings + 12 * feature, matrices[feature].priority);
        block.put<float>(settings + 12 * feature + 4, matrices[feature].overlay);
        block.put<uint8_t>(settings + 12 * feature + 8, matrices[feature].flags);
    }
    block.put<uint32_t>(at, write_compound(block, transitions));
    return at;
}

// A compiled layer entry: its offset.
uint32_t write_entry(psb_block_builder_t& block, const psb_layer_entry_t& entry)
{
    const uint32_t features = static_cast<uint32_t>(entry.state_counts().size());
    const auto& animations = entry.animations();
    const auto& behaviors = entry.behaviors();
    const auto& holds = entry.hold_sets().sets;
    const uint32_t at = block.take(40 + 4 * static_cast<uint32_t>(animations.size()));
    block.put<uint32_t>(at + psb_entry_feature_count, features);
    block.put<uint32_t>(at + psb_entry_animation_count, static_cast<uint32_t>(animations.size()));
    block.put<uint32_t>(at + psb_entry_behavior_count, static_cast<uint32_t>(behaviors.size()));
    block.put<uint32_t>(at + psb_entry_hold_set_count, static_cast<uint32_t>(holds.size()));
    for (uint32_t id = 0; id < animations.size(); ++id)
        block.put<uint32_t>(at + psb_entry_animations + 4 * id, write_animation(block, *animations[id]));
    const uint32_t counts = block.take(features);
    block.put<uint32_t>(at + psb_entry_state_counts, counts);
    for (uint32_t feature = 0; feature < features; ++feature)
        block.put<uint8_t>(counts + feature, entry.state_counts()[feature]);
    const uint32_t table = block.take(4 * static_cast<uint32_t>(behaviors.size()));
    block.put<uint32_t>(at + psb_entry_behaviors, table);
    uint32_t largest_run_state = 0;
    for (uint32_t id = 0; id < behaviors.size(); ++id) {
        if (!behaviors[id]->valid())
            continue;
        uint32_t run_state = 0;
        block.put<uint32_t>(table + 4 * id, psb_runner_build(*behaviors[id], block, &run_state));
        largest_run_state = std::max(largest_run_state, run_state);
    }
    block.put<uint32_t>(at + psb_entry_work_size, psb_roundup4(5 * features) + largest_run_state + 80);
    if (!holds.empty()) {
        const uint32_t hold_table = block.take(4 * static_cast<uint32_t>(holds.size()));
        block.put<uint32_t>(at + psb_entry_hold_sets, hold_table);
        for (uint32_t index = 0; index < holds.size(); ++index)
            block.put<uint32_t>(hold_table + 4 * index, write_hold_set(block, holds[index], entry));
    }
    block.put<uint32_t>(at + psb_entry_transitions, write_transitions(block, entry.transitions(), features));
    block.put<uint32_t>(at + psb_entry_name, block.take_text(entry.name()));
    return at;
}

}  // namespace

std::vector<uint8_t> psb_info_layout(const psb_info_t& info)
{
    psb_block_builder_t block;
    const auto& layers = info.layers();
    const auto& looks = info.looks();
    const auto& sounds = info.sounds();
    const uint32_t header = block.take(psb_header_layers + 4 * static_cast<uint32_t>(layers.size()));
    block.put<uint32_t>(header + psb_header_layer_count, static_cast<uint32_t>(layers.size()));
    for (uint32_t index = 0; index < layers.size(); ++index)
        block.put<uint32_t>(psb_header_layers + 4 * index, write_entry(block, *layers[index]));
    block.put<uint32_t>(psb_header_look_count, static_cast<uint32_t>(looks.size()));
    const uint32_t look_table = block.take(8 * static_cast<uint32_t>(looks.size()));
    block.put<uint32_t>(psb_header_looks, looks.empty() ? 0 : look_table);
    for (uint32_t index = 0; index < looks.size(); ++index) {
        const auto& shaders = looks[index].shaders;
        const uint32_t array = block.take(4 * static_cast<uint32_t>(shaders.size()));
        block.put<uint32_t>(look_table + 8 * index, static_cast<uint32_t>(shaders.size()));
        block.put<uint32_t>(look_table + 8 * index + 4, array);
        for (uint32_t shader = 0; shader < shaders.size(); ++shader)
            block.put<uint32_t>(array + 4 * shader, block.take_text(shaders[shader]));
    }
    block.put<uint32_t>(psb_header_sound_count, static_cast<uint32_t>(sounds.size()));
    if (!sounds.empty()) {
        const uint32_t table = block.take(4 * static_cast<uint32_t>(sounds.size()));
        block.put<uint32_t>(psb_header_sounds, table);
        for (uint32_t index = 0; index < sounds.size(); ++index)
            block.put<uint32_t>(table + 4 * index, block.take_text(sounds[index]));
    }
    return block.bytes();
}

void psb_info_compile(psb_info_t& info, const std::vector<uint8_t>& layout, void* block)
{
    memcpy(block, layout.data(), layout.size());
    psm_info_t* const model = info.take_model();
    memcpy(static_cast<uint8_t*>(block) + psb_header_model, &model, sizeof(model));
}
