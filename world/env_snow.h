#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "engine/entity.h"
#include "engine/evalue.h"
#include "engine/gfx_render.h"
#include "engine/vec.h"
#include "world/weather.h"
#include "world/weather_box.h"

struct c_item_t;

// Falling snow, registered as "env.snow": a fixed set of flakes (sprites) in a box that travels with
// the camera, drifting down along a wobble path. The environment switches it on and off and hands it
// the snow level as its intensity.
class env_snow_e : public entity_t, public weather_effect_t {
public:
    // Most flakes one entity keeps.
    static constexpr int32_t max_flakes = 65536;

    // Drawn each frame: the draw takes the camera the handler follows.
    env_snow_e() { type_flags |= 2u; }
    ~env_snow_e() override;

    const evalue_def_t* get_evalue_root() const override;
    const char* get_default_name() const override { return "env.snow"; }
    const level_list_t* get_init_list() const override;
    const level_list_t* get_destroy_list() const override;
    // Phase 0 builds the flakes and the wobble path.
    int init(int phase) override;
    int destroy(int phase) override;
    void handler() override;
    void draw() override;

    void set_active(bool active) override { active_ = active; }
    // Draws that share of the flakes; true when it just activated the snow (it never deactivates it).
    bool set_intensity(float level) override;

    // One update of the flakes for a box centred at `centre` after `dt` seconds.
    void update(float dt, const vec3_t& centre);

    bool active() const { return active_; }
    int32_t drawn_flakes() const { return drawn_flakes_; }
    int32_t flake_count() const { return static_cast<int32_t>(flakes_.size()); }
    vec3_t flake(int32_t i) const
    {
        const gfx_sprite_t& s = flakes_[static_cast<size_t>(i)];
        return vec3_t(s.position[0], s.position[1], s.position[2]);
    }
    bool hidden(int32_t i) const { return hidden_[static_cast<size_t>(i)] != 0; }

    // Properties.
    int32_t flakes_count = 100;
    char shader_name[64] = "";
    vec3_t bounding_range{900.0f, 400.0f, 900.0f};
    float falling_speed = 60.0f;
    vec3_t direction{-90.0f, 0.0f, 0.0f};
    float jitter_size = 10.0f;
    float scale_x = 1.0f;
    float scale_y = 1.0f;
    evalue_array_t wind_sounds{};

private:
    void release();

    bool active_ = false;
    weather_box_t box_;
    vec3_t fall_;
    std::vector<gfx_sprite_t> flakes_;
    std::vector<uint8_t> hidden_;
    std::array<vec3_t, 10> wobble_{};
    int32_t drawn_flakes_ = 0;
    float sprite_size_ = 0.0f;
    c_item_t* shader_ = nullptr;
};
