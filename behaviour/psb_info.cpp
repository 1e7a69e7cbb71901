#include "behaviour/psb_info.h"

#include <cstring>

#include "behaviour/psb_file_name.h"
#include "behaviour/psb_file_text.h"
#include "behaviour/psb_layer.h"
#include "common/engine_api.h"

psb_info_t::psb_info_t(const char* name) : directory_(psb_info_directory(name)) {}

psb_info_t::~psb_info_t()
{
    // Entries go first: their animations were added to the model.
    layers_.clear();
    if (model_)
        api::psm_info_release(model_);
}

psm_info_t* psb_info_t::take_model()
{
    psm_info_t* const model = model_;
    model_ = nullptr;
    return model;
}

bool psb_info_t::set_model(const char* file)
{
    const std::string name = psb_form_file_name(directory_, file);
    if (name.size() >= psb_file_name_limit) {
        api::error("model filename too long (%s)", name.c_str());
        return false;
    }
    psm_info_t* const model = api::psm_alloc_info(name.c_str());
    if (!model)
        return false;
    // A second model tag replaces the first rather than leaking it.
    if (model_)
        api::psm_info_release(model_);
    model_ = model;
    return true;
}

bool psb_info_t::add_layer(const char* file)
{
    const std::string name = psb_form_file_name(directory_, file);
    if (name.size() >= psb_file_name_limit) {
        api::error("layer filename too long (%s)", name.c_str());
        return false;
    }
    auto entry = std::make_unique<psb_layer_entry_t>(*this, name);
    if (!entry->load())
        return false;
    layers_.push_back(std::move(entry));
    return true;
}

void psb_info_t::begin_look(const char* name)
{
    look_error_ = true;
    if (strlen(name) > psb_name_limit) {
        api::error("look name too long");
        return;
    }
    for (const psb_look_t& look : looks_) {
        if (look.name == name) {
            api::error("duplicate look name !");
            return;
        }
    }
    looks_.push_back({name, {}});
    look_error_ = false;
}

void psb_info_t::add_shader(const char* file)
{
    if (look_error_)
        return;
    const std::string name = psb_form_file_name(directory_, file);
    if (name.size() >= psb_file_name_limit) {
        api::error("shader filename too long (%s)", name.c_str());
        return;
    }
    looks_.back().shaders.push_back(name);
}

void psb_info_t::add_skip(int32_t count)
{
    if (look_error_)
        return;
    for (int32_t skipped = 0; skipped < count; ++skipped)
        looks_.back().shaders.emplace_back(psb_skipped_shader);
}

int32_t psb_info_t::find_sound(const char* name)
{
    if (strlen(name) > psb_name_limit) {
        api::error("sound filename too long (%s)", name);
        return -1;
    }
    const auto found = sound_ids_.find(name);
    if (found != sound_ids_.end())
        return found->second;
    const int32_t index = static_cast<int32_t>(sounds_.size());
    sounds_.emplace_back(name);
    sound_ids_.emplace(name, index);
    return index;
}

bool psb_info_t::read(const char* name)
{
    std::string text;
    if (!psb_read_file_text(name, text)) {
        api::error("cannot find psb_info file (%s)", name);
        return false;
    }
    psb_info_actions_t* const enclosing = psb_current_info;
    psb_current_info = this;
    const bool parsed = psb_info_parse_text(text.data(), text.size());
    psb_current_info = enclosing;
    if (!parsed && model_) {
        layers_.clear();
        api::psm_info_release(model_);
        model_ = nullptr;
    }
    return parsed;
}
