#pragma once

#include "ui/components/ui_handler_game_base.h"

// The common base of the notebook's pages (routes, trucks, economy, competition, road map): a page is
// a window of the group "notebook" that the notebook host shows below its tab strip. It adds nothing to
// the game's handler base; it names what every page is.
class ui_handler_screen_base_t : public ui_handler_game_base_t {
public:
    ui_handler_screen_base_t() = default;
};
