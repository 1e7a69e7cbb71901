#include "engine/window.h"

#include "engine/log.h"
#include "engine/reset.h"

namespace {

wnd_record_t record;
hw_context_t context{nullptr};
// Stands for the main window: its address is the window's handle.
char main_window;

void window_reset()
{
    record = wnd_record_t{};
    context.window = nullptr;
}

}  // namespace

const wnd_record_t& wnd_record() { return record; }

ENGINE_API bool wnd_init_gui_connection()
{
    record.calls.emplace_back("wnd_init_gui_connection");
    record.connected = true;
    return true;
}

ENGINE_API bool wnd_register_window_class(void* icon)
{
    record.calls.emplace_back("wnd_register_window_class");
    if (!record.connected) {
        error("wnd_register_window_class: no connection to the window system");
        return false;
    }
    record.class_registered = true;
    record.icon = icon;
    return true;
}

ENGINE_API void* wnd_create_window(const char* title)
{
    record.calls.emplace_back("wnd_create_window");
    if (!record.class_registered || record.created) {
        error("wnd_create_window: %s",
              record.created ? "the main window exists already" : "no window class registered");
        return nullptr;
    }
    record.created = true;
    record.title = title ? title : "";
    context.window = &main_window;
    return context.window;
}

ENGINE_API bool wnd_show_window()
{
    record.calls.emplace_back("wnd_show_window");
    if (!record.created)
        return false;
    record.shown = true;
    return true;
}

ENGINE_API void wnd_destroy_window()
{
    record.calls.emplace_back("wnd_destroy_window");
    record.created = false;
    record.shown = false;
    context.window = nullptr;
}

ENGINE_API hw_context_t* hw_get_context() { return &context; }

static engine_reset_registrar_t window_reset_registrar(reset_order_devices, window_reset);
