#pragma once
#include <cstdint>

#include "ui/components/ui_handler_game_base.h"

// The handler of the message box, registered as "ui.handler.msgbox": it fills the box
// (`build_buttons`), keeps the state word `msgbox_get` answers, pauses the game while shown when asked,
// and answers by its buttons, Enter and (on a box with only Close) Escape. Keys are read from key
// actions only: a button press carries no key.
class ui_handler_msgbox_t : public ui_handler_game_base_t {
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

    // Ids of the buttons: first (OK, Yes), middle (Close), third (Cancel, No).
    static constexpr int first_button_id = 10;
    static constexpr int middle_button_id = 20;
    static constexpr int third_button_id = 30;

    const char* get_default_name() const override { return "ui.handler.msgbox"; }
    virtual const char* get_type_name() const { return "ui.handler.msgbox"; }

    // Menu sounds, the pointer, the pause when asked; the box is open.
    void on_wshow() override;
    // Resumes a paused game; the box is no longer open (an answer stays).
    void on_whide() override;
    // The buttons (code 2) and the keys Enter and Escape (code 8).
    bool handle(ui_view_t* view, int code, void* param) override;

    // Fills the box: title (component 100), text (110), look (200: "6" with set_second_look, else "5")
    // and the buttons 10, 20 and 30 labelled, shown and hidden by the set (another set leaves them).
    void build_buttons(const char* title, const char* text, uint32_t set, uint8_t pause);

    uint8_t pause_flag = 0;     // the box pauses the game while shown
    uint32_t msgbox_state = 0;  // state bits above
};
