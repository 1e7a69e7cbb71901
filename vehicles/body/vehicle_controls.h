#pragma once

// What whoever drives a vehicle sets for it: the player's input, the police truck's pursuit, a test's
// driver. The vehicle's engine and wheel model read it each physics step; the player's cruise control
// sets the throttle itself.
struct vehicle_controls_t {
    // Wheel angle in degrees, positive to the left.
    float steering = 0.0f;
    // The pedals, 0 to 1 (a stop of the police truck brakes harder).
    float throttle = 0.0f;
    float brake = 0.0f;
    // The parking brake: 1 set, 0 released.
    float hold_brake = 0.0f;
};
