#pragma once
#include "vehicles/links/player_links.h"

// The presser of the HUD's buttons that the player's truck feeds (the blinker arrows): it knows the
// button component, which the truck does not.
hud_buttons_t& ui_hud_buttons();
