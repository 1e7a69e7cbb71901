#pragma once
#include "game/ui_handler_hud_job.h"

// The job HUD drawn in the world ("ui.handler.hud.job3d"): the job HUD under its own type name.
class ui_handler_hud_job3d_t : public ui_handler_hud_job_t {
public:
    const char* get_default_name() const override { return "ui.handler.hud.job3d"; }
    const char* get_type_name() const override { return "ui.handler.hud.job3d"; }
};
