#pragma once
#include <cstdint>

// Action codes a component sends up to its window's handler (`ui_handler_t::handle(view, code, param)`),
// and the parameter blocks that go with them. Codes 12 and 13 carry a pointer button going down and up
// over a component; a window's click (13) and a pointer release are the same event.

enum ui_action_type : int {
    ui_action_enter = 0,         // the pointer enters a component
    ui_action_leave = 1,         // the pointer leaves it
    ui_action_pressed = 2,       // a button was pressed (ui_press_param_t), an edit line accepted, a slider moved (int)
    ui_action_propose = 3,       // an edit line proposes a text (ui_text_param_t)
    ui_action_text_changed = 4,  // an edit line's text changed (ui_text_param_t)
    ui_action_grab = 5,          // a slider was grabbed
    ui_action_let_go = 6,        // a slider was let go
    ui_action_key_down = 7,      // a key was pressed (ui_key_param_t)
    ui_action_key_up = 8,        // a key was released (ui_key_param_t)
    ui_action_joy_button = 10,   // a joystick button went down (ui_buttons_param_t)
    ui_action_pov = 11,          // the joystick's hat changed (ui_pov_param_t)
    ui_action_pointer_down = 12,  // a pointer button went down over the component (ui_pointer_param_t)
    ui_action_pointer_up = 13,    // it went up: a click on the component or window (ui_pointer_param_t)
    ui_action_pointer_move = 15,  // the pointer moved over the component or while it captures (ui_pointer_param_t)
    ui_action_focus_lost = 17,    // the component lost the input focus
    ui_action_item_enter = 20,    // lists: the pointer enters or leaves an item
    ui_action_item_leave = 21,
    ui_action_item_selected = 22,  // a list item was selected
    ui_action_item_unselected = 23,
    ui_action_item_activated = 24,
};

// Parameter of code 2 from a button: its pressed flag after the click.
struct ui_press_param_t {
    uint8_t pressed;
};

// Parameter of codes 3 and 4: the text, and for 3 the accept byte a handler may clear.
struct ui_text_param_t {
    const char* text;
    uint8_t accept;
};

// Parameter of codes 7 and 8: the key's scan code first, then its modifiers and character.
struct ui_key_param_t {
    uint16_t key;
    uint8_t modifiers;
    uint8_t character;
};

// Parameter of codes 12, 13 and 15: the button word, a modifiers byte, then x and y (third and fourth
// words, reference screen, y up).
struct ui_pointer_param_t {
    uint32_t buttons;
    uint8_t modifiers;
    uint8_t unused[3];
    float x;
    float y;
};

// Parameter of code 10: the joystick buttons that went down.
struct ui_buttons_param_t {
    uint32_t buttons;
};

// Parameter of code 11: four direction flags in bytes 4 to 7 (up, right, down, left).
struct ui_pov_param_t {
    uint32_t joystick;
    uint8_t flags[4];
};
