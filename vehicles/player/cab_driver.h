#pragma once
#include "behaviour/psb_animated_model.h"
#include "engine/vec.h"

// The driver in the truck's cab as the cabin view shows him: arms and hands on the steering wheel in
// front of the eye. His behaviours turn the wheel toward the side the player steers to and back.
class cab_driver_t {
public:
    // The driver's description and the feature his steering behaviours change.
    static constexpr const char* info = "/behaviour/cab_driver/cab_driver.info.xml";
    static constexpr const char* layer = "/behaviour/cab_driver/cab_driver.layer.xml";
    // Degrees of the truck's steering from which the driver holds the wheel turned to that side.
    static constexpr float turned = 8.0f;
    // Where the wheel's centre lies from the eye, in the cab's frame (the cabin view draws the cab from
    // the eye).
    static constexpr vec3_t wheel_from_eye{0.0f, -24.0f, -55.0f};

    bool load() { return driver.load(info, layer, "steer"); }
    void unload() { driver.unload(); }
    // Follows the truck's steering (degrees, left positive) and runs the behaviours for `dt` seconds.
    void steer(float steering, float dt);
    // Draws the driver in the cabin view's frame, whose origin is the eye.
    void draw() const;

    psb_animated_model_t driver;
};
