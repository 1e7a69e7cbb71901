#pragma once
#include <cstdint>

class car_player_e;

// The cab instruments of the player's truck and its HUD feeds: the blinkers and the brake and reverse
// lamps, the dashboard texts and gauges, the cabin's needles, indicator lamps and dial shaders, the
// steering wheel, the radar lamp, and the wipers with the windshields' rain.
class player_instruments_t {
public:
    explicit player_instruments_t(car_player_e& truck) : truck_(truck) {}
    player_instruments_t(const player_instruments_t&) = delete;
    player_instruments_t& operator=(const player_instruments_t&) = delete;

    // Finds the lamp parts and the needle, wiper and steering bones of the build's models.
    void find_parts();
    // The dial shaders of the interior for the headlights' state.
    void setup_interior();

    // Blinkers, brake and reverse lamps, the cabin's lamps and the HUD's arrows.
    void update_lights(float dt);
    // The hazard switch; switched off, both blinker lamps go out.
    void toggle_hazard();
    bool hazard_on() const { return hazard_ != 0; }
    // A blinker switch turns its own side on (the other side off) or off; the blink starts over.
    void toggle_blinker(bool left);
    bool blinker_on(bool left) const { return (left ? blink_left_ : blink_right_) != 0; }
    // The automatic blinkers: a wheel turned past 29 degrees sets its side's blinker, which goes off once
    // the wheel comes back (unless the driver set it).
    void follow_steering(float steering);

    // The main HUD's speed, gear, engine speed and fuel.
    void update_dashboard();
    // The cabin's needles.
    void update_gauges(float dt);
    float speed_needle() const { return speed_needle_; }
    // The cabin's steering wheel, in the cabin view.
    void turn_steering_wheel(float steering);

    // The wipers' sweep and the windshields.
    void update_wipers(float dt);
    // Parks the wipers.
    void reset_wipers();
    // The wiper switch by hand: off, on, finishing the sweep.
    void step_wiper_switch();
    int32_t wiper_mode() const { return wiper_mode_; }
    // A stored wiper mode (one of the three).
    void set_wiper_mode(int32_t mode);
    float wiper_angle() const { return wiper_angle_; }
    void set_windshield_rain(float level);
    void set_rain_shelter(bool sheltered) { rain_shelter_ = sheltered ? 1 : 0; }

    // The police radar's beep and lamp every `seconds` (0 off: the lamp goes out).
    void set_radar_interval(float seconds);
    void update_radar(float dt);

private:
    // Plays the blinker click.
    void click() const;
    // Turns the four wiper bones and sweeps both windshields.
    void turn_wipers(float degrees);

    car_player_e& truck_;
    uint8_t blink_left_ = 0, blink_right_ = 0, hazard_ = 0;
    // The blinker the wheel set, which the wheel clears again.
    uint8_t auto_cancel_ = 0;
    float blink_timer_ = 0.0f;
    // The light bits as last shown.
    uint8_t shown_lights_ = 0;
    float rpm_needle_ = 0.0f, speed_needle_ = 0.0f, cruise_needle_ = 0.0f;
    float wiper_angle_ = 0.0f, wiper_direction_ = 1.0f;
    // 1 off, 2 wiping, 3 finishing the sweep (the truck's wiper modes).
    int32_t wiper_mode_ = 1;
    float windshield_rain_ = 0.0f;
    uint8_t rain_shelter_ = 0;
    float radar_interval_ = 0.0f, radar_timer_ = 0.0f, radar_lamp_timer_ = 0.0f;
    // Cabin parts and bones (-1 missing).
    int32_t part_dl_ = -1, part_dr_ = -1, part_radar_ = -1;
    int32_t bone_rpm_ = -1, bone_speed_ = -1, bone_cruise_ = -1, bone_fuel_ = -1, bone_brake_ = -1;
    int32_t bone_wiper_in_[2] = {-1, -1}, bone_wiper_cabin_[2] = {-1, -1}, bone_steering_ = -1;
};
