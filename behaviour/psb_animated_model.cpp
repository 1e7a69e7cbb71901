#include "behaviour/psb_animated_model.h"

#include <cstdint>

#include "behaviour/psb_layer.h"
#include "common/engine_api.h"

bool psb_animated_model_t::load(const char* info, const char* layer, const char* feature)
{
    unload();
    layer_ = api::mm_precache(layer);
    const auto* const found = layer_ ? static_cast<const psb_layer_t*>(layer_->object) : nullptr;
    uint8_t index = 0;
    if (!found || !found->find_feature_index(feature, &index)) {
        api::error("<psb> cannot animate %s: no feature %s in %s", info, feature, layer);
        unload();
        return false;
    }
    model_ = api::psm_alloc(info, 0, 0, 0);
    if (!model_) {
        unload();
        return false;
    }
    feature_name_ = feature;
    feature_ = index;
    return true;
}

void psb_animated_model_t::unload()
{
    if (model_)
        api::psm_free(model_);
    if (layer_)
        api::ci_dec_refs(layer_);
    model_ = nullptr;
    layer_ = nullptr;
    feature_ = -1;
}

int psb_animated_model_t::state_index(const char* state) const
{
    const auto* const layer = layer_ ? static_cast<const psb_layer_t*>(layer_->object) : nullptr;
    uint8_t index = 0;
    return layer && layer->find_state(feature_name_.c_str(), state, &index) ? index : -1;
}

bool psb_animated_model_t::request(const char* state)
{
    const int index = model_ ? state_index(state) : -1;
    return index >= 0 && api::psm_feature_request(model_, 0, feature_, index);
}

bool psb_animated_model_t::is_in(const char* state) const
{
    return model_ && api::psm_feature_get_state(model_, 0, feature_) == state_index(state);
}

void psb_animated_model_t::advance(float seconds)
{
    if (model_)
        api::psm_add_time(model_, seconds);
}
