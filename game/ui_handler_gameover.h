#pragma once
#include "engine/ui_handler.h"

// The handler of the game-over window, registered as "ui.handler.gameover". For now only what the type
// registry needs: UI scripts create, name and destroy it by that type name.
class ui_handler_gameover_t : public ui_handler_t {
public:
    const char* get_default_name() const override { return "ui.handler.gameover"; }
};
