#pragma once
#include <cstdint>

class economy_ctrl_e;
class ui_handler_game_base_t;

// What the notebook's pages, the truck shop and its dialogs share: the company truck slot chosen in the
// notebook, the truck buttons of a page, and the economy they all read.

// The notebook's selected truck slot (0 to 7), or -1 when none is chosen or there is no notebook.
int32_t notebook_get_truck_slot();
// Chooses slot `slot` in the notebook; nothing without a notebook.
void notebook_set_truck_slot(int32_t slot);
// Fills the eight truck buttons first_id .. first_id + 7 of `page`'s window with the trucks of the
// player's company slots (a button of an empty slot is left without a model).
void notebook_truck_preview(ui_handler_game_base_t& page, int32_t first_id);
// The economy of the current world, or null.
economy_ctrl_e* notebook_economy();
