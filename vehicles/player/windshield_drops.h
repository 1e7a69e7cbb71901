#pragma once
#include <cstdint>
#include <memory>

#include "engine/gfx_render.h"
#include "engine/vec.h"

struct c_item_t;

// Rain drops or snow flakes on one windshield of the cab, seen from the interior cameras. Each drop is
// born at a random spot, goes through four looks of a 4 x 4 atlas, runs across the glass with the
// truck's speed, fades and vanishes; the wiper clears every drop it passes over. The whole glass is
// one render packet, skipped while nothing shows.
class windshield_drops_t {
public:
    // One drop (20 bytes of the block).
    struct drop_t {
        float x, y;
        // Seconds until an invisible drop is born again, and since a visible one appeared.
        float wait, age;
        uint8_t visible, cell, stage, spare;
    };
    static constexpr int bytes_per_drop = 128;

    windshield_drops_t() = default;
    ~windshield_drops_t() { release(); }
    windshield_drops_t(const windshield_drops_t&) = delete;
    windshield_drops_t& operator=(const windshield_drops_t&) = delete;

    // Lays out the glass (drops appear in x from -width x x_fraction, in y from height x y_fraction),
    // allocates `count` drops in one block, spawns each once and hides it for up to 13.5 s, and loads
    // both shaders. A count that is not above 0 gives an empty glass.
    void setup(const vec3_t& origin, float width, float height, float x_fraction, float y_fraction, int count);
    // Frees the block and gives back both shaders.
    void release();
    // Births, slides, ages and fades the drops.
    void update(float frame_time);
    // Moves the wiper to `angle` (radians) and clears the drops it passed over.
    void set_wiper_angle(float angle);
    // Hands the packet to the renderer while something shows.
    void draw();
    // Where a drop lies: origin + (x, y, 0).
    void drop_position(int drop, vec3_t& out) const;

    const drop_t& drop(int i) const { return drops_[i]; }
    int count() const { return count_; }
    bool active() const { return active_; }
    const vec3_t* quad(int i) const { return &positions_[4 * i]; }
    const uint32_t* colours(int i) const { return &colours_[4 * i]; }
    const float* uvs(int i) const { return &uvs_[8 * i]; }
    const gfx_data_t& packet() const { return packet_; }

    // Precipitation: above 0 rain (1 the heaviest), below 0 snow (-1 the heaviest), 0 none.
    float level = 0.0f;
    // The truck's speed as the owner feeds it (miles per hour, at most 50).
    float speed = 0.0f;

private:
    // A new random place and a fresh quad for drop i.
    void spawn(int i);
    // Drop i disappears (its atlas corners zeroed).
    void hide(int i);
    // Drop i's corners from atlas table `stage`.
    void set_uvs(int i, int stage);
    // Shrinks drop i's quad about its centre.
    void scale_quad(int i, float factor);
    // Brings a drop that skipped stages to the last look.
    void catch_up(int i);
    // Whether the wiper's sweep from the previous line to the new one covered (x, y).
    bool covered(float x, float y, float first_x, float first_y, float second_x, float second_y) const;

    c_item_t* rain_shader_ = nullptr;
    c_item_t* snow_shader_ = nullptr;
    std::unique_ptr<uint8_t[]> block_;
    gfx_data_t packet_;
    drop_t* drops_ = nullptr;
    vec3_t* positions_ = nullptr;
    float* uvs_ = nullptr;
    uint32_t* colours_ = nullptr;
    uint16_t* indices_ = nullptr;
    float tip_[2] = {0.0f, 0.0f};
    float prev_tip_[2] = {0.0f, 0.0f};
    float prev_angle_ = 0.0f;
    float width_ = 0.0f, height_ = 0.0f;
    float x_min_ = 0.0f, x_span_ = 0.0f, y_min_ = 0.0f, y_span_ = 0.0f;
    int count_ = 0;
    bool moving_up_ = true;
    vec3_t origin_;
    bool active_ = false;
};
