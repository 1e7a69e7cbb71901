#pragma once
#include <cstdint>

// The player's offences as the traffic counts them: the one the police is after, and the different
// traffic cars the player has hit lately (the count is forgotten every 300 s).
class traffic_offences_t {
public:
    // Different cars hit that bring the police.
    static constexpr int32_t hits_for_police = 3;

    // The offence the police is after, -1 none.
    int32_t pending() const { return pending_; }
    // The police is sent after `code` (its low byte is kept).
    void set_pending(int32_t code) { pending_ = code & 0xFF; }
    // The pending offence is settled or dropped.
    void settle() { pending_ = -1; }

    // Traffic car `car` was hit: the same car hit again counts once; true when it is the third different
    // car, which brings the police.
    bool count_hit(int32_t car)
    {
        if (car == last_car_hit_)
            return false;
        last_car_hit_ = car;
        return ++hits_ >= hits_for_police;
    }
    // The cars hit so far are forgotten (a ticket was given, the police came, or the traffic was reset).
    void forget_hits() { hits_ = 0; }
    int32_t hits() const { return hits_; }

    // One frame of `dt` seconds: once the clock has run past 300 s the cars hit are forgotten and it
    // starts again.
    void tick(float dt)
    {
        if (clock_ <= memory_seconds) {
            clock_ += dt;
            return;
        }
        hits_ = 0;
        clock_ = 0.0f;
    }

private:
    static constexpr float memory_seconds = 300.0f;

    int32_t pending_ = -1;
    int32_t last_car_hit_ = -1;
    int32_t hits_ = 0;
    float clock_ = 0.0f;
};
