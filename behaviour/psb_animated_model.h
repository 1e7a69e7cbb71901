#pragma once
#include <string>

struct c_item_t;
struct psm_t;

// A model instance animated by the behaviours of its description (".info.xml"): the game names the
// state one feature of its first layer should reach, and each `advance` lets the model library run the
// behaviours that take it there. Feature and state names are looked up in the layer file the
// description names, so the game's code never depends on the order of the file's features and states.
class psb_animated_model_t {
public:
    psb_animated_model_t() = default;
    psb_animated_model_t(const psb_animated_model_t&) = delete;
    psb_animated_model_t& operator=(const psb_animated_model_t&) = delete;
    ~psb_animated_model_t() { unload(); }

    // Makes the instance of `info` and finds `feature` in the layer file `layer`; false (with a
    // message) when either cannot be read or the layer has no such feature.
    bool load(const char* info, const char* layer, const char* feature);
    void unload();

    // Asks for the feature's state named `state`; false for a name the feature does not have.
    bool request(const char* state);
    // True when the feature is in the state named `state` now.
    bool is_in(const char* state) const;
    // Runs the behaviours for `seconds`.
    void advance(float seconds);

    psm_t* model() const { return model_; }

private:
    // The 0-based index of the feature's state `state`, -1 (with a message) when it has none.
    int state_index(const char* state) const;

    psm_t* model_ = nullptr;
    c_item_t* layer_ = nullptr;
    std::string feature_name_;
    int feature_ = -1;
};
