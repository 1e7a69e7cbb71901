#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

class traffic_e;
struct snd_sound_t;

// The motor sounds of the traffic: nine looping channels the near cars share by their sound class,
// each pitched by how fast its car comes nearer or drives away. A car keeps the number of the channel
// it holds; the channel keeps the car.
class traffic_motor_sounds_t {
public:
    static constexpr int channel_count = 9;
    // A channel: the car it plays for (-1 free) and its sound.
    struct channel_t {
        int32_t car = -1;
        snd_sound_t* sound = nullptr;
    };

    explicit traffic_motor_sounds_t(traffic_e& traffic) : traffic_(traffic) {}
    traffic_motor_sounds_t(const traffic_motor_sounds_t&) = delete;
    traffic_motor_sounds_t& operator=(const traffic_motor_sounds_t&) = delete;

    // Makes the channels' sounds (once) and frees every channel.
    void load();
    // Deletes the sounds; no car holds a channel afterwards (the traffic frees its resources).
    void free();
    // Gives `car` a free channel of its sound class, if one is left.
    void start(int32_t car);
    // Gives the car's channel back.
    void stop(int32_t car);
    // Moves the car's channel to the car and pitches it.
    void update(int32_t car);
    // The update's sound step of a car: updates its channel, gives it back or seeks one.
    void step(int32_t car);

    const channel_t& channel(int index) const { return channels_[static_cast<size_t>(index)]; }

private:
    // Whether `index` names a channel.
    static bool is_channel(int32_t index) { return index >= 0 && index < channel_count; }

    traffic_e& traffic_;
    std::array<channel_t, channel_count> channels_{};
};
