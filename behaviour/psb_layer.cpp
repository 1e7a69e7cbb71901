#include "behaviour/psb_layer.h"

#include <cstring>

#include "common/engine_api.h"

namespace {

// Most features and most states of one feature: ids are stored in one byte.
constexpr uint32_t most_features = 255;
constexpr uint32_t most_states = 255;

// The registry value of a 1-based id (0 means absent).
uintptr_t registry_value(const vptrhash_t<uintptr_t>& registry, const char* name)
{
    return registry.find(name, strlen(name));
}

}  // namespace

void psb_layer_t::set_name(const char* name) { name_ = name; }

bool psb_layer_t::add_process(const char* name, size_t length)
{
    const auto text = [&] { return std::string(name, length); };
    if (length > psb_name_limit) {
        api::error("<psb> process name too long (%s)", text().c_str());
        return false;
    }
    if (processes_.find(name, length)) {
        api::error("<psb> duplicate process name (%s)", text().c_str());
        return false;
    }
    ++process_count_;
    processes_.put(name, length, process_count_);
    return true;
}

bool psb_layer_t::add_attribute(const char* name, size_t length, uint32_t type)
{
    const auto text = [&] { return std::string(name, length); };
    if (length > psb_name_limit) {
        api::error("<psb> attribute name too long (%s)", text().c_str());
        return false;
    }
    if (attributes_.find(name, length)) {
        api::error("<psb> duplicate attribute name (%s)", text().c_str());
        return false;
    }
    if (attribute_count_ > 0xffff) {
        api::error("<psb> too many attributes (%s)", text().c_str());
        return false;
    }
    attributes_.put(name, length, ((uintptr_t{type} << 16) | attribute_count_) + 1);
    ++attribute_count_;
    return true;
}

void psb_layer_t::begin_group() { ++group_counter_; }

bool psb_layer_t::add_feature(const char* name, size_t length)
{
    const auto text = [&] { return std::string(name, length); };
    // A refused feature is not current: its states must not land in the feature before it.
    if (length > psb_name_limit) {
        api::error("<psb> feature name too long (%s)", text().c_str());
        feature_refusal_ = "refused feature";
        current_feature_ = nullptr;
        return false;
    }
    if (features_.find(name, length)) {
        api::error("<psb> duplicate feature name (%s)", text().c_str());
        feature_refusal_ = "duplicate feature";
        current_feature_ = nullptr;
        return false;
    }
    if (feature_count_ >= most_features) {
        api::error("<psb> too many features (%s)", text().c_str());
        feature_refusal_ = "refused feature";
        current_feature_ = nullptr;
        return false;
    }
    feature_refusal_ = nullptr;
    auto feature = std::make_unique<psb_feature_t>();
    feature->name.assign(name, length);
    feature->id = static_cast<uint8_t>(feature_count_ + 1);
    feature->group = group_counter_;
    ++feature_count_;
    current_feature_ = feature.get();
    features_.put(name, length, feature->id);
    feature_list_.push_back(std::move(feature));
    return true;
}

bool psb_layer_t::add_state(const char* name, size_t length)
{
    const auto text = [&] { return std::string(name, length); };
    if (length > psb_name_limit) {
        api::error("<psb> state name too long (%s)", text().c_str());
        return false;
    }
    if (feature_refusal_) {
        api::warning("<psb> ignoring state (%s) (%s)", text().c_str(), feature_refusal_);
        return false;
    }
    if (!current_feature_) {
        api::error("<psb> state (%s) outside any feature", text().c_str());
        return false;
    }
    if (current_feature_->states.find(name, length)) {
        api::error("<psb> duplicate state name (%s)", text().c_str());
        return false;
    }
    if (current_feature_->state_count >= most_states) {
        api::error("<psb> too many states (%s)", text().c_str());
        return false;
    }
    ++current_feature_->state_count;
    current_feature_->states.put(name, length, current_feature_->state_count);
    return true;
}

bool psb_layer_t::set_behaviors_file(const char* name)
{
    if (strlen(name) >= psb_name_limit) {
        api::error("behaviors filename too long ! (%s)", name);
        return false;
    }
    behaviors_file_ = name;
    has_behaviors_file_ = true;
    return true;
}

bool psb_layer_t::set_transitions_file(const char* name)
{
    if (strlen(name) >= psb_name_limit) {
        api::error("<psb> transitions filename too long ! (%s)", name);
        return false;
    }
    transitions_file_ = name;
    has_transitions_ = true;
    return true;
}

bool psb_layer_t::find_feature(const char* feature, const psb_feature_t** out_feature) const
{
    if (strlen(feature) > psb_name_limit) {
        api::error("feature name too long (%s) !", feature);
        return false;
    }
    const uintptr_t id = registry_value(features_, feature);
    if (!id) {
        api::error("<psb> invalid feature name (%s) !", feature);
        return false;
    }
    *out_feature = feature_list_[id - 1].get();
    return true;
}

bool psb_layer_t::find_feature_index(const char* feature, uint8_t* out_index) const
{
    const psb_feature_t* record = nullptr;
    if (!find_feature(feature, &record))
        return false;
    *out_index = static_cast<uint8_t>(record->id - 1);
    return true;
}

bool psb_layer_t::find_state(const char* feature, const char* state, uint8_t* out_index) const
{
    if (strlen(feature) > psb_name_limit) {
        api::error("<psb> feature name too long (%s) !", feature);
        return false;
    }
    const uintptr_t id = registry_value(features_, feature);
    if (!id) {
        api::error("<psb> invalid feature name (%s) !", feature);
        return false;
    }
    if (strlen(state) > psb_name_limit) {
        api::error("feature (%s) state name too long (%s) !", feature, state);
        return false;
    }
    const uintptr_t state_id = registry_value(feature_list_[id - 1]->states, state);
    if (!state_id) {
        api::error("<psb> invalid feature (%s) state name (%s) !", feature, state);
        return false;
    }
    *out_index = static_cast<uint8_t>(state_id - 1);
    return true;
}

bool psb_layer_t::find_process(const char* process, uint32_t* out_index) const
{
    if (strlen(process) > psb_name_limit) {
        api::error("<psb> process name too long (%s) !", process);
        return false;
    }
    const uintptr_t id = registry_value(processes_, process);
    if (!id) {
        api::error("<psb> invalid process name (%s) !", process);
        return false;
    }
    *out_index = static_cast<uint32_t>(id - 1);
    return true;
}

bool psb_layer_t::find_attribute(const char* attribute, uint32_t* out_value) const
{
    if (strlen(attribute) > psb_name_limit) {
        api::error("<psb> attribute name too long (%s) !", attribute);
        return false;
    }
    const uintptr_t value = registry_value(attributes_, attribute);
    if (!value) {
        api::error("<psb> invalid attribute name (%s) !", attribute);
        return false;
    }
    *out_value = static_cast<uint32_t>(value - 1);
    return true;
}

bool psb_layer_t::feature_name(uint32_t index, char* out_buffer, size_t size) const
{
    if (size == 0)
        return false;
    const char* const name = index < feature_list_.size() ? feature_list_[index]->name.c_str() : "unknown feature";
    const size_t length = strlen(name);
    if (length >= size) {
        memcpy(out_buffer, name, size - 1);
        out_buffer[size - 1] = 0;
        return false;
    }
    memcpy(out_buffer, name, length + 1);
    return true;
}

void psb_layer_t::get_state_counts(uint8_t* out_counts) const
{
    for (size_t i = 0; i < feature_list_.size(); ++i)
        out_counts[i] = static_cast<uint8_t>(feature_list_[i]->state_count);
}
