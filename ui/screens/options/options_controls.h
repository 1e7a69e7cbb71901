#pragma once
#include <cstdint>

class ui_comp_list_t;
class ui_handler_game_base_t;
class ui_view_t;
struct ui_list_item_t;

// What the option pages share: their controls found by id in their own window, and the console
// variables they read and write (a variable that does not exist is neither read nor written).

// The component `id` of `page`'s window, or null.
ui_view_t* page_view(const ui_handler_game_base_t& page, int id);
// The row list of drop-down (or list) `id` of `page`'s window, or null.
ui_comp_list_t* page_list(const ui_handler_game_base_t& page, int id);
// The id a pick (22) of `view` stands for: the drop-down's when the list is a drop-down's own.
int picked_control_id(const ui_view_t* view);

// Presses radio button `id` (the others of its group are released) without a click sound.
void page_press(ui_handler_game_base_t& page, int id);
// Gives slider `id` the whole-number range `minimum` .. `maximum` (either may be the larger) and puts its
// knob on `value`; a value outside the range (a hand-edited configuration) stands at the nearer end.
void page_set_slider(const ui_handler_game_base_t& page, int id, int minimum, int maximum, int value);
// The whole value slider `id` stands on; 0 without the slider.
int page_slider_value(const ui_handler_game_base_t& page, int id);
// Activates or deactivates component `id`.
void page_activate(const ui_handler_game_base_t& page, int id, bool on);
// Sets the "value" text of component `id`.
void page_set_text(const ui_handler_game_base_t& page, int id, const char* text);
// Selects, in drop-down `id`, the first row matching `key` (its mask picks the field); without one,
// the row selected already, or row 0. Nothing for an empty list.
void page_select_row(const ui_handler_game_base_t& page, int id, const ui_list_item_t& key);
// Appends a row with markup `pml`, text `text` (null: none) and data `data` to `list`.
void list_append(ui_comp_list_t& list, const char* pml, const char* text, uint32_t data);
// Rows compared by their data words, unsigned: 1, -1 or 0.
int list_item_data_compare(ui_comp_list_t* list, int a, int b);
// Rows compared by their texts, without regard to case.
int list_item_text_compare(ui_comp_list_t* list, int a, int b);

// The value text of a console variable, or null when it does not exist.
const char* cvar_text(const char* name);
// Reads a console variable as a whole number / a real; false (out unchanged) when it does not exist.
bool cvar_read_int(const char* name, int& out);
bool cvar_read_float(const char* name, float& out);
// Sets a console variable to "%d" / "%g" of `value` / to `text`; false when it does not exist.
bool set_cvar_int(const char* name, int value);
bool set_cvar_float(const char* name, float value);
bool set_cvar_text(const char* name, const char* text);
// The default text of a console variable (see cvar_chain_string), or null when it does not exist.
const char* cvar_default_text(const char* name);

// Back from an option page: the options host leaves for the menu it came from, then `page` fades out.
void options_back(ui_handler_game_base_t& page);
