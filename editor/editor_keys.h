#pragma once
#include <cstdint>

// The editor's key actions: input impulses 50 to 75 named "edit_1" to "edit_26", bound to their keys
// by the top camera, and the two zoom impulses.
enum editor_impulse_t : int32_t {
    editor_impulse_first = 50,
    editor_impulse_switch_camera = 55,
    editor_impulse_find_edge = 56,
    editor_impulse_edge_defaults = 58,
    editor_impulse_help = 60,
    editor_impulse_next_look = 62,
    editor_impulse_previous_look = 63,
    editor_impulse_up = 104,
    editor_impulse_down = 105,
    editor_impulse_zoom_in_step = 116,
    editor_impulse_zoom_out_step = 117,
    editor_impulse_bug_list = 90,
};

// One row of the key table: impulse, action name (null: not renamed), default key (null: not bound).
struct editor_key_t {
    int32_t impulse;
    const char* action;
    const char* key;
};

// The rows in table order (impulse 105 before 104), ending with impulse 0.
extern const editor_key_t editor_keys[];

// Deletes the binding of "esc", then names each impulse of the table and binds its key in context 1.
void bind_editor_keys();
// Names impulse `impulse` `action` and binds `key` to it in context 1.
void bind_editor_key(int32_t impulse, const char* action, const char* key);
