#pragma once
#include "editor/editor_camera.h"

// Far view distance of the free camera.
constexpr float editor_free_far_view = 50000.0f;

// The map editor's free camera, registered as "editor.camera.free": flies through the scene with the
// driving impulses while it is the avatar; its height keys raise and lower the height target.
class editor_camera_free_e : public editor_camera_e {
public:
    static const level_list_t free_camera_init_list;

    editor_camera_free_e();

    const level_list_t* get_init_list() const override { return &free_camera_init_list; }
    // The registered type name.
    virtual const char* get_type_name() const { return "editor.camera.free"; }
    // Phase 0: the switch key and the start place; phase 10: registration with the controller.
    int init(int phase) override;
    // While the avatar, the input step; then the repeat timer.
    void handler() override;
    // Turns, moves, switches back to the top camera and steps the height target.
    void input_step();
    // The repeat timer sits in the zoom field, which keeps the pins away while this camera is current.
    float zoom_field() const override { return action_timer; }

    // Guards the height keys: one step per 0.05 s.
    float action_timer = 0.0f;
};
