#pragma once
#include <cstdint>

#include "engine/matrix.h"
#include "editor/editor_camera.h"

// Heights of the top camera at zoom 0 and the span up to zoom 1 (275000 - 25000 = 250000 at zoom 1).
constexpr float editor_top_height_at_zero = -25000.0f;
constexpr float editor_top_height_span = 275000.0f;
// The lowest height the top camera goes to: zoom 0 would put it below the ground.
constexpr float editor_top_min_height = 1000.0f;
// Zoom change per second while pgup or pgdn is held.
constexpr float editor_top_zoom_rate = 0.4f;

// The map editor's top camera, registered as "editor.camera.top": it looks straight down on the map,
// zooms between two heights, maps pointer positions to the ground and, while it is the avatar, runs
// the editor's key actions.
class editor_camera_top_e : public editor_camera_e {
public:
    static const level_list_t top_camera_init_list;

    editor_camera_top_e();

    const level_list_t* get_init_list() const override { return &top_camera_init_list; }
    // The registered type name.
    virtual const char* get_type_name() const { return "editor.camera.top"; }
    // Phase 0: the key bindings and the start place; phase 10: registration with the controller.
    int init(int phase) override;
    // Counts the action timer down and, while the avatar, runs the input step.
    void handler() override;
    // Places the camera over (x, z) at the height of its zoom and adjusts the far view distance.
    void set_position(const vec3_t& point) override;
    // The ground point under the normalised screen point, snapped to the grid unless `no_snap`.
    void ground_point(float screen_dx, float screen_dy, vec3_t& in_out_point, bool no_snap) override;
    float zoom_field() const override { return zoom; }

    // Zoom keys, then the key actions of the frame.
    void input_step();
    // Runs every key action whose impulse is held, in table order (see editor_keys.h).
    void do_actions(int flag);
    // The height of zoom `value`, never below editor_top_min_height.
    static float height_of_zoom(float value);

    float zoom = 0.1f;
    int32_t grid_unit = 10;
    float inverse_grid_unit = 0.1f;
    // Whole part of the height, for the readout.
    int32_t height_readout = 10;
    // Guards the repeatable actions: at most one per editor_action_delay.
    float action_timer = 0.0f;
};
