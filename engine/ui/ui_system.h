#pragma once
#include <vector>

#include "ui_script.h"

// State of the UI system shared by its files.

// Show parameter bit of a modal window: events stop there instead of reaching the windows behind it.
constexpr unsigned ui_show_modal = 0x20000000;

// One inserted window.
struct ui_slot_t {
    ui_built_t built;
    bool dying = false;  // removed; destroyed when the current event or frame pass is done
};

// The windows, back to front, and the work in progress.
struct ui_system_t {
    bool initialised = false;
    std::vector<ui_slot_t> windows;  // back to front (shown windows move to the front)
    ui_window_t* splash = nullptr;
    int busy = 0;  // depth of frame passes and event dispatches under way
};

ui_system_t& ui_system();
// The slot of a window, or null.
ui_slot_t* ui_find_slot(const ui_window_t* window);
// Destroys the windows removed while busy (when no longer busy), and releases unused dead items.
void ui_finish_removals();
// One window's drawing work: pre_wdraw, the views' handler, compiling changed layers, drawing (when
// `draw`), post_wdraw.
void ui_window_frame(ui_window_t* window, ui_handler_t* handler, bool draw);
