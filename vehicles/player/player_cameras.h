#pragma once
#include <cstdint>

#include "engine/matrix.h"
#include "engine/quat.h"
#include "engine/vec.h"

class car_player_e;
struct axial_t;

// The cameras of the player's truck, which is also the game's camera: the frame of each camera mode,
// the smoothing of the chase views, the obstruction test that lowers a blocked view into the cabin, the
// free camera, the look angles, the side mirrors' turn and the switch between modes. The mode itself is
// the truck's camera byte, which the mirror component also sets for the length of one view.
class player_cameras_t {
public:
    explicit player_cameras_t(car_player_e& truck);
    player_cameras_t(const player_cameras_t&) = delete;
    player_cameras_t& operator=(const player_cameras_t&) = delete;

    // The camera frame of the current mode and its inverse; a blocked view is tried again lower down.
    void place(mat4_t& matrix, mat4_t& inverse);
    // Switches the mode: the rain loops of the inside or outside view, the cabin's indicator parts and
    // the HUD items of the inside or outside view follow.
    void set_mode(uint8_t mode);

    // Eases the smoothed yaw towards `target` (the chase views); after reset_heading() it takes the
    // target whole.
    void smooth_heading(const vec3_t& target, float dt);
    void reset_heading() { heading_reset_ = 1; }
    const vec3_t& smoothed_heading() const { return smoothed_heading_; }
    // Puts the dynamic chase view at `yaw` degrees round and `distance` behind at once.
    void set_chase(float yaw, float distance);
    // The fly camera starts at `at`; `step` moves it along the look angles.
    void fly_from(const vec3_t& at) { free_camera_ = at; }
    void move_free_camera(const vec3_t& step);
    // The look angles (pitch, yaw, roll) the look controls turn.
    const vec3_t& look() const { return look_; }
    void set_look(const vec3_t& angles) { look_ = angles; }
    // Turns side mirror `mirror` (0 or 1) by `degrees`, within 20 degrees either way.
    void turn_mirror(int mirror, float degrees);
    // Where the police view looks at the truck from.
    void set_police_point(const vec3_t& at) { police_point_ = at; }
    // Off, no obstruction test is made.
    void set_collision(bool on) { collision_ = on ? 1 : 0; }
    // 0 while the view is clear, down to -90 while it stays blocked.
    float obstruction_pitch() const { return obstruction_pitch_; }
    // Where the camera stood when the world was last seen.
    const vec3_t& viewer_position() const { return viewer_position_; }

private:
    // Builds the frame of the current mode once (no obstruction loop).
    void build_frame(axial_t& frame, float dt);
    // Moves the dynamic chase camera's targets.
    void update_chase_targets(float dt);
    // The pose of the traffic car the traffic views follow; false, outputs untouched, while its slot is
    // empty: the views then stand at the truck itself.
    bool followed_car_pose(vec3_t& out_position, quat_t& out_rotation) const;

    car_player_e& truck_;
    float obstruction_pitch_ = 0.0f;
    uint8_t view_clear_ = 1;
    vec3_t smoothed_heading_;
    uint8_t heading_reset_ = 1;
    float chase_yaw_ = 0.0f, chase_yaw_target_ = 0.0f;
    float chase_distance_ = 0.0f, chase_distance_target_ = 0.0f;
    // Top view shifts, each within -500..0: with a trailer, and out of reverse.
    float top_trailer_shift_ = 0.0f, top_reverse_shift_ = 0.0f;
    vec3_t free_camera_;
    vec3_t viewer_position_;
    vec3_t look_;
    float mirror_angle_[2] = {0.0f, 0.0f};
    quat_t mirror_rotation_[2];
    vec3_t police_point_;
    uint8_t collision_ = 1;
};
