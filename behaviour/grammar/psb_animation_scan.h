#pragma once
#include <cstddef>

// Entry points of the animation-file grammar: the skeletal animation an animation plays and the
// feature states it starts from and leads to.

// What the grammar's actions do to the animation being read; each false stops the parse.
class psb_animation_actions_t {
public:
    virtual ~psb_animation_actions_t() = default;
    // Adds the skeletal animation file (the model reports its own failures).
    virtual bool add_animation(const char* file) = 0;
    // Records the states `feature` starts from and leads to.
    virtual bool add_feature_state(const char* feature, const char* begin, const char* end) = 0;
};

// The animation being read; set by its reader around one parse.
extern psb_animation_actions_t* psb_current_animation;

// Parses `length` bytes of animation-file text; true when accepted.
bool psb_animation_parse_text(const char* text, size_t length);
// Resets the scanner: line 1, column 0, outside any tag.
void psb_animation_scan_reset();
// Next token of the current text (0 at its end); sets the token value and location.
int psb_animation_scan();
// Runs the parser: 0 accepted, 1 stopped, 2 parser stack overflow.
int psb_animation_parse();
// Reports a parser message with the location of the current token.
void psb_animation_error(const char* text);
