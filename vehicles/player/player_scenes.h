#pragma once
#include <cstdint>

class car_player_e;
struct c_item_t;

// The two scenes of the player's truck that take the camera and hold the truck: the police ticket
// (its window with the offence's reason, the fine, the police view until the police leave) and the
// start-of-game intro (an orbit round the truck while the loading screen finishes). Each brings back
// the camera mode it found.
class player_scenes_t {
public:
    explicit player_scenes_t(car_player_e& truck) : truck_(truck) {}
    player_scenes_t(const player_scenes_t&) = delete;
    player_scenes_t& operator=(const player_scenes_t&) = delete;

    // The police stop the truck for `offence`; `amount` -1 charges the standard fine; `charge` false
    // brings back a ticket whose fine was already paid (a load). Nothing while a ticket is shown.
    void open_ticket(int32_t offence, int32_t amount, bool charge);
    // One frame of the ticket scene: the truck held; after 8 s the police leave and the camera returns.
    void update_ticket(float dt);
    bool ticket_running() const { return ticket_scene_ != 0; }
    bool ticket_shown() const { return ticket_window_ != nullptr; }
    // Seconds since the last ticket was given.
    float offence_clock() const { return offence_timer_; }
    void advance_offence_clock(float dt) { offence_timer_ += dt; }
    // Whether `code` is a ticket's reason (110 to 180 in steps of 10).
    static bool ticket_reason_known(int32_t code) { return code >= 110 && code <= 180 && code % 10 == 0; }

    void start_intro();
    // One frame of the intro: the truck held, the loading screen's progress; after 3.2 s the drive starts.
    void update_intro(float dt);
    bool intro_running() const { return intro_running_ != 0; }
    // Stops the intro where it stands, leaving the camera and the loading screen as they are (a truck
    // that drives from its first frame, as in the tests).
    void cut_intro() { intro_running_ = 0; }

    // The camera mode a scene brings back when it ends (a loaded game's mode).
    void set_return_camera(uint8_t mode) { saved_camera_mode_ = mode; }
    // Removes the ticket window.
    void release();

private:
    void hide_ticket_reasons();
    void show_ticket_reason(int32_t code);

    car_player_e& truck_;
    c_item_t* ticket_window_ = nullptr;
    uint8_t ticket_shown_ = 0;
    uint8_t ticket_scene_ = 0;
    float offence_timer_ = 0.0f;
    int32_t intro_running_ = 0;
    // Shared by both scenes: the seconds the scene has run and the camera mode it brings back (the chase
    // view at first).
    float scene_timer_ = 0.0f;
    uint8_t saved_camera_mode_ = 6;
};
