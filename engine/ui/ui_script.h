#pragma once

class ui_handler_t;
class ui_window_t;

// A window built from a UI script, not yet in the window list.
struct ui_built_t {
    ui_window_t* window = nullptr;
    ui_handler_t* handler = nullptr;  // null when the script names none
};

// Reads the UI script at `path` and builds its window: the components by registered type name with
// their properties, the handler, the cache items; then the init phases of every component and the
// handler, `ui_setup`, and the handler's `on_wcreate`. False, with a message naming the file and line,
// when the script is missing or bad (nothing is left behind).
bool ui_script_build(const char* path, ui_built_t& out);
// Ends a built window: the handler's `on_wdestroy`, the destroy phases, the items, the objects.
void ui_script_destroy(ui_built_t& built);
