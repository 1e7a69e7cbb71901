#pragma once
#include <cstdint>

#include "engine/ui_handler.h"

// The handler of the message box, registered as "ui.handler.msgbox". So far it fills the box
// (`build_buttons`) and keeps the state word `msgbox_get` answers; showing, hiding and the answers of
// the buttons and keys are not built yet.
class ui_handler_msgbox_t : public ui_handler_t {
public:
    // Bits of `msgbox_state`: open, then the answer that replaced it.
    static constexpr uint32_t state_open = 1;
    static constexpr uint32_t state_first = 2;   // OK or Yes
    static constexpr uint32_t state_third = 4;   // Cancel or No
    static constexpr uint32_t state_middle = 8;  // Close
    // Button sets of `build_buttons`, and the flag for the box's second look.
    static constexpr uint32_t set_ok_cancel = 1;
    static constexpr uint32_t set_close = 2;
    static constexpr uint32_t set_yes_no = 4;
    static constexpr uint32_t set_second_look = 8;

    const char* get_default_name() const override { return "ui.handler.msgbox"; }

    // Fills the box: title (component 100), text (110), look (200: "6" with set_second_look, else "5")
    // and the buttons 10, 20 and 30 labelled, shown and hidden by the set (another set leaves them).
    void build_buttons(const char* title, const char* text, uint32_t set, uint8_t pause);

    uint8_t pause_flag = 0;     // the box pauses the game while shown
    uint32_t msgbox_state = 0;  // state bits above
};
