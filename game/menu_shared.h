#pragma once
#include <cstdint>

class ui_comp_list_t;
class ui_handler_game_base_t;
struct c_item_t;

// What the menus and the other screens of the game flow share: the menu music, the windows they open
// through the bridge, the list of saved games and the check of a save name, and the way back.

// A menu window of the current world's bridge: found, or inserted (shown) from `script` and kept by
// the bridge. Null without a world or when the script cannot be built.
c_item_t* menu_window(const char* group, const char* name, unsigned number, const char* script);
// Leaves `from`'s window for that menu window (marking `from` as leaving for another menu); without
// the window, `from`'s window is only hidden.
void menu_open(ui_handler_game_base_t& from, const char* group, const char* name, unsigned number, const char* script);
// Leaves `from`'s window for the menu of the current world: the main menu in the menu world, the
// in-game menu in a game or a preview, none otherwise.
void menu_back(ui_handler_game_base_t& from);
// Runs `menu_back` on the handler of that window of the bridge, when it has one.
void menu_back_from(const char* group, const char* name);
// The handler of a window, held locked by the caller through the window's item; null for none.
ui_handler_game_base_t* window_handler(c_item_t* window);

// Starts the menu music from the beginning (stopping any that plays).
void menu_music_start();
// Starts `path` as the menu music (stopping any that plays); the notebook plays its own track so.
void menu_music_play(const char* path);
// Stops and frees the menu music.
void menu_music_stop();
// True while the menu music plays.
bool menu_music_playing();

// Fills list `list_id` of `handler`'s window with the saved games of "/saves", newest first.
void savegame_list_fill(ui_handler_game_base_t& handler, int list_id);
// The save list's order: the newer file (larger data) first.
int savegame_list_compare(ui_comp_list_t* list, int a, int b);
// True when every character is a letter, a digit, a blank, '-' or '_' (the empty text too).
bool savegame_name_valid(const char* name);
// The list of `handler`'s window with `id`, or null.
ui_comp_list_t* window_list(ui_handler_game_base_t& handler, int id);
