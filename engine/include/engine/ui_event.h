#pragma once
#include <cstdint>

// The input event record the UI hands to views (`ui_view_t::handle_event`), and the control
// callback that reads a click, an accept or a cancel out of it.

// Kinds of event (`ui_event_t::type`); 0 marks an event a view consumed.
enum ui_event_type_t : uint32_t {
    ui_event_none = 0,
    ui_event_pointer = 1,     // a pointer button went down or up (`down`, `buttons`, x, y)
    ui_event_move = 2,        // the pointer moved (x, y, `buttons` held)
    ui_event_key = 3,         // a key went down or up (`down`, `scan`, `character`, `modifiers`)
    ui_event_joy_button = 4,  // a joystick button went down or up (`down`, `buttons`)
    ui_event_pov = 5,         // the joystick's hat changed (`pov`: four direction flags, bytes 0 to 3)
};

// Modifier bits of `ui_event_t::modifiers`.
enum ui_modifier_t : uint8_t {
    ui_mod_left_alt = 0x01,
    ui_mod_right_alt = 0x02,
    ui_mod_shift = 0x10,  // either Shift key
    ui_mod_ctrl = 0x20,   // either Control key
};

// Pointer buttons of `ui_event_t::buttons` (joystick events number their buttons from bit 0 the same way).
constexpr uint32_t ui_button_first = 1;
constexpr uint32_t ui_button_second = 2;
constexpr uint32_t ui_button_third = 4;

// One input event: seven 32-bit words.
struct ui_event_t {
    uint32_t type = ui_event_none;  // a ui_event_type_t
    uint8_t down = 0;               // key-down byte: 1 pressed, 0 released
    uint8_t modifiers = 0;          // ui_modifier_t bits
    uint16_t scan = 0;              // key scan code (DirectInput numbering: 1 Escape, 28 Enter ...)
    uint32_t character = 0;         // the character a key typed, 0 for none
    uint32_t buttons = 0;           // buttons that changed (pointer, joystick events), or held (moves)
    float x = 0.0f;                 // pointer position in the reference screen (y up)
    float y = 0.0f;
    uint32_t pov = 0;  // four hat direction flags, one per byte (up, right, down, left)

    // Marks the event used: later views do not see it.
    void consume()
    {
        type = ui_event_none;
        down = 0;
    }
    bool consumed() const { return type == ui_event_none; }
};
static_assert(sizeof(ui_event_t) == 7 * 4, "the event record is seven words");

// Scan codes the UI itself reads.
enum ui_scan_t : uint16_t {
    ui_key_escape = 0x01,
    ui_key_backspace = 0x0E,
    ui_key_tab = 0x0F,
    ui_key_enter = 0x1C,
    ui_key_pad_enter = 0x9C,
    ui_key_up = 0xC8,
    ui_key_left = 0xCB,
    ui_key_right = 0xCD,
    ui_key_down = 0xD0,
};

// Bits of the control callback's mask.
enum ui_control_t : uint32_t {
    ui_control_press = 0x01,    // the press half of a click: first pointer button down, or Enter down
    ui_control_release = 0x02,  // the release half (the accept): first pointer button up, or Enter up
    ui_control_left = 0x04,     // step left (Left pressed)
    ui_control_right = 0x08,    // step right (Right pressed)
    ui_control_older = 0x10,    // step back in a history (Up pressed)
    ui_control_newer = 0x20,    // step forward (Down pressed)
    ui_control_cancel = 0x100,  // cancel (Escape pressed)
};

// The control callback: the ui_control_t mask an event stands for.
using ui_ctrlcallback_t = uint32_t (*)(const ui_event_t* event);
// The engine's control callback.
ui_ctrlcallback_t ui_get_ctrlcallback();
