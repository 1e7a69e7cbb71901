#pragma once
#include <cstdint>

#include "engine/ui_handler.h"

class ui_comp_logview_t;
class ui_editline_t;

// The handler of the console window ("ui.handler.system.console"): runs the typed command line,
// scrolls the message log with Page Up and Page Down, and hands the screen to the mini console (a
// small log shown while the console is closed) when "g_minicon" asks for it.
class ui_handler_console_t : public ui_handler_t {
public:
    // Ids of the console window's components.
    static constexpr int input_line_id = 1;
    static constexpr int log_view_id = 2;
    static constexpr int version_id = 99;
    // Seconds between two scroll steps while a scroll key is held.
    static constexpr float scroll_interval = 0.05f;

    const char* get_default_name() const override { return "ui.handler.system.console"; }

    void on_wcreate() override;
    void on_wshow() override;
    void on_whide() override;
    bool handle(ui_view_t* view, int code, void* param) override;
    // Per frame: scrolls the log while a scroll key is held.
    void handler() override;

    float scroll_timer = 0.0f;  // seconds left until the next scroll step
    int32_t scroll_step = 0;    // lines per step, positive towards older messages
    uint8_t scrolling = 0;      // 1 while Page Up or Page Down is held

private:
    // The window's log view and input line, or null.
    ui_comp_logview_t* log_view() const;
    ui_editline_t* input_line() const;
    // Starts scrolling `direction` (1 older, -1 newer) by a step the key's modifiers choose.
    void start_scrolling(int direction, uint8_t modifiers);
};
