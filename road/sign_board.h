#pragma once
#include <cstdint>
#include <string>

// Compass labels a sign's board shows, by the four bits of its flag word (0 none, 1 north to 4 west).
constexpr int32_t sign_compass_labels = 5;
// Views of a direction-board window.
enum sign_board_view_t : int32_t {
    sign_view_compass = 100,
    sign_view_text = 110,
    sign_view_first_symbol = 120,
    sign_view_second_symbol = 130,
};

// The look key of a board's text view for the place `name` (index `index`, -1 none) in `out_key`:
// a name whose second letter is 'c' shows a blank board, one beginning with 'I' the rest of it in
// white, any other the name in black. Answers the board's road-background choice: 0 for a white
// name, 1 for a black one with a place, -1 otherwise.
int32_t sign_board_key(const char* name, int32_t index, std::string& out_key);

// The compass label of flag value `value`, " " for one past the labels.
const char* sign_compass_label(uint32_t value);
