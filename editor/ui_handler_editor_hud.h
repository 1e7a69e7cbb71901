#pragma once
#include "engine/ui_handler.h"

// The handler of the map editor's HUD window, registered as "ui.handler.editor.hud". For now only what the
// type registry needs: UI scripts create, name and destroy it by that type name.
class ui_handler_editor_hud_t : public ui_handler_t {
public:
    const char* get_default_name() const override { return "ui.handler.editor.hud"; }
};
