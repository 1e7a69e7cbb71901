#pragma once
#include <cstddef>

// Entry points of the behaviour-list grammar: the behaviour files of one layer, and behaviour groups
// (further behaviour-list files parsed in place, within the same parse).

// What the grammar's actions do for the layer whose list is read.
class psb_behaviors_actions_t {
public:
    virtual ~psb_behaviors_actions_t() = default;
    // Loads a behaviour file into the layer; a behaviour that fails does not stop the list.
    virtual void load_behavior(const char* file) = 0;
    // Reads the group file `file` and pushes its text with `psb_behaviors_push_buffer`; a group that
    // cannot be read pushes nothing (and then stops the list).
    virtual void include_group(const char* file) = 0;
};

// The layer whose list is read; set by its reader around one parse.
extern psb_behaviors_actions_t* psb_current_behaviors;

// Deepest nesting: the top-level list and at most 9 groups below it.
constexpr int psb_behaviors_deepest_level = 10;

// Parses `length` bytes of a top-level behaviour list; true when accepted. The nesting level is 1
// while it runs and 0 again afterwards, whatever the outcome (open group buffers are deleted).
bool psb_behaviors_parse_text(const char* text, size_t length);
// The nesting level: 0 outside a parse, 1 in the top-level list, plus 1 per open group.
int psb_behaviors_level();
// Makes the scanner continue in a copy of `text` (a group file) until that text's root element ends;
// false, with a message and nothing pushed, when groups would nest deeper than the stack holds.
bool psb_behaviors_push_buffer(const char* text, size_t length);
// Deletes the innermost group's text and continues in the enclosing one where it was left.
void psb_behaviors_pop_buffer();
// Resets the scanner: line 1, column 0, outside any tag.
void psb_behaviors_scan_reset();
// Next token of the current text (0 at its end); sets the token value and location.
int psb_behaviors_scan();
// Runs the parser: 0 accepted, 1 stopped, 2 parser stack overflow.
int psb_behaviors_parse();
// Reports a parser message with the location of the current token.
void psb_behaviors_error(const char* text);
