#include "behaviour/psb_animation.h"

#include "behaviour/psb_file_name.h"
#include "behaviour/psb_file_text.h"
#include "behaviour/psb_layer.h"
#include "common/engine_api.h"

psb_animation_t::psb_animation_t(uint16_t id, const psb_layer_t& layer, psm_info_t* model, std::string directory)
    : id_(id), layer_(layer), model_(model), directory_(std::move(directory))
{}

bool psb_animation_t::add_animation(const char* file)
{
    const std::string name = psb_form_file_name(directory_, file);
    if (name.size() >= psb_file_name_limit) {
        api::error("animation filename too long (%s) !", name.c_str());
        return false;
    }
    int index = -1;
    if (api::psm_anim_add_file(model_, name.c_str(), &index) < 0 || index < 0) {
        api::error("cannot add animation to psm (%s) !", name.c_str());
        return false;
    }
    psm_index_ = index;
    frame_count_ = api::psm_anim_get_frames(model_, index);
    length_ = api::psm_anim_get_length(model_, index);
    return true;
}

bool psb_animation_t::add_feature_state(const char* feature, const char* begin, const char* end)
{
    psb_feature_state_t state{};
    if (!layer_.find_feature_index(feature, &state.feature) || !layer_.find_state(feature, begin, &state.begin) ||
        !layer_.find_state(feature, end, &state.end))
        return false;
    feature_states_.push_back(state);
    return true;
}

bool psb_animation_t::read(const char* name)
{
    std::string text;
    if (!psb_read_file_text(name, text)) {
        api::error("<psb> cannot find psb_animation file (%s)", name);
        return false;
    }
    psb_animation_actions_t* const enclosing = psb_current_animation;
    psb_current_animation = this;
    const bool parsed = psb_animation_parse_text(text.data(), text.size());
    psb_current_animation = enclosing;
    return parsed;
}
