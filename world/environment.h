#pragma once
#include <array>
#include <cstdint>

#include "engine/entity.h"
#include "engine/entity_handle.h"
#include "engine/gfx_render.h"
#include "engine/snd.h"
#include "engine/vec.h"
#include "common/bridge_parts.h"
#include "common/save_game_owners.h"
#include "world/environment_links.h"
#include "world/sky_dome.h"
#include "world/weather.h"

struct c_item_t;

// The light keys of one hour, as the sun definition gives them (colours on a 0..255 scale).
struct sun_key_t {
    vec3_t dir;
    vec3_t amb;
    vec3_t diff;
    vec3_t spec;
};

// The environment, registered as "environment": one per game world, it owns the time-of-day light, the
// sun, lightning and thunder, the sky shown, the view distance and the weather, and keeps the save
// section "3nv1r0nm3nth34d3r". The game controller keeps the clock it reads and sets its sky.
class environment_e : public entity_t,
                      public environment_commands_t,
                      public save_section_owner_t,
                      public ctrl_environment_t,
                      public vehicle_weather_t,
                      public weather_sink_t {
public:
    // Seconds between two light updates.
    static constexpr float light_period = 0.2f;
    // Seconds from a lightning flash to its thunder.
    static constexpr float thunder_delay = 1.5f;

    environment_e();
    ~environment_e() override;

    const evalue_def_t* get_evalue_root() const override;
    const char* get_default_name() const override { return "environment"; }
    // Phases -10 (registration), 0 (loading) and 10.
    const level_list_t* get_init_list() const override;
    int init(int phase) override;
    int destroy(int phase) override;
    // The light every 0.2 s, the weather, a pending thunder.
    void handler() override;
    // The sky round the camera (nothing until a sky is set); the world process draws it first.
    void draw() override;

    // "g_set_time": the clock to `seconds` and the light at once; "g_set_fov": the view's field of view.
    void set_time(int32_t seconds) override;
    void set_fov(int32_t degrees) override;

    // The skies: the horizon shaders of "/defs/seg_server/skies.def".
    int32_t sky_count() const override { return sky_count_; }
    void set_sky(int32_t index) override;
    int32_t sky_index() const override { return sky_index_; }
    void set_sky_blend(float blend) override;
    // The wall heights of the two sky rings for the blend: the lower ring drops by (1 - t) x 64.
    float lower_ring_top() const { return 60.0f - sky_drop(); }
    float lower_ring_bottom() const { return -70.0f - sky_drop(); }
    float upper_ring_bottom() const { return 60.0f - sky_drop(); }

    // The weather state from a road surface class (0..3); -1 and other values change nothing.
    void set_weather_state(int32_t surface_class) override;

    // The light model for a game time in seconds (any multiple of a day gives the same light).
    void update_light(float seconds);
    // Reads the 24 hourly keys of the sun definition `def_name`; false (reported) when it cannot be read.
    bool load_sun_data();

    // Whether the sky is dark enough for vehicle lights.
    bool is_dark() const { return dark_; }
    // The rain and snow classes for the radio and the truck: 0 none or light, 1 medium, 2 heavy.
    int32_t get_rain_level() const { return weather_.rain_class(); }
    int32_t get_snow_level() const { return weather_.snow_class(); }

    // The save section: 63 bytes, 59 before save version 14 (no sky index).
    int32_t save(int file) override;
    int32_t check(int file, int32_t version) override;
    // Checks the section at the file's position without an environment: the bytes it spans (the file
    // left after them), or -1 when a load would refuse it.
    static int32_t check_section(int file, int32_t version);
    int32_t load(int file, int32_t version) override;

    // The weather's changes: to the rain and snow effects and the player's windshields.
    void set_rain_active(bool active) override;
    void set_snow_active(bool active) override;
    void apply_rain_level(float level) override;
    void apply_snow_level(float level) override;
    void windshield(float level) override;

    // What the light model produced last.
    const r_light_t& light() const { return light_; }
    uint32_t sky_colour() const { return sky_colour_; }
    const vec3_t& sun_position() const { return sun_position_; }
    bool sun_placed() const { return sun_placed_; }
    uint32_t sun_colour() const { return sun_sprite_.colour; }
    float sun_size() const { return sun_size_; }
    const weather_t& weather() const { return weather_; }
    weather_t& weather() { return weather_; }
    const std::array<sun_key_t, 24>& sun_keys() const { return keys_; }
    const sky_dome_t& dome() const { return dome_; }

    // The sky colour of the newest light update of any environment (module-wide; white until the first).
    static uint32_t current_sky_colour;
    // The far view distance: 20000 + 30000 x "g_view_dist".
    static float view_distance;

    int32_t start_hour = 8;
    char def_name[64] = "/defs/sun.def";

private:
    // Reads the horizon shaders of the skies.
    void load_skies();
    void free_skies();
    void precache_thunder();
    // Sets the view's near plane, far distance and field of view.
    void set_view();
    // The rain and snow effects of "/scripts/game/rain.esc" and "snow.esc", made inactive.
    void load_effects();
    float sky_drop() const { return (1.0f - sky_blend_) * 64.0f; }
    // Queues the walls, the cap, the sun and the clouds.
    void draw_sky();
    // The game controller's clock, or 0 without one.
    float game_time() const;

    std::array<sun_key_t, 24> keys_{};
    r_light_t light_{};
    r_light_t* world_light_ = nullptr;
    c_item_t* sun_shader_ = nullptr;
    vec3_t sun_position_{};
    bool sun_placed_ = false;
    gfx_sprite_t sun_sprite_{};
    float sun_size_ = 1.0f;
    uint32_t sky_colour_ = 0xFFFFFFFFu;
    float light_timer_ = 0.0f;
    bool dark_ = false;
    bool thunder_pending_ = false;
    bool flash_ = false;
    double lightning_time_ = 0.0;
    snd_sound_t* thunder_[2] = {};
    int32_t sky_index_ = -1;
    int32_t sky_count_ = 0;
    c_item_t** horizon_shaders_ = nullptr;
    float sky_blend_ = 1.0f;
    sky_dome_t dome_;
    // The sky's own shaders: the upper walls and cap, the low and the high clouds.
    c_item_t* up_shader_ = nullptr;
    c_item_t* low_cloud_shader_ = nullptr;
    c_item_t* high_cloud_shader_ = nullptr;
    weather_t weather_;
    entity_handle_t rain_;
    entity_handle_t snow_;
    bool registered_ = false;
    bool background_set_ = false;
};
