#pragma once

class ui_handler_game_base_t;

// Leaves `from`'s window for the window the menus were opened from: the main menu in the menu world,
// the in-game menu in a game or a preview, the game-over window once the game is over, none otherwise.
void menu_return(ui_handler_game_base_t& from);
