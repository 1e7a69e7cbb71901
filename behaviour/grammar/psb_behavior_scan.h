#pragma once
#include <cstddef>
#include <cstdint>

#include "behaviour/psb_block_desc.h"

// Entry points of the behaviour-file grammar: one behaviour's process, attribute values, feature
// states, hold section and block tree.

// Units of a hold animation's frame.
enum psb_hold_unit_t : uint32_t { psb_hold_percent = 2, psb_hold_frames = 3 };

// An attribute value of a behaviour: its type (0 float, 1 integer, 2 boolean) and the value.
struct psb_attribute_value_t {
    uint32_t type = 0;
    union {
        float real;
        int32_t integer;
        bool boolean;
    };
};

// What the grammar's actions do to the behaviour being read (and its layer entry's hold sets).
class psb_behavior_actions_t {
public:
    virtual ~psb_behavior_actions_t() = default;
    virtual bool set_process(const char* process) = 0;
    virtual bool add_attribute_value(const char* name, const psb_attribute_value_t& value) = 0;
    virtual bool add_feature_state(const char* feature, const char* begin, const char* end) = 0;
    // Puts the feature states in feature order.
    virtual void check_feature_states() = 0;
    virtual void set_generated_freeze(bool exact) = 0;
    virtual void begin_holds() = 0;
    // False when no hold was taken.
    virtual bool end_holds() = 0;
    // Adds a hold (frame in `unit`) to the open hold set.
    virtual void add_hold(const char* file, float frame, uint32_t unit, float weight, bool weight_given) = 0;
    // Opens the code section's root block.
    virtual void begin_blocks() = 0;
    // Opens a child of the current block and makes it current.
    virtual void begin_block(const psb_block_desc_t& desc) = 0;
    // Closes the current block; false for an empty base block.
    virtual bool end_block() = 0;
    // Settles the overlay of the current blend block; false unless it has exactly two children.
    virtual bool end_blend() = 0;
    // Stretches the current block's children.
    virtual bool end_normalize() = 0;
    // True when the current block is an animation block or lies within one.
    virtual bool current_block_animation_context() const = 0;
};

// The behaviour being read; set by its reader around one parse.
extern psb_behavior_actions_t* psb_current_behavior;

// Longest hold animation file name.
constexpr size_t psb_hold_file_limit = 64;

// Parses `length` bytes of behaviour-file text; true when accepted.
bool psb_behavior_parse_text(const char* text, size_t length);
// Resets the scanner: line 1, column 0, outside any tag.
void psb_behavior_scan_reset();
// Next token of the current text (0 at its end); sets the token value and location.
int psb_behavior_scan();
// Runs the parser: 0 accepted, 1 stopped, 2 parser stack overflow.
int psb_behavior_parse();
// Reports a parser message with the location of the current token.
void psb_behavior_error(const char* text);
