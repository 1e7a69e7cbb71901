#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ui.h"

// Drives the UI from a test: finds components, moves the pointer, presses buttons and keys, types,
// and reads texts, visibility and what a window's handler was told.

// The component of `window`'s tree with `id` (the window itself first, then depth first in child
// order), or null.
ui_view_t* ui_driver_find(c_item_t* window, int id);
// The window behind an item, or null.
ui_window_t* ui_driver_window(c_item_t* window);

// Pointer: moves it to (x, y) (reference screen, y up), presses and releases buttons there.
bool ui_driver_move(float x, float y);
bool ui_driver_press(uint32_t buttons = ui_button_first);
bool ui_driver_release(uint32_t buttons = ui_button_first);
// Moves to the centre of the view's hit area and presses and releases the first button.
bool ui_driver_click(const ui_view_t* view);
// Keys: one key going down or up, a whole stroke (down then up), and a text typed character by character.
bool ui_driver_key(uint16_t scan, bool down, uint8_t modifiers = 0, char character = 0);
bool ui_driver_stroke(uint16_t scan, uint8_t modifiers = 0, char character = 0);
void ui_driver_type(const char* text);

// A property of a component as text ("" when it has none), and setting one by name as the module does.
std::string ui_driver_get(ui_view_t* view, const char* property);
bool ui_driver_set(ui_view_t* view, const char* property, const char* value);
// The characters of a window's compiled layer (images as '#'), and of what was drawn since `pml_draw_clear`.
std::string ui_driver_layer_text(c_item_t* window, int layer);
std::string ui_driver_drawn_text();

// A handler type for tests, "ui.handler.test.trace", that records its calls in the trace:
// "create", "destroy", "show", "hide", "handler", "pre_wdraw", "post_wdraw", and
// "handle <view id> <code>" (with " <byte>" for code 2, the parameter's first byte). It removes its
// window when a component with id 999 sends code 2.
void ui_driver_register_trace_handler();
// The trace, and adding to it (test components may record their own steps).
const std::vector<std::string>& ui_driver_trace();
void ui_driver_trace_add(const std::string& line);
void ui_driver_trace_clear();
