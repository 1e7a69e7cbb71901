#include "behaviour/psb_transitions.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "behaviour/psb_behavior.h"
#include "behaviour/psb_file_text.h"
#include "behaviour/psb_layer.h"
#include "common/engine_api.h"

namespace {

// True when `name` is longer than the registries take.
bool too_long(const char* name) { return strlen(name) > psb_name_limit; }

// Feature-index order of a combination's features (stable, so equal features keep their order).
void sort_by_feature(std::vector<psb_feature_state_t>& features)
{
    std::stable_sort(features.begin(), features.end(),
                     [](const psb_feature_state_t& a, const psb_feature_state_t& b) { return a.feature < b.feature; });
}

}  // namespace

void psb_transitions_t::allocate_matrices()
{
    if (!matrices_.empty())
        return;
    const psb_layer_t& layer = sources_.layer();
    std::vector<uint8_t> counts(layer.feature_count());
    layer.get_state_counts(counts.data());
    matrices_.resize(counts.size());
    for (size_t feature = 0; feature < counts.size(); ++feature) {
        psb_feature_matrix_t& matrix = matrices_[feature];
        matrix.state_count = counts[feature];
        matrix.cells.assign(static_cast<size_t>(counts[feature]) * counts[feature], 0);
        matrix.states.assign(counts[feature], psb_state_animation_t{});
    }
}

psb_feature_matrix_t* psb_transitions_t::current_matrix()
{
    return feature_valid_ && feature_ < matrices_.size() ? &matrices_[feature_] : nullptr;
}

void psb_transitions_t::set_feature(const char* feature)
{
    feature_valid_ = false;
    if (too_long(feature)) {
        api::error("feature name too long (%s)", feature);
        return;
    }
    const psb_feature_t* record = nullptr;
    if (!sources_.layer().find_feature(feature, &record)) {
        api::warning("feature not found in current layer (%s)", feature);
        return;
    }
    allocate_matrices();
    feature_ = static_cast<uint8_t>(record->id - 1);
    feature_valid_ = true;
}

void psb_transitions_t::default_priority() { set_priority(1); }

void psb_transitions_t::set_priority(int32_t priority)
{
    if (psb_feature_matrix_t* matrix = current_matrix())
        matrix->priority = priority;
}

void psb_transitions_t::clear_overlay()
{
    if (psb_feature_matrix_t* matrix = current_matrix())
        matrix->flags &= static_cast<uint8_t>(~psb_matrix_overlay);
}

void psb_transitions_t::set_overlay(float percent)
{
    if (psb_feature_matrix_t* matrix = current_matrix()) {
        matrix->overlay = std::clamp(percent * 0.01f, 0.0f, 1.0f);
        matrix->flags |= psb_matrix_overlay;
    }
}

void psb_transitions_t::set_no_stretch(bool no_stretch)
{
    if (psb_feature_matrix_t* matrix = current_matrix()) {
        if (no_stretch)
            matrix->flags |= psb_matrix_no_stretch;
        else
            matrix->flags &= static_cast<uint8_t>(~psb_matrix_no_stretch);
    }
}

void psb_transitions_t::set_matrix_state(const char* state, const char* file)
{
    psb_feature_matrix_t* const matrix = current_matrix();
    if (!matrix)
        return;
    if (too_long(state)) {
        api::error("begin state name too long (%s)", state);
        return;
    }
    const psb_feature_t& feature = *sources_.layer().features()[feature_];
    const uintptr_t state_id = feature.states.find(state, strlen(state));
    if (state_id == 0) {
        api::error("invalid single transition matrix state (%s)", state);
        return;
    }
    uint16_t animation = 0;
    if (!sources_.find_animation_id(file, &animation))
        return;
    matrix->states[state_id - 1] = {animation, true};
}

void psb_transitions_t::begin_simple()
{
    compound_ = false;
    action_ = 0;
    valid_ = true;
}

void psb_transitions_t::set_from_to(const char* from, const char* to)
{
    if (!valid_ || !current_matrix()) {
        api::warning("ignoring single transition from (%s) to (%s) - bad feature", from, to);
        valid_ = false;
        return;
    }
    if (too_long(from)) {
        api::error("begin state name too long (%s)", from);
        valid_ = false;
        return;
    }
    if (too_long(to)) {
        api::error("end state name too long (%s)", to);
        valid_ = false;
        return;
    }
    const psb_feature_t& feature = *sources_.layer().features()[feature_];
    const uintptr_t from_id = feature.states.find(from, strlen(from));
    if (from_id == 0) {
        api::error("begin state (%s) not found in current layer for feature (%s)", from, feature.name.c_str());
        valid_ = false;
        return;
    }
    const uintptr_t to_id = feature.states.find(to, strlen(to));
    if (to_id == 0) {
        api::error("end state (%s) not found in current layer for feature (%s)", to, feature.name.c_str());
        valid_ = false;
        return;
    }
    from_ = static_cast<uint8_t>(from_id - 1);
    to_ = static_cast<uint8_t>(to_id - 1);
}

uint32_t psb_transitions_t::add_action(uint32_t behavior_id)
{
    psb_transition_action_t action;
    action.type = compound_ ? psb_action_compound : psb_action_simple;
    action.behavior_id = behavior_id;
    actions_.push_back(action);
    return static_cast<uint32_t>(actions_.size());
}

void psb_transitions_t::set_play_behavior(const char* file)
{
    if (!valid_) {
        api::warning("ignoring transition behavior action (%s)", file);
        return;
    }
    uint32_t id = 0;
    if (!sources_.find_behavior(file, &id)) {
        valid_ = false;
        pending_.clear();
        return;
    }
    action_ = add_action(id);
}

void psb_transitions_t::begin_blend_action(float overlay, uint8_t unit)
{
    if (!valid_) {
        api::warning("ignoring single transition blend action");
        return;
    }
    uint32_t id = 0;
    blend_behavior_ = sources_.new_generated_behavior(&id);
    if (!blend_behavior_) {
        // No id is left for the blend: the transition is not filed.
        valid_ = false;
        return;
    }
    action_ = add_action(id);
    blend_behavior_->begin_blocks();
    psb_block_desc_t base;
    base.kind = psb_block_base;
    blend_behavior_->begin_block(base);
    psb_block_desc_t blend;
    blend.kind = psb_block_blend;
    blend.overlay_given = true;
    blend.overlay_unit = unit;
    blend.overlay = overlay;
    blend_behavior_->begin_block(blend);
}

void psb_transitions_t::add_blend_animation(int, const char* file, bool speed_given, float speed, bool weight_given,
                                            float weight)
{
    if (!valid_ || action_ == 0 || !blend_behavior_)
        return;
    if (strlen(file) >= psb_block_file_size) {
        api::error("animation name to long (%s)", file);
        actions_[action_ - 1].type = 0;
        valid_ = false;
        return;
    }
    psb_block_desc_t animation;
    animation.kind = psb_block_animation;
    memcpy(animation.file, file, strlen(file) + 1);
    animation.speed_given = speed_given;
    animation.speed = speed;
    animation.weight_given = weight_given;
    animation.weight = weight;
    blend_behavior_->begin_block(animation);
    blend_behavior_->end_block();
}

void psb_transitions_t::end_blend_action()
{
    if (valid_ && blend_behavior_) {
        // A blend that did not get both animations is never run.
        if (!blend_behavior_->end_blend()) {
            blend_behavior_->invalidate();
            valid_ = false;
        }
        blend_behavior_->end_block();
        blend_behavior_->end_block();
        blend_behavior_->end_block();
        if (action_ != 0)
            actions_[action_ - 1].base_length = blend_behavior_->base_length();
    }
    blend_behavior_ = nullptr;
}

void psb_transitions_t::end_transition()
{
    psb_feature_matrix_t* const matrix = current_matrix();
    if (valid_ && action_ != 0 && matrix) {
        uint32_t& cell = matrix->cells[static_cast<size_t>(from_) * matrix->state_count + to_];
        if (cell != 0)
            api::error("item already present !");
        else
            cell = action_;
    }
    valid_ = true;
    action_ = 0;
}

void psb_transitions_t::begin_compound()
{
    compound_ = true;
    action_ = 0;
    valid_ = true;
    pending_.clear();
}

void psb_transitions_t::add_compound_feature(const char* feature, const char* from, const char* to)
{
    if (!valid_)
        return;
    valid_ = false;
    if (too_long(feature)) {
        api::error("feature name too long (%s)", feature);
        return;
    }
    if (too_long(from)) {
        api::error("begin state name too long (%s)", from);
        return;
    }
    if (too_long(to)) {
        api::error("end state name too long (%s)", to);
        return;
    }
    const psb_layer_t& layer = sources_.layer();
    const psb_feature_t* record = nullptr;
    if (!layer.find_feature(feature, &record)) {
        api::warning("feature (%s) not found in current layer", feature);
        return;
    }
    const uintptr_t from_id = record->states.find(from, strlen(from));
    const uintptr_t to_id = record->states.find(to, strlen(to));
    if (from_id == 0 || to_id == 0) {
        api::warning("state (%s) not found in current layer feature (%s)", from_id == 0 ? from : to, feature);
        return;
    }
    pending_.push_back(
        {static_cast<uint8_t>(record->id - 1), static_cast<uint8_t>(from_id - 1), static_cast<uint8_t>(to_id - 1)});
    valid_ = true;
}

void psb_transitions_t::end_compound()
{
    if (valid_ && action_ != 0) {
        if (pending_.size() < 2) {
            api::error("compound transition has to contain two and more features !");
        } else {
            sort_by_feature(pending_);
            actions_[action_ - 1].features = pending_;
            insert_combination(pending_, action_);
        }
    }
    pending_.clear();
    action_ = 0;
    valid_ = true;
}

void psb_transitions_t::insert_combination(std::vector<psb_feature_state_t> features, uint32_t action)
{
    const size_t group_index = features.size() - 2;
    if (groups_.size() <= group_index)
        groups_.resize(group_index + 1);
    std::vector<psb_compound_set_t>& group = groups_[group_index];
    std::vector<uint8_t> indices;
    psb_compound_combination_t combination;
    combination.action = action;
    for (const psb_feature_state_t& state : features) {
        indices.push_back(state.feature);
        combination.states.emplace_back(state.begin, state.end);
    }
    auto set =
        std::lower_bound(group.begin(), group.end(), indices,
                         [](const psb_compound_set_t& a, const std::vector<uint8_t>& b) { return a.features < b; });
    if (set == group.end() || set->features != indices) {
        psb_compound_set_t fresh;
        fresh.features = indices;
        set = group.insert(set, std::move(fresh));
    }
    auto place = std::lower_bound(set->combinations.begin(), set->combinations.end(), combination.states,
                                  [](const psb_compound_combination_t& a,
                                     const std::vector<std::pair<uint8_t, uint8_t>>& b) { return a.states < b; });
    // The first combination over the same states stays.
    if (place != set->combinations.end() && place->states == combination.states)
        return;
    set->combinations.insert(place, std::move(combination));
}

bool psb_transitions_t::read(const char* name)
{
    std::string text;
    if (!psb_read_file_text(name, text)) {
        api::error("<psb> cannot find psb_transitions file (%s)", name);
        return false;
    }
    psb_transitions_actions_t* const enclosing = psb_current_transitions;
    psb_current_transitions = this;
    const bool parsed = psb_transitions_parse_text(text.data(), text.size());
    psb_current_transitions = enclosing;
    return parsed;
}
