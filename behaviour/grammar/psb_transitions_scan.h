#pragma once
#include <cstddef>
#include <cstdint>

// Entry points of the transitions-file grammar: per feature a matrix of state animations and simple
// transitions, and compound transitions over several features, each playing a behaviour or a blend.

// What the grammar's actions do to the transitions table being filled; the grammar uses none of the
// results (the table reports its own refusals).
class psb_transitions_actions_t {
public:
    virtual ~psb_transitions_actions_t() = default;
    virtual void set_feature(const char* feature) = 0;
    virtual void default_priority() = 0;
    virtual void set_priority(int32_t priority) = 0;
    virtual void clear_overlay() = 0;
    // `percent` is the number written before "%" (50 for "50%").
    virtual void set_overlay(float percent) = 0;
    virtual void set_no_stretch(bool no_stretch) = 0;
    virtual void set_matrix_state(const char* state, const char* file) = 0;
    virtual void begin_simple() = 0;
    virtual void set_from_to(const char* from, const char* to) = 0;
    virtual void end_transition() = 0;
    virtual void set_play_behavior(const char* file) = 0;
    // `overlay` in seconds (unit 1) or as the number written before "%" (unit 2).
    virtual void begin_blend_action(float overlay, uint8_t unit) = 0;
    // `side` is 1 for the from animation, 0 for the to animation.
    virtual void add_blend_animation(int side, const char* file, bool speed_given, float speed, bool weight_given,
                                     float weight) = 0;
    virtual void end_blend_action() = 0;
    virtual void begin_compound() = 0;
    virtual void add_compound_feature(const char* feature, const char* from, const char* to) = 0;
    virtual void end_compound() = 0;
};

// The transitions table being filled; set by its reader around one parse.
extern psb_transitions_actions_t* psb_current_transitions;

// Parses `length` bytes of transitions-file text; true when accepted.
bool psb_transitions_parse_text(const char* text, size_t length);
// Resets the scanner: line 1, column 0, outside any tag.
void psb_transitions_scan_reset();
// Next token of the current text (0 at its end); sets the token value and location.
int psb_transitions_scan();
// Runs the parser: 0 accepted, 1 stopped, 2 parser stack overflow.
int psb_transitions_parse();
// Reports a parser message with the location of the current token.
void psb_transitions_error(const char* text);
