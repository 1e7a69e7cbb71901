#pragma once
#include <cstdint>

struct snd_sound_t;

// City traffic loops a game world plays.
constexpr int32_t game_ctrl_ambient_loops = 5;

// The city's traffic noise around the player: one of five loops, drawn at random each time the truck
// enters a city and stopped when it leaves.
class city_ambience_t {
public:
    city_ambience_t() = default;
    city_ambience_t(const city_ambience_t&) = delete;
    city_ambience_t& operator=(const city_ambience_t&) = delete;
    ~city_ambience_t() { free_sounds(); }

    // Makes the five loops (once; they are replayed).
    void load_sounds();
    void free_sounds();
    // One frame with the truck in city `city` (-1 none).
    void update(int32_t city);
    // A save game was read: its loop plays again.
    void after_load();

    // The loop playing, -1 none; a read one is taken when it names a loop (else it is reported and none
    // plays).
    int32_t current() const { return current_; }
    void restore(int32_t loop);

private:
    // Whether `loop` names one of the loops.
    static bool is_loop(int32_t loop) { return loop >= 0 && loop < game_ctrl_ambient_loops; }

    snd_sound_t* loops_[game_ctrl_ambient_loops] = {};
    int32_t current_ = -1;
};
