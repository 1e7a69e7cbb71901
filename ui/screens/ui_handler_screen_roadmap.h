#pragma once
#include "engine/ui_handler.h"

// The handler of the notebook's road-map page, registered as "ui.handler.screen.roadmap". For now only what
// the type registry needs: UI scripts create, name and destroy it by that type name.
class ui_handler_screen_roadmap_t : public ui_handler_t {
public:
    const char* get_default_name() const override { return "ui.handler.screen.roadmap"; }
};
