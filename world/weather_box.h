#pragma once
#include <cmath>
#include <cstdint>

#include "engine/matrix.h"
#include "engine/vec.h"
#include "world/environment_links.h"

// The box of falling rain or snow that travels with the camera: its centre, the wrap that keeps each
// drop inside it, and the map's dry areas where nothing falls.
class weather_box_t {
public:
    // Sets the box's half extents; a component that is not above 0 (or not a number) wraps nothing
    // on its axis.
    void set_range(const vec3_t& range);
    // The centre for the camera matrix: ahead of the camera by `bounding_range` per axis.
    static vec3_t centre_for(const mat4_t& camera, const vec3_t& range);
    // Moves `point` back into the box when it left it by at least one range on an axis (by twice the
    // range times the number of ranges); `shift` receives what was added.
    // Every drop is wrapped every frame, so it stays inline.
    void wrap(vec3_t& point, vec3_t& shift) const
    {
        shift.x = wrap_axis(point.x, range_.x, inverse_.x);
        shift.y = wrap_axis(point.y, range_.y, inverse_.y);
        shift.z = wrap_axis(point.z, range_.z, inverse_.z);
    }
    // Finds the dry area nearest `centre` through the game controller and tells the player's truck
    // whether the centre is under it; false (the truck told nothing) when there is none.
    static bool dry_area(const vec3_t& centre, dry_box_t& out);
    // Whether `point` lies in `box` (bounds inclusive).
    static bool inside(const dry_box_t& box, const vec3_t& point);

    // Keeps the camera of the view being drawn, for the next handler to follow.
    void take_camera();
    // Whether a camera was kept since the box was made.
    bool has_camera() const { return have_camera_; }
    // The centre for the camera last kept.
    vec3_t camera_centre() const { return centre_for(camera_, range_); }
    // Moves the box to `centre`; returns how far its contents must move to stay where they were in the
    // world (nothing on the first move after a restart).
    vec3_t move_to(const vec3_t& centre);
    // Makes the next move a first one, so contents placed around the old centre are not dragged along.
    void restart() { first_move_ = true; }
    const vec3_t& centre() const { return centre_; }

    const vec3_t& range() const { return range_; }
    const vec3_t& inverse() const { return inverse_; }

private:
    // Wraps one coordinate scaled by `inverse` into its range of half-width `range`, answering the
    // shift. A coordinate that is no longer a number cannot be wrapped back; it goes to the centre.
    static float wrap_axis(float& coordinate, const float range, const float inverse)
    {
        const float scaled = coordinate * inverse;
        if (!std::isfinite(scaled)) {
            const float shift = -coordinate;
            coordinate = 0.0f;
            return shift;
        }
        const auto laps = static_cast<float>(std::trunc(scaled));
        if (std::fabs(laps) < 1.0f)
            return 0.0f;
        const float shift = -2.0f * laps * range;
        coordinate += shift;
        return shift;
    }

    vec3_t range_;
    vec3_t inverse_;
    bool have_camera_ = false;
    mat4_t camera_;
    bool first_move_ = true;
    vec3_t centre_;
    vec3_t previous_centre_;
};

// What is added to a hidden drop's height.
constexpr float weather_hidden_drop = 1000000.0f;
