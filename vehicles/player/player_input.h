#pragma once
#include <cstdint>

class car_player_e;
struct inp_trigger_t;

// The driving input of the player's truck: once a frame the engine's numbered impulses become the
// truck's controls record (pedals, steering by keys, joystick or mouse), gears, switches, camera
// choices and look angles. It keeps the steering settings read from the console variables and the
// shared switch timer that makes one accepted switch hold back the others.
class player_input_t {
public:
    explicit player_input_t(car_player_e& truck) : truck_(truck) {}
    player_input_t(const player_input_t&) = delete;
    player_input_t& operator=(const player_input_t&) = delete;

    // Reads the steering settings: the automatic blinkers, keys, mouse or joystick `joystick` (-1
    // none) and its throttle, brake and steering axes.
    void read_settings(int32_t joystick);
    // 0 keys, 1 joystick, 2 mouse.
    uint8_t control_mode() const { return control_mode_; }
    // The throttle and brake axes (16 none) and how an axis value becomes a pedal: value × scale +
    // offset.
    int32_t brake_axis() const { return axis_brake_; }
    float throttle_offset() const { return throttle_offset_; }
    float throttle_scale() const { return throttle_scale_; }
    float brake_scale() const { return brake_scale_; }

    // One frame of input.
    void drive();
    // The frame's time for the timers that run whether or not input is read.
    void advance(float dt);
    // The engine brake lets go below 10 m/s.
    void release_jake_brake();

    // The switch timer, in seconds since the last accepted switch.
    float switch_timer() const { return debounce_; }
    void set_switch_timer(float seconds) { debounce_ = seconds; }
    // The driver asked for reverse (or forward) while rolling: the gearbox changes once standing a second.
    bool reverse_pending() const { return pending_reverse_ != 0; }
    // Whether the driver keeps the HUD shown.
    bool hud_visible() const { return hud_visible_ != 0; }

private:
    // A switch impulse that is taken while the switch timer exceeds `threshold`; a taken switch restarts
    // the timer.
    bool switch_accepted(int number, float threshold);
    void pedal_forward(float value);
    void pedal_backward(float value);
    // Once a pending change of direction has waited a second: the gearbox goes from `from_gear` one
    // gear up (or down), with the clutch.
    void finish_direction_change(uint8_t& pending, int32_t from_gear, bool up);
    void steer_keys(float dt);
    void steer_joystick(float dt);
    void steer_mouse();
    void driving_step(float dt);
    void switch_impulses(float dt);
    void look_step();
    void camera_impulses(int context);
    void cruise_off();
    // The engine starts: its start sound, the running sound fading in.
    void begin_engine_start();
    void engine_auto_start();
    void open_call911();
    // The body moved less than 20 square centimetres since the last frame.
    bool standing() const;

    car_player_e& truck_;
    uint8_t self_centre_ = 1;
    float mouse_position_ = 0.0f;
    uint8_t pending_forward_ = 0, pending_reverse_ = 0;
    float direction_timer_ = 0.0f;
    float debounce_ = 0.0f;
    int32_t mirror_state_ = 0;
    uint8_t jake_ = 0;
    uint8_t release_message_ = 0;
    uint8_t air_brake_flag_ = 0;
    float air_brake_timer_ = 0.0f;
    uint8_t hud_visible_ = 1;

    // Steering settings.
    uint8_t control_mode_ = 0;
    uint8_t auto_blinkers_ = 1;
    int32_t axis_throttle_ = 16, axis_brake_ = 16, axis_steer_ = 16;
    float steer_sensitivity_ = 0.0f;
    float throttle_offset_ = 0.5f, throttle_scale_ = -0.5f, brake_offset_ = 0.5f, brake_scale_ = -0.5f;
    const inp_trigger_t* joystick_state_ = nullptr;
};
