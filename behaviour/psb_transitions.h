#pragma once
#include <cstdint>
#include <utility>
#include <vector>

#include "behaviour/grammar/psb_transitions_scan.h"
#include "behaviour/psb_animation.h"

class psb_layer_t;
class psb_behavior_t;

// The transitions of one layer entry: per feature a state-by-state matrix of transition actions, the
// animation each state plays and the matrix settings, and the compound transitions over several
// features, filled by the transitions grammar in file order.

// Kinds of transition action.
enum psb_transition_action_type_t : uint32_t { psb_action_simple = 2, psb_action_compound = 4 };

// What the transitions need of their layer entry.
class psb_transition_sources_t {
public:
    virtual ~psb_transition_sources_t() = default;
    virtual const psb_layer_t& layer() const = 0;
    // The id of an animation file (loading it when needed); false when it cannot be loaded.
    virtual bool find_animation_id(const char* file, uint16_t* out_id) = 0;
    // The id of a behaviour file (loading it when needed); false when it cannot be loaded.
    virtual bool find_behavior(const char* file, uint32_t* out_id) = 0;
    // A new generated behaviour, counted and registered: its id, and the behaviour to fill; null (with a
    // message) when the layer holds as many behaviours as its ids can name.
    virtual psb_behavior_t* new_generated_behavior(uint32_t* out_id) = 0;
};

// The behaviour a transition plays (type 2) or plays for a feature combination (type 4).
struct psb_transition_action_t {
    uint32_t type = 0;
    // Base length of a generated blend behaviour; of no meaning for a played behaviour file.
    float base_length = 0;
    uint32_t behavior_id = 0;
    // Compound actions: the combination's features, sorted by feature.
    std::vector<psb_feature_state_t> features;
};

// The animation a state of a feature plays.
struct psb_state_animation_t {
    uint16_t animation_id = 0;
    bool bound = false;
};

// Settings flags of a feature's matrix.
enum psb_matrix_flag_t : uint8_t { psb_matrix_overlay = 1, psb_matrix_no_stretch = 2 };

// One feature's matrix: cell (from x states + to) holds an action index plus 1 (0: no transition).
struct psb_feature_matrix_t {
    uint32_t state_count = 0;
    std::vector<uint32_t> cells;
    std::vector<psb_state_animation_t> states;
    int32_t priority = 0;
    float overlay = 0;
    uint8_t flags = 0;
};

// One combination of a feature set: per feature its begin and end state, and its action index.
struct psb_compound_combination_t {
    std::vector<std::pair<uint8_t, uint8_t>> states;
    uint32_t action = 0;
};

// The compound transitions over one set of features, combinations in ascending state order.
struct psb_compound_set_t {
    std::vector<uint8_t> features;
    std::vector<psb_compound_combination_t> combinations;
};

// The transitions of a layer entry.
class psb_transitions_t : public psb_transitions_actions_t {
public:
    explicit psb_transitions_t(psb_transition_sources_t& sources) : sources_(sources) {}

    void set_feature(const char* feature) override;
    void default_priority() override;
    void set_priority(int32_t priority) override;
    void clear_overlay() override;
    void set_overlay(float percent) override;
    void set_no_stretch(bool no_stretch) override;
    void set_matrix_state(const char* state, const char* file) override;
    void begin_simple() override;
    void set_from_to(const char* from, const char* to) override;
    void end_transition() override;
    void set_play_behavior(const char* file) override;
    void begin_blend_action(float overlay, uint8_t unit) override;
    void add_blend_animation(int side, const char* file, bool speed_given, float speed, bool weight_given,
                             float weight) override;
    void end_blend_action() override;
    void begin_compound() override;
    void add_compound_feature(const char* feature, const char* from, const char* to) override;
    void end_compound() override;

    // Reads and parses the transitions file `name`; false when it is missing or does not parse.
    bool read(const char* name);

    // Per feature its matrix; empty when the file gave no matrix data.
    const std::vector<psb_feature_matrix_t>& matrices() const { return matrices_; }
    const std::vector<psb_transition_action_t>& actions() const { return actions_; }
    // Group g holds the compound transitions over g + 2 features, sets in ascending feature order.
    const std::vector<std::vector<psb_compound_set_t>>& groups() const { return groups_; }

private:
    // Makes every feature's matrix on the first feature named.
    void allocate_matrices();
    // The matrix of the current feature, or null.
    psb_feature_matrix_t* current_matrix();
    // Appends an action of the mode's type for `behavior_id`: its index.
    uint32_t add_action(uint32_t behavior_id);
    // Files the pending compound features with the action under their feature set.
    void insert_combination(std::vector<psb_feature_state_t> features, uint32_t action);

    psb_transition_sources_t& sources_;
    bool compound_ = false;
    // The transition being read may still be filed; the feature named last resolved.
    bool valid_ = true;
    bool feature_valid_ = false;
    // The action of the transition being read (index plus 1; 0: none).
    uint32_t action_ = 0;
    uint8_t feature_ = 0;
    uint8_t from_ = 0;
    uint8_t to_ = 0;
    // The generated behaviour a blend action fills.
    psb_behavior_t* blend_behavior_ = nullptr;
    std::vector<psb_feature_state_t> pending_;
    std::vector<psb_feature_matrix_t> matrices_;
    std::vector<psb_transition_action_t> actions_;
    std::vector<std::vector<psb_compound_set_t>> groups_;
};
