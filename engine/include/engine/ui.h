#pragma once
#include "engine/ui_event.h"
#include "engine/ui_handler.h"
#include "engine/ui_window.h"
#include "engine/vec.h"

struct c_item_t;

// The UI system: windows built from UI scripts, the frame pass, pointers and focus. Windows and views
// are reached through cache items (`c_item_t`, kind view; a window's class flags carry 0x400).

// Starts the UI (registers "ui.window" and "ui.comp.group"); harmless when called again.
void ui_init();
// Destroys every window still open, the pointers and the UI items: the engine's end.
void ui_shutdown();
// The frame pass: every handler's `handler`; then for each visible window, back to front, `pre_wdraw`,
// the views' `handler`, the compilation of changed layers, the drawing, `post_wdraw`; then the pointer.
void ui_process();
// Rebuilds everything compiled (after a change of graphics mode).
void ui_recache();

// Builds a window from the UI script at `script` into `group` under `name` and answers its item (the UI
// holds it; take a reference to keep it). Null, with a message, when the script is missing or bad.
c_item_t* ui_winsert(const char* group, const char* name, unsigned flags, const char* script, bool shown);
// The first window of `group` named `name`, or null.
c_item_t* ui_wget(const char* group, const char* name);
// Shows a window (brought to the front, `param` kept in `show_param`; modal shows take the focus);
// hides it; removes it (destroyed at once, or when the current event or frame pass is done).
void ui_wshow(c_item_t* window, unsigned param);
void ui_whide(c_item_t* window);
void ui_wremove(c_item_t* window);
// Runs a 3-D window's frame work without drawing it, and draws it on the world quad at `origin` spanned
// by `x_axis` and `y_axis` (a window drawn so leaves the 2-D pass).
void ui_wadvance3d(c_item_t* window);
void ui_wdraw3d(c_item_t* window, const vec_t<float, 3>& origin, const vec_t<float, 3>& x_axis,
                const vec_t<float, 3>& y_axis, bool facing, unsigned color);
// The window shown while loading (drawn over everything), or null.
void ui_set_splash(c_item_t* window);
// The reference screen size (1024 x 768).
void ui_get_reference_mode(int* width, int* height);
// Creates a view of a registered type for `ui_window_t::insert_view`, with its cache item; null with a
// message for an unknown type or a type that is not a view.
c_item_t* ui_spawn_ci(const char* type_name);
// Runs the init phases of a spawned view; false when a phase failed.
bool ui_init_ci(c_item_t* item);

// Offers an input event to the windows, front to back: the capturing view, else the view under the
// pointer (pointer events) or the focused view (keys). Answers whether a view used it.
bool ui_dispatch_event(ui_event_t* event);

// Hands the input of the frame to the windows: a pointer move when the cursor moved, then every trigger
// change of the frame (keys with their characters, pointer, joystick and hat buttons) as events. The
// engine's frame runs it after the input devices took the frame's input.
void ui_dispatch_input_frame();

// Pointers: a window from a UI script drawn at the pointer position on top of everything.
// Inserts pointer `index` (0 to 7); false when the script cannot be built.
bool ui_pinsert(int index, const char* script);
// Shows pointer `index`, or hides the pointer with -1.
void ui_pshow(int index);
// Removes pointer `index`.
void ui_premove(int index);
// The window of pointer `index`, or null.
c_item_t* ui_pget(int index);
// The pointer position (reference screen, y up) and whether a pointer is shown.
float ui_pointer_x();
float ui_pointer_y();
int ui_pointer_shown();
