#pragma once
#include "engine/ui_handler.h"

// The handler of the job HUD drawn in the world, registered as "ui.handler.hud.job3d". For now only what the
// type registry needs: UI scripts create, name and destroy it by that type name.
class ui_handler_hud_job3d_t : public ui_handler_t {
public:
    const char* get_default_name() const override { return "ui.handler.hud.job3d"; }
};
