#pragma once
#include <cstdint>

// The input actions a player can bind to keys (driving, the truck's functions, the notebook and map,
// the cameras, the mirrors and the screenshot command), each with its label, the impulse it drives
// (or its console command) and its default key. The controls page lists and rebinds them.

// One action of the table.
struct input_action_t {
    char label[64];        // localisation key "@@o_im_<name>@@"; empty ends the table
    int32_t impulse;       // the impulse driven, -1 for a command action
    const char* command;   // the console command of a command action, else null
    uint32_t default_key;  // trigger code of the default key (keyboard scan code)
};

// Number of actions in the table (the terminator not counted).
constexpr int input_action_count = 40;

// The actions by row, then a terminator with an empty label.
extern const input_action_t input_action_table[input_action_count + 1];

// Binds every action to its default key: an impulse action loses all its bindings first, a command
// action only its first one.
void apply_default_bindings();
