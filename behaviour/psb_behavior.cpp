#include "behaviour/psb_behavior.h"

#include <algorithm>

#include "behaviour/psb_file_text.h"
#include "behaviour/psb_layer.h"
#include "common/engine_api.h"

psb_behavior_t::psb_behavior_t(uint16_t id, const psb_layer_t& layer, psb_behavior_sources_t& sources,
                               psb_hold_sets_t& holds)
    : id_(id), layer_(layer), sources_(sources), holds_(holds), tree_(sources)
{}

bool psb_behavior_t::set_process(const char* process) { return layer_.find_process(process, &process_); }

bool psb_behavior_t::add_attribute_value(const char* name, const psb_attribute_value_t& value)
{
    uint32_t found = 0;
    if (!layer_.find_attribute(name, &found))
        return false;
    psb_attribute_setting_t setting;
    setting.attribute = static_cast<uint16_t>(found & 0xffff);
    setting.value.type = found >> 16;
    switch (setting.value.type) {
    case psb_attribute_float:
        if (value.type == psb_attribute_float)
            setting.value.real = value.real;
        else if (value.type == psb_attribute_int)
            setting.value.real = static_cast<float>(value.integer);
        else {
            api::error("invalid data type for attribute (%s), should be (%s)", name, "float");
            return false;
        }
        break;
    case psb_attribute_int:
        if (value.type != psb_attribute_int) {
            api::error("invalid data type for attribute (%s), should be (%s)", name, "int");
            return false;
        }
        setting.value.integer = value.integer;
        break;
    case psb_attribute_boolean:
        if (value.type != psb_attribute_boolean) {
            api::error("invalid data type for attribute (%s), should be (%s)", name, "boolean");
            return false;
        }
        setting.value.boolean = value.boolean;
        break;
    default:
        api::error("unknown attribute (%s) type (%i)", name, static_cast<int>(value.type));
        return false;
    }
    attribute_values_.push_back(setting);
    return true;
}

bool psb_behavior_t::add_feature_state(const char* feature, const char* begin, const char* end)
{
    psb_feature_state_t state{};
    if (!layer_.find_feature_index(feature, &state.feature) || !layer_.find_state(feature, begin, &state.begin) ||
        !layer_.find_state(feature, end, &state.end))
        return false;
    feature_states_.push_back(state);
    return true;
}

void psb_behavior_t::check_feature_states()
{
    std::stable_sort(feature_states_.begin(), feature_states_.end(),
                     [](const psb_feature_state_t& a, const psb_feature_state_t& b) { return a.feature < b.feature; });
}

void psb_behavior_t::set_generated_freeze(bool exact)
{
    generated_freeze_ = true;
    exact_ = exact;
}

void psb_behavior_t::begin_holds()
{
    has_hold_set_ = true;
    hold_not_explicit_ = false;
    holds_.sets.emplace_back();
    hold_set_ = static_cast<int32_t>(holds_.sets.size() - 1);
}

void psb_behavior_t::add_hold(const char* file, float value, uint32_t unit, float weight, bool weight_given)
{
    uint16_t id = 0;
    float length = 0;
    int32_t frames = 0;
    if (!sources_.find_animation(file, &id, &length, &frames)) {
        api::warning("hold animation (%s) ignored", file);
        return;
    }
    int32_t frame = 0;
    const int32_t last = std::max(frames - 1, 0);
    if (unit == psb_hold_percent) {
        const float share = std::clamp(value * 0.01f, 0.0f, 1.0f);
        // The first frame is 0: a hold at 0 % holds it rather than a frame before the animation.
        frame = std::max(static_cast<int32_t>(share * static_cast<float>(frames) - 1), 0);
    } else if (unit == psb_hold_frames) {
        if (value > static_cast<float>(last)) {
            api::warning("<psb> hold frame bigger than animation frames (%i) - setting to (%i)",
                         static_cast<int>(value), last);
            frame = last;
        } else if (value < 0) {
            api::warning("<psb> hold frame below the first frame (%i) - setting to (0)", static_cast<int>(value));
            frame = 0;
        } else {
            frame = static_cast<int32_t>(value);
        }
    } else {
        api::error("unknown unit !");
        return;
    }
    holds_.sets[static_cast<size_t>(hold_set_)].push_back({id, frame, weight_given, weight});
}

bool psb_behavior_t::end_holds()
{
    if (!holds_.sets[static_cast<size_t>(hold_set_)].empty()) {
        generated_freeze_ = exact_ = false;
        return true;
    }
    has_hold_set_ = false;
    valid_ = false;
    return false;
}

bool psb_behavior_t::end_block()
{
    const bool kept = tree_.end_block();
    if (tree_.depth() == 0 && generated_freeze_)
        generate_freeze();
    return kept;
}

bool psb_behavior_t::current_block_animation_context() const
{
    return tree_.current() && tree_.current()->animation_context;
}

void psb_behavior_t::collect_freeze(const psb_block_t& block, bool in_base, std::vector<psb_hold_entry_t>& out) const
{
    const bool base = in_base || block.kind == psb_block_base;
    if (base && block.kind == psb_block_animation) {
        const psb_animation_params_t& params = block.animation;
        out.push_back({params.animation_id, std::max(params.frame_count - 1, 0), params.weight_given, params.weight});
    }
    if (block.kind == psb_block_sequence) {
        if (!block.children.empty())
            collect_freeze(*block.children.back(), base, out);
        return;
    }
    for (const auto& child : block.children)
        collect_freeze(*child, base, out);
}

void psb_behavior_t::generate_freeze()
{
    has_hold_set_ = true;
    hold_not_explicit_ = true;
    std::vector<std::pair<uint8_t, uint8_t>> pairs;
    for (const psb_feature_state_t& state : feature_states_)
        pairs.emplace_back(state.feature, state.end);
    holds_.features.resize(holds_.sets.size());
    // A set that holds exactly these end states already serves, unless the freeze must be exact.
    if (!exact_) {
        const auto same = std::find(holds_.features.begin(), holds_.features.end(), pairs);
        if (same != holds_.features.end() && !pairs.empty()) {
            hold_set_ = static_cast<int32_t>(same - holds_.features.begin());
            return;
        }
    }
    std::vector<psb_hold_entry_t> entries;
    if (tree_.root())
        collect_freeze(*tree_.root(), false, entries);
    holds_.sets.push_back(std::move(entries));
    holds_.features.push_back(std::move(pairs));
    hold_set_ = static_cast<int32_t>(holds_.sets.size() - 1);
}

bool psb_behavior_t::read(const char* name)
{
    std::string text;
    if (!psb_read_file_text(name, text)) {
        api::error("cannot find behavior file (%s)", name);
        return false;
    }
    return read_text(text.data(), text.size());
}

bool psb_behavior_t::read_text(const char* text, size_t length)
{
    psb_behavior_actions_t* const enclosing = psb_current_behavior;
    psb_current_behavior = this;
    const bool parsed = psb_behavior_parse_text(text, length);
    psb_current_behavior = enclosing;
    return parsed && valid_;
}
