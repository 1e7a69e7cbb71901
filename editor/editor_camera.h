#pragma once
#include <cstdint>

#include "engine/matrix.h"
#include "engine/vec.h"
#include "common/object_e.h"

class edit_ctrl_e;

// Seconds a camera switch or a guarded key action waits before it is taken again.
constexpr float editor_action_delay = 0.2f;

// Base of the editor's two cameras: an object placed by its position and angles whose world frame the
// world process draws from while it is the world's avatar (the avatar alone reads input).
class editor_camera_e : public object_e {
public:
    editor_camera_e();

    const char* get_default_name() const override { return "object_e"; }

    // Places the camera over (x, z) of `point`, keeping its height.
    virtual void set_position(const vec3_t& point);
    virtual vec3_t get_position() const { return position; }
    // The ground point under a normalised screen point (-1 to 1 across the view, y up), at the height
    // of `in_out_point`; the base answers the zero vector.
    virtual void ground_point(float screen_dx, float screen_dy, vec3_t& in_out_point, bool no_snap);
    // The top camera's zoom (0 to 1); the free camera keeps a countdown there instead.
    virtual float zoom_field() const { return 1.0f; }

    // World to normalised screen: x and y -1 to 1 across the view (y up), depth 0 at the near plane and
    // 1 at the far plane after the divide; from the camera's frame and the game's view parameters.
    mat4_t view_projection();
    // The editor controller the world's bridge holds, or null.
    static edit_ctrl_e* controller();
    // The frame time of the world the camera lives in, in seconds.
    float frame_time() const;
    // True when the world's bridge names this camera as its avatar.
    bool is_avatar() const;
    // True when the camera reads the keys: it is the avatar and the console is not open (the keys
    // then type the console's command line).
    bool takes_input() const;

    // The guarded switch to view `view` (edit_view_t) of both cameras: the controller makes that
    // camera current, which takes this camera's position.
    void switch_view(int32_t view);

    // Set by every position change; the projection is recomputed when it is set.
    bool view_changed = true;
    // Counts down after a switch; no switch while it is above 0.
    float switch_timer = editor_action_delay;
    // edit_view_t of the camera.
    int32_t kind = 0;
};
