#pragma once
#include <vector>

#include "frame/scene_proc.h"

// The scene process that draws: entities whose type flags ask for it are kept in a pre-draw list
// (value 4) and a draw list (value 2) and drawn each frame, optionally with a per-entity time profile
// ("p_profile_draws").
class client_proc_t : public scene_proc_t {
public:
    void entity_insert(entity_t* entity) override;
    void entity_remove(entity_t* entity) override;

    // Pre-draws and draws the listed entities, then flushes the render path.
    virtual void draw();

    int draw_count() const { return static_cast<int>(draw_list_.size()); }
    int pre_draw_count() const { return static_cast<int>(pre_draw_list_.size()); }

    // Log lines of the process, prefixed "[name/cl] " with the process's name.
    void cl_message(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    void cl_error(const char* format, ...) const __attribute__((format(printf, 2, 3)));

private:
    std::vector<entity_t*> draw_list_;
    std::vector<entity_t*> pre_draw_list_;
};
