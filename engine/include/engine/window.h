#pragma once
#include <string>
#include <vector>

#include "engine/api.h"

// The engine's main window and hardware context. Headless: no window opens; each call is recorded
// and answers as a window system would, so tests can read what the module asked for.

// The hardware context of the engine: the handle of its main window (null while there is none).
struct hw_context_t {
    void* window;
};

// Opens the connection to the window system; true.
ENGINE_API bool wnd_init_gui_connection();
// Registers the window class of the main window with its icon (may be null). False without a connection.
ENGINE_API bool wnd_register_window_class(void* icon);
// Creates the main window with a title and answers its handle; null without a registered class or
// while a window exists.
ENGINE_API void* wnd_create_window(const char* title);
// Shows the main window; false when there is none.
ENGINE_API bool wnd_show_window();
// Destroys the main window; nothing when there is none.
ENGINE_API void wnd_destroy_window();
// The engine's hardware context (never null).
ENGINE_API hw_context_t* hw_get_context();

// What the window calls did, for tests.
struct wnd_record_t {
    bool connected = false;
    bool class_registered = false;
    void* icon = nullptr;
    bool created = false;
    bool shown = false;
    std::string title;
    std::vector<std::string> calls;  // names of the calls in order
};
const wnd_record_t& wnd_record();
