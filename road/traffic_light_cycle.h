#pragma once
#include <cstdint>
#include <vector>

class game_ctrl_e;

// The light objects of one lit crossing while the traffic holds its road: 16 entry semaphores in
// four groups of four (one group per arm), -1 none.
struct cross_lights_t {
    int32_t ids[16];
    uint8_t disabled;
    int32_t edge;
};

// The traffic lights of a game world: one cycle of eight phases shared by every lit crossing, and the
// light objects of the crossings the traffic holds. It writes the lights of the controller's
// semaphores and the lamp state of its segment server.
class traffic_light_cycle_t {
public:
    explicit traffic_light_cycle_t(game_ctrl_e& ctrl) : ctrl_(ctrl) {}
    traffic_light_cycle_t(const traffic_light_cycle_t&) = delete;
    traffic_light_cycle_t& operator=(const traffic_light_cycle_t&) = delete;

    // Gives the lit crossing `edge` its light object (when the traffic takes its road on).
    void attach(int32_t edge);
    // Takes the light object of `edge` away.
    void detach(int32_t edge);
    // Advances the cycle by `dt` real seconds.
    void step(double dt);
    // Sets the lights of every light object for the phase of `mask`.
    void apply_mask(uint8_t mask);
    // Forgets every light object (the world goes).
    void clear() { crossings_.clear(); }

    // The light objects of the crossings the traffic holds.
    const std::vector<cross_lights_t>& crossings() const { return crossings_; }
    // The phase 0 to 7 and its one-bit mask (0x80 >> phase).
    uint8_t phase() const { return phase_; }
    uint8_t mask() const { return mask_; }

private:
    game_ctrl_e& ctrl_;
    std::vector<cross_lights_t> crossings_;
    uint8_t phase_ = 0;
    // Seconds into the phase.
    float timer_ = 10.0f;
    uint8_t mask_ = 0x80;
};
