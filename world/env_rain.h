#pragma once
#include <cstdint>
#include <vector>

#include "engine/entity.h"
#include "engine/evalue.h"
#include "engine/gfx_render.h"
#include "engine/snd.h"
#include "engine/vec.h"
#include "world/weather.h"
#include "world/weather_box.h"

struct c_item_t;

// Falling rain, registered as "env.rain": a fixed set of drops (small triangles) in a box that travels
// with the camera, drawn as one packet, with a rain sound whose volume follows the intensity over a
// second. The environment switches it and hands it the rain level as its intensity.
class env_rain_e : public entity_t, public weather_effect_t {
public:
    // Most vertices one packet draws, and so most drops worth keeping.
    static constexpr int32_t max_vertices = 8001;
    static constexpr int32_t max_drops = max_vertices / 3;

    // Drawn each frame: the draw takes the camera the handler follows.
    env_rain_e() { type_flags |= 2u; }
    ~env_rain_e() override;

    const evalue_def_t* get_evalue_root() const override;
    const char* get_default_name() const override { return "env.rain"; }
    const level_list_t* get_init_list() const override;
    const level_list_t* get_destroy_list() const override;
    // Phase 0 builds the drops and the sound.
    int init(int phase) override;
    int destroy(int phase) override;
    // Follows the camera taken at the last draw; fades the sound.
    void handler() override;
    void draw() override;

    void set_active(bool active) override { active_ = active; }
    // Above 0.01 the rain is (re)activated and a share of the drops drawn; at most 0.01 it stops.
    bool set_intensity(float level) override;

    // One update of the drops for a box centred at `centre` after `dt` seconds.
    void update(float dt, const vec3_t& centre);
    // The sound's volume `dt` seconds on.
    void fade_sound(float dt);

    bool active() const { return active_; }
    float intensity() const { return intensity_; }
    int32_t drawn_vertices() const { return drawn_vertices_; }
    float volume_target() const { return volume_target_; }
    int32_t drop_count() const { return static_cast<int32_t>(hidden_.size()); }
    // Vertex `k` (0..2) of drop `drop`, relative to the box centre.
    const vec3_t& vertex(int32_t drop, int k) const { return positions_[static_cast<size_t>(drop) * 3 + k]; }
    bool hidden(int32_t drop) const { return hidden_[static_cast<size_t>(drop)] != 0; }
    const vec3_t& centre() const { return box_.centre(); }

    // Properties.
    int32_t item_count = 1000;
    char shader_name[64] = "";
    vec3_t bounding_range{1000.0f, 500.0f, 2000.0f};
    float falling_speed = 180.0f;
    vec3_t direction{-90.0f, 0.0f, 0.0f};
    vec3_t drop_size{0.2f, 0.2f, 2.0f};
    int32_t rain_volume = 100;
    char rain_sound[64] = "";
    evalue_array_t thunder_sounds{};

private:
    // Places every drop at random in the box.
    void build_drops();
    // Moves a drop's three vertices by `offset`.
    void move_drop(int32_t drop, const vec3_t& offset);
    void release();

    bool active_ = false;
    weather_box_t box_;
    vec3_t fall_;
    std::vector<vec3_t> positions_;
    std::vector<float> texcoords_;
    std::vector<uint8_t> hidden_;
    int32_t drawn_vertices_ = 0;
    gfx_data_t packet_;
    c_item_t* shader_ = nullptr;
    float intensity_ = 0.0f;
    snd_sound_t* sound_ = nullptr;
    std::vector<snd_sound_t*> thunder_;
    float volume_start_ = 0.0f;
    float volume_target_ = 0.0f;
    float volume_ = 0.0f;
    float fade_progress_ = 1.0f;
};
