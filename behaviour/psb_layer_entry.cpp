#include "behaviour/psb_layer_entry.h"

#include <cstring>

#include "behaviour/psb_file_name.h"
#include "behaviour/psb_file_text.h"
#include "behaviour/psb_info.h"
#include "behaviour/psb_layer.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"

psb_layer_entry_t::psb_layer_entry_t(psb_info_t& info, std::string name)
    : info_(info), name_(std::move(name)), transitions_(*this)
{}

bool psb_layer_entry_t::load()
{
    if (name_.size() >= psb_file_name_limit) {
        api::error("layer name too long (%s)", name_.c_str());
        return false;
    }
    c_item_t* const item = api::mm_precache(name_.c_str());
    if (!item) {
        api::error("cannot load layer file (%s)", name_.c_str());
        return false;
    }
    layer_ = static_cast<const psb_layer_t*>(c_item_lock(item));
    if (!layer_) {
        api::ci_dec_refs(item);
        return false;
    }
    layer_name_ = layer_->get_name();
    state_counts_.assign(layer_->feature_count(), 0);
    layer_->get_state_counts(state_counts_.data());
    if (layer_->has_behaviors_file())
        read_behaviors(psb_form_file_name(info_.directory(), layer_->behaviors_file()));
    if (layer_->has_transitions())
        transitions_.read(psb_form_file_name(info_.directory(), layer_->transitions_file()).c_str());
    layer_ = nullptr;
    c_item_release(item);
    api::ci_dec_refs(item);
    return true;
}

void psb_layer_entry_t::read_behaviors(const std::string& name)
{
    std::string text;
    if (!psb_read_file_text(name.c_str(), text)) {
        api::error("<psb> cannot find psb_behaviors file (%s) at level (%i)", name.c_str(), psb_behaviors_level());
        return;
    }
    if (psb_behaviors_level() > 0) {
        // A group continues the running parse inside its own text.
        psb_behaviors_push_buffer(text.data(), text.size());
        return;
    }
    psb_behaviors_actions_t* const enclosing = psb_current_behaviors;
    psb_current_behaviors = this;
    psb_behaviors_parse_text(text.data(), text.size());
    psb_current_behaviors = enclosing;
}

void psb_layer_entry_t::include_group(const char* file)
{
    const std::string name = psb_form_file_name(info_.directory(), file);
    if (name.size() >= psb_file_name_limit) {
        api::error("<psb> behaviors filename too long ! (%s)", name.c_str());
        return;
    }
    read_behaviors(name);
}

void psb_layer_entry_t::load_behavior(const char* file)
{
    const std::string name = psb_form_file_name(info_.directory(), file);
    if (name.size() >= psb_file_name_limit) {
        api::error("<psb> behavior filename too long ! (%s)", name.c_str());
        return;
    }
    if (behavior_ids_.count(name)) {
        api::warning("<psb> duplicated behavior load (%s)", name.c_str());
        return;
    }
    load_formed_behavior(name);
}

int32_t psb_layer_entry_t::load_formed_behavior(const std::string& name)
{
    if (behaviors_.size() >= psb_layer_id_limit) {
        api::error("<psb> a layer holds at most %zu behaviors - %s not loaded", psb_layer_id_limit, name.c_str());
        return -1;
    }
    const uint16_t id = static_cast<uint16_t>(behaviors_.size());
    auto behavior = std::make_unique<psb_behavior_t>(id, *layer_, *this, holds_);
    if (!behavior->read(name.c_str())) {
        // Its id goes to the next behaviour; hold sets it made stay, unused.
        api::warning("<psb> error loading behavior file (%s) - not loaded", name.c_str());
        return -1;
    }
    behaviors_.push_back(std::move(behavior));
    behavior_ids_.emplace(name, id);
    return id;
}

bool psb_layer_entry_t::find_behavior(const char* file, uint32_t* out_id)
{
    const std::string name = psb_form_file_name(info_.directory(), file);
    if (name.size() >= psb_file_name_limit) {
        api::error("<psb> behavior filename too long ! (%s)", name.c_str());
        return false;
    }
    const auto found = behavior_ids_.find(name);
    const int32_t id = found != behavior_ids_.end() ? static_cast<int32_t>(found->second) : load_formed_behavior(name);
    if (id < 0)
        return false;
    *out_id = static_cast<uint32_t>(id);
    return true;
}

psb_behavior_t* psb_layer_entry_t::new_generated_behavior(uint32_t* out_id)
{
    if (behaviors_.size() >= psb_layer_id_limit) {
        api::error("<psb> a layer holds at most %zu behaviors - blend not made", psb_layer_id_limit);
        return nullptr;
    }
    const uint16_t id = static_cast<uint16_t>(behaviors_.size());
    behaviors_.push_back(std::make_unique<psb_behavior_t>(id, *layer_, *this, holds_));
    behaviors_.back()->mark_generated();
    *out_id = id;
    return behaviors_.back().get();
}

bool psb_layer_entry_t::find_animation(const char* file, uint16_t* out_id, float* out_length, int32_t* out_frames)
{
    const std::string name = psb_form_file_name(info_.directory(), file);
    if (name.size() >= psb_file_name_limit) {
        api::error("<psb> animation filename too long (%s) !", name.c_str());
        return false;
    }
    auto found = animation_ids_.find(name);
    if (found == animation_ids_.end()) {
        if (animations_.size() >= psb_layer_id_limit) {
            api::error("<psb> a layer holds at most %zu animations - %s not loaded", psb_layer_id_limit, name.c_str());
            return false;
        }
        const uint16_t id = static_cast<uint16_t>(animations_.size());
        auto animation = std::make_unique<psb_animation_t>(id, *layer_, info_.model(), info_.directory());
        if (!animation->read(name.c_str())) {
            api::warning("<psb> error loading animation file (%s)", name.c_str());
            return false;
        }
        animations_.push_back(std::move(animation));
        found = animation_ids_.emplace(name, id).first;
    }
    const psb_animation_t& animation = *animations_[found->second];
    *out_id = animation.id();
    if (out_length)
        *out_length = animation.length();
    if (out_frames)
        *out_frames = animation.frame_count();
    return true;
}

bool psb_layer_entry_t::find_animation_id(const char* file, uint16_t* out_id)
{
    return find_animation(file, out_id, nullptr, nullptr);
}

int32_t psb_layer_entry_t::find_sound(const char* name) { return info_.find_sound(name); }

int32_t psb_layer_entry_t::frame_count(uint16_t id) const
{
    return id < animations_.size() ? animations_[id]->frame_count() : 0;
}
