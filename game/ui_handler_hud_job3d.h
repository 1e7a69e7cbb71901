#pragma once
#include "game/ui_handler_hud_job.h"
#include "vehicles/links/job_label.h"

// The job HUD drawn in the world ("ui.handler.hud.job3d"): the job HUD under its own type name, the
// label a job trailer carries above it ("/ui/job.esc").
class ui_handler_hud_job3d_t : public ui_handler_hud_job_t, public job_label_t {
public:
    void show_job(int32_t job) override { ui_handler_hud_job_t::show_job(job); }
    const char* get_default_name() const override { return "ui.handler.hud.job3d"; }
    const char* get_type_name() const override { return "ui.handler.hud.job3d"; }
};
