#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "../frame/frame_fixture.h"
#include "engine/command_line.h"
#include "engine/gfx_record.h"
#include "engine/random.h"
#include "engine/vfs.h"
#include "engine_testing/test_entity_type.h"
#include "common/game_bridge.h"
#include "frame/game_process.h"
#include "frame/type_registry.h"
#include "frame/world_types.h"
#include "world/env_rain.h"
#include "world/environment.h"
#include "world/environment_colour.h"

namespace {

// A sun definition whose hour h has direction (h, 1, 0) and ambient (10 h, 10 h, 10 h); the diffuse
// and specular keys stay 0, so the sky colour is the ambient alone (over 255).
std::string sun_definition()
{
    std::string text = "sun_data {\n";
    for (int h = 0; h < 24; ++h) {
        char line[160];
        std::snprintf(line, sizeof line, "dir%d = %d,1,0\namb%d = %d,%d,%d\ndiff%d = 0,0,0\nspec%d = 0,0,0\n", h, h, h,
                      10 * h, 10 * h, 10 * h, h, h);
        text += line;
    }
    return text + "}\n";
}

// The game controller's clock as the environment reads it, registered as the base controller.
class test_clock_e : public object_e, public environment_ctrl_t {
public:
    int init(const int phase) override
    {
        const int result = object_e::init(phase);
        if (phase == -10 && get_game_bridge())
            get_game_bridge()->register_base_ctrl(handle());
        return result;
    }
    float game_time() const override { return clock; }
    void set_game_time(float seconds) override { clock = seconds; }
    bool nearest_dry_box(const vec3_t&, dry_box_t& out) override
    {
        out = dry;
        return has_dry;
    }
    void set_road_lighting(const vec3_t& direction, const vec3_t& diffuse, const vec3_t& ambient) override
    {
        road_direction = direction;
        road_diffuse = diffuse;
        road_ambient = ambient;
    }
    vec3_t road_direction;
    vec3_t road_diffuse;
    vec3_t road_ambient;
    float clock = 0.0f;
    bool has_dry = false;
    dry_box_t dry;
};

// What the weather told its effects and the windshields.
class recording_sink_t : public weather_sink_t {
public:
    void set_rain_active(bool active) override { rain_active = active; }
    void set_snow_active(bool active) override { snow_active = active; }
    void apply_rain_level(float level) override { rain_levels.push_back(level); }
    void apply_snow_level(float level) override { snow_levels.push_back(level); }
    void windshield(float level) override { windshields.push_back(level); }
    bool rain_active = false;
    bool snow_active = false;
    std::vector<float> rain_levels;
    std::vector<float> snow_levels;
    std::vector<float> windshields;
};

class environment_test : public world_test_t {
protected:
    void SetUp() override
    {
        world_test_t::SetUp();
        write_data_file("defs/sun.def", sun_definition());
    }

    // An environment with the test keys read.
    environment_e& loaded()
    {
        EXPECT_TRUE(environment_.load_sun_data());
        return environment_;
    }

    environment_e environment_;
};

TEST_F(environment_test, the_sun_sets_after_twenty_and_rises_after_six)
{
    environment_e& e = loaded();
    e.update_light(20.5f * 3600.0f);
    const uint32_t sky = e.sky_colour();
    // k = round(0.5 x 255) = 128 scales each colour byte; the sun grows to twice its size.
    const uint32_t byte = sky & 0xFFu;
    const uint32_t scaled = (byte * 128u + 127u) / 255u;
    EXPECT_EQ(e.sun_colour(), 0xFF000000u | scaled | scaled << 8 | scaled << 16);
    EXPECT_NEAR(e.sun_size(), 2.0f, 1e-5f);

    e.update_light(21.0f * 3600.0f);
    EXPECT_EQ(e.sun_colour(), 0u);
    EXPECT_FLOAT_EQ(e.sun_size(), 1.0f);

    e.update_light(6.25f * 3600.0f);
    const uint32_t dawn = e.sky_colour() & 0xFFu;
    EXPECT_EQ(e.sun_colour() & 0xFFu, (dawn * 64u + 127u) / 255u) << "k = 64 at 06:15";
}

TEST_F(environment_test, half_past_eleven_blends_hour_twenty_three_with_midnight)
{
    environment_e& e = loaded();
    e.update_light(23.5f * 3600.0f);
    EXPECT_NEAR(e.light().direction[0], 11.5f, 1e-4f) << "halfway from 23 to 0";
    EXPECT_NEAR(e.light().ambient[0], 115.0f / 255.0f, 1e-4f);
    // A later day of the week, and a clock set backwards, name the same time of day.
    const float ambient = e.light().ambient[0];
    e.update_light(23.5f * 3600.0f + 3 * 86400.0f);
    EXPECT_FLOAT_EQ(e.light().ambient[0], ambient);
    e.update_light(-0.5f * 3600.0f);
    EXPECT_FLOAT_EQ(e.light().ambient[0], ambient) << "a negative time indexes no table outside its 24 hours";
}

TEST_F(environment_test, a_sun_straight_along_z_gets_no_place_and_clouds_darken_the_light)
{
    write_data_file("defs/flat.def", "sun_data { dir12 = 0,0,1; diff12 = 76.5,255,0; amb12 = 0,0,0; }\n");
    std::snprintf(environment_.def_name, sizeof environment_.def_name, "/defs/flat.def");
    ASSERT_TRUE(environment_.load_sun_data());
    environment_.weather().cloudiness = 1.0f;
    environment_.update_light(12.0f * 3600.0f);
    EXPECT_FALSE(environment_.sun_placed());
    EXPECT_EQ(environment_.light().diffuse[0], 0.0f) << "0.3 less 0.45 stops at 0";
    EXPECT_NEAR(environment_.light().diffuse[1], 0.55f, 1e-5f);
    EXPECT_TRUE(environment_.is_dark());
}

TEST_F(environment_test, a_missing_sun_definition_is_reported)
{
    std::snprintf(environment_.def_name, sizeof environment_.def_name, "/defs/none.def");
    EXPECT_FALSE(environment_.load_sun_data());
    EXPECT_TRUE(engine_log_has("failed to read sun data."));
}

TEST_F(environment_test, a_set_sky_draws_its_walls_cap_sun_and_the_clouds_the_cover_calls_for)
{
    write_data_file("defs/seg_server/skies.def",
                    "skies { sky_shader_count = 1; sky_shader0 = /shaders/skies/h.shd; }\n");
    for (const char* shader : {"h", "up", "scll", "sclh", "sun"})
        write_data_file(std::string("shaders/skies/") + shader + ".shd", "texture 8 8\n");
    ASSERT_EQ(environment_.init(0), 0);
    environment_.draw();
    EXPECT_TRUE(gfx_record_current().data.empty()) << "no sky until one is set";
    environment_.set_sky(0);
    environment_.update_light(12.0f * 3600.0f);
    environment_.draw();
    // Eight walls and the cap, then the low clouds only (cover 0.5); the sun at noon.
    EXPECT_EQ(gfx_record_current().data.size(), 10u);
    EXPECT_EQ(gfx_record_current().sprites.size(), 1u);
    const sky_dome_t& dome = environment_.dome();
    EXPECT_EQ(dome.cap_colours[3], environment_.sky_colour());
    EXPECT_EQ(dome.low_clouds[0] >> 24, 127u) << "the low clouds' centre: (1 - 0.5) x 255";
    EXPECT_EQ(dome.low_clouds[1] >> 24, 0u) << "their rim is clear";
    environment_.set_sky_blend(0.5f);
    EXPECT_FLOAT_EQ(dome.walls[0][0].y, 60.0f - 32.0f) << "the lower ring drops by (1 - t) x 64";
    EXPECT_FLOAT_EQ(dome.walls[4][0].y, 300.0f);
    EXPECT_FLOAT_EQ(dome.walls[1][0].z, -352.0f) << "the second side faces -z";
    environment_.destroy(0);
}

// The weather rolled over many periods from the engine's seeded source.
struct roll_counts_t {
    int rain = 0;
    int snow = 0;
    int storm = 0;
};
roll_counts_t roll_many(int state, int rolls)
{
    weather_t weather;
    weather.set_state(state);
    recording_sink_t sink;
    roll_counts_t counts;
    for (int i = 0; i < rolls; ++i) {
        weather.update(121.0f, sink);
        counts.rain += weather.rain_on;
        counts.snow += weather.snow_on;
        counts.storm += weather.storm_on;
    }
    return counts;
}

TEST_F(environment_test, seeded_weather_rolls_repeat_and_state_one_never_rains)
{
    random_reset();
    const roll_counts_t first = roll_many(1, 300);
    random_reset();
    const roll_counts_t again = roll_many(1, 300);
    EXPECT_EQ(first.rain, 0);
    EXPECT_GT(first.snow, 100);
    EXPECT_EQ(first.snow, again.snow);
    EXPECT_EQ(first.storm, again.storm);
    const roll_counts_t rainy = roll_many(3, 300);
    EXPECT_GT(rainy.rain, 20);
    EXPECT_EQ(rainy.snow, 0);
}

TEST_F(environment_test, leaving_state_one_rolls_on_the_next_frame)
{
    weather_t weather;
    recording_sink_t sink;
    weather.update(0.02f, sink);  // the first frame rolls at once
    EXPECT_FLOAT_EQ(weather.roll_timer, 0.0f);
    weather.set_state(0);
    weather.set_state(2);
    EXPECT_LT(weather.roll_timer, 1.0f) << "0 to 2 does not roll";
    weather.set_state(1);
    weather.set_state(3);
    EXPECT_GT(weather.roll_timer, weather_t::roll_period);
}

TEST_F(environment_test, rain_levels_step_toward_the_clouds_and_a_fade_ends)
{
    weather_t weather;
    recording_sink_t sink;
    weather.roll_timer = 0.0f;
    weather.rain_on = 1;
    weather.rain_level = 0.5f;
    weather.cloudiness = 1.0f;
    weather.cloud_drift = 0.05f;
    for (int step = 1; step <= 12; ++step) {
        weather.level_timer = 5.5f;
        weather.update(0.0f, sink);
        EXPECT_NEAR(weather.rain_level, std::min(0.5f + 0.05f * step, 1.0f), 1e-5f) << step;
    }
    EXPECT_EQ(weather.rain_class(), 2);
    weather.rain_level = 0.7f;
    EXPECT_EQ(weather.rain_class(), 1);
    weather.rain_level = 0.1f;
    EXPECT_EQ(weather.rain_class(), 0);

    weather.rain_on = 0;
    weather.rain_fading = 1;
    weather.rain_fade_level = 0.0005f;
    weather.update(0.0f, sink);
    EXPECT_EQ(weather.rain_fading, 0);
    EXPECT_FALSE(sink.rain_active);
    EXPECT_EQ(sink.windshields.back(), 0.0f);
}

// Writes the environment's section into a file and reads it back with `version`.
int32_t round_trip(environment_e& from, environment_e& to, int32_t version, int32_t* written)
{
    const int out = api::vfs_open("/section.bin", 0x301, 0x1b6);
    *written = from.save(out);
    api::vfs_close(out);
    const int in = api::vfs_open("/section.bin", 0, 0);
    const int32_t read = to.load(in, version);
    api::vfs_close(in);
    return read;
}

TEST_F(environment_test, the_save_section_round_trips_and_older_saves_keep_the_sky)
{
    environment_e saved;
    saved.weather().cloudiness = 0.75f;
    saved.weather().rain_on = 1;
    saved.weather().rain_level = 0.4f;
    saved.weather().snow_fade_level = 0.25f;
    environment_e restored;
    int32_t written = 0;
    EXPECT_EQ(round_trip(saved, restored, 14, &written), 63);
    EXPECT_EQ(written, 63);
    EXPECT_FLOAT_EQ(restored.weather().cloudiness, 0.75f);
    EXPECT_EQ(restored.weather().rain_on, 1);
    EXPECT_FLOAT_EQ(restored.weather().rain_level, 0.4f);
    EXPECT_FLOAT_EQ(restored.weather().snow_fade_level, 0.25f);
    EXPECT_EQ(restored.sky_index(), -1);

    environment_e older;
    EXPECT_EQ(round_trip(saved, older, 13, &written), 59) << "no sky index before version 14";
}

TEST_F(environment_test, a_section_with_another_magic_or_bad_values_changes_nothing_unsafe)
{
    const int out = api::vfs_open("/bad.bin", 0x301, 0x1b6);
    uint8_t bytes[63] = {'x'};
    api::vfs_write(out, bytes, sizeof bytes);
    api::vfs_close(out);
    environment_e e;
    e.weather().cloudiness = 0.3f;
    int in = api::vfs_open("/bad.bin", 0, 0);
    EXPECT_EQ(e.load(in, 14), -1);
    api::vfs_close(in);
    EXPECT_FLOAT_EQ(e.weather().cloudiness, 0.3f);

    // A sky beyond the skies held and a cloud cover that is not a number are not taken as they stand.
    environment_e saved;
    saved.weather().cloudiness = std::numeric_limits<float>::quiet_NaN();
    int32_t written = 0;
    const int file = api::vfs_open("/nan.bin", 0x301, 0x1b6);
    saved.save(file);
    api::vfs_close(file);
    in = api::vfs_open("/nan.bin", 0, 0);
    EXPECT_EQ(e.load(in, 14), 63);
    api::vfs_close(in);
    EXPECT_FLOAT_EQ(e.weather().cloudiness, 0.0f);
    (void)written;

    uint8_t section[63] = "3nv1r0nm3nth34d3r";
    section[59] = 5;  // sky 5 of an environment that holds none
    const int sky_file = api::vfs_open("/sky.bin", 0x301, 0x1b6);
    api::vfs_write(sky_file, section, sizeof section);
    api::vfs_close(sky_file);
    in = api::vfs_open("/sky.bin", 0, 0);
    EXPECT_EQ(e.load(in, 14), 63);
    api::vfs_close(in);
    EXPECT_EQ(e.sky_index(), -1);
    EXPECT_FALSE(engine_log_matching("the save names sky 5, of 0").empty());
}

// A game world with the real environment and a test clock as its controller.
class environment_world_test : public environment_test {
protected:
    void SetUp() override
    {
        environment_test::SetUp();
        static const entity_reg_t record = test_entity_type<test_clock_e>("test.clock");
        if (!entity_find_type(record.type_name))
            entity_register(&record);
        for (int i = 0; i < entity_type_row_count(); ++i)
            if (std::string(entity_type_rows()[i].type_name) == "environment" && !entity_find_type("environment"))
                entity_register(&entity_type_rows()[i]);
        write_data_file("scripts/game/game.esc",
                        "entity test.clock { name = \"clock\"; }\nentity environment { name = \"environment\"; }\n");
        cdl_set({"kavrenta"});
        game_ = game_process_t::create_and_start();
    }

    game_process_t* game_ = nullptr;
};

TEST_F(environment_world_test, set_time_twenty_sets_the_clock_to_72000_seconds_and_relights_at_once)
{
    api::cmd_execute("map xyz");
    game_bridge_t* bridge = get_game_bridge();
    ASSERT_NE(bridge, nullptr);
    const held_part_t<environment_e> environment(bridge->environment());
    const held_part_t<test_clock_e> clock(bridge->base_ctrl());
    ASSERT_NE(environment.get(), nullptr);
    ASSERT_NE(clock.get(), nullptr);
    EXPECT_FLOAT_EQ(clock.get()->clock, 8.0f * 3600.0f) << "the start hour sets the clock";
    const uint32_t morning = environment.get()->sky_colour();
    api::cmd_execute("g_set_time 20");
    EXPECT_FLOAT_EQ(clock.get()->clock, 72000.0f);
    EXPECT_NE(environment.get()->sky_colour(), morning);
    EXPECT_EQ(environment.get()->sky_colour(), environment_e::current_sky_colour);
    api::cmd_execute("g_set_time");
    EXPECT_FLOAT_EQ(clock.get()->clock, 72000.0f) << "without an argument nothing changes";
    api::cmd_execute("g_set_time -5");
    EXPECT_FLOAT_EQ(clock.get()->clock, 19.0f * 3600.0f) << "five hours before midnight";
}

TEST_F(environment_world_test, drops_under_a_dry_area_are_hidden_and_come_back_when_it_is_left)
{
    api::cmd_execute("map xyz");
    const held_part_t<test_clock_e> clock(get_game_bridge()->base_ctrl());
    ASSERT_NE(clock.get(), nullptr);
    clock.get()->has_dry = true;
    clock.get()->dry = {{0, 0, 0}, {-300, -1000, -300}, {300, 1000, 300}};
    env_rain_e rain;
    rain.item_count = 400;
    rain.falling_speed = 0.0f;
    ASSERT_EQ(rain.init(0), 0);
    rain.set_intensity(1.0f);
    rain.update(0.02f, {0, 0, 0});
    int hidden = 0;
    for (int32_t d = 0; d < rain.drop_count(); ++d) {
        const vec3_t world = rain.vertex(d, 1) + vec3_t(0, rain.hidden(d) ? weather_hidden_drop : 0.0f, 0);
        const bool dry = std::fabs(world.x) <= 300.0f && std::fabs(world.z) <= 300.0f;
        EXPECT_EQ(rain.hidden(d), dry) << d;
        hidden += rain.hidden(d);
    }
    EXPECT_GT(hidden, 0);
    clock.get()->dry = {{50000, 0, 0}, {49000, -1000, -300}, {51000, 1000, 300}};
    rain.update(0.02f, {0, 0, 0});
    for (int32_t d = 0; d < rain.drop_count(); ++d)
        EXPECT_FALSE(rain.hidden(d)) << "out of the dry area every drop shows again";
    rain.destroy(0);
}

}  // namespace

namespace {

// Each light update hands the roads the time of day's light, and the module-wide light colour (what a
// surface facing up receives) follows it: the test keys' ambient at 20:00 is 200 of 255.
TEST_F(environment_world_test, set_time_hands_the_light_to_the_roads_and_the_light_colour)
{
    api::cmd_execute("map xyz");
    game_bridge_t* bridge = get_game_bridge();
    ASSERT_NE(bridge, nullptr);
    const held_part_t<test_clock_e> clock(bridge->base_ctrl());
    ASSERT_NE(clock.get(), nullptr);
    api::cmd_execute("g_set_time 20");
    EXPECT_EQ(clock.get()->road_direction, vec3_t(20.0f, 1.0f, 0.0f));
    EXPECT_NEAR(clock.get()->road_ambient.x, 200.0f / 255.0f, 1e-4f);
    EXPECT_EQ(clock.get()->road_diffuse, vec3_t(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(environment_light_colour(), 0xFFC8C8C8u);
    api::cmd_execute("g_set_time 2");
    EXPECT_EQ(environment_light_colour(), 0xFF141414u);
}

}  // namespace
