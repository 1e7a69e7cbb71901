#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "decal_recorder.h"
#include "traffic_ring_fixture.h"
#include "vehicle_fixture.h"
#include "common/game_settings.h"
#include "common/world_view.h"
#include "engine/gfx_record.h"
#include "engine/psm_record.h"
#include "engine/random.h"
#include "engine/snd_record.h"
#include "vehicles/traffic/traffic.h"

namespace {

// A car model with the three detail parts and the bones of `wheels` wheels, two front and two rear
// lights, blinkers, two siren lights and its box.
std::string car_model(int wheels)
{
    std::string text = "psm 1\nbone root { }\n";
    const auto bone = [&](const std::string& name, float x, float y, float z) {
        text += "bone " + name + " { parent root matrix 1 0 0 " + std::to_string(x) + " 0 1 0 " + std::to_string(y) +
                " 0 0 1 " + std::to_string(z) + " 0 0 0 1 }\n";
    };
    for (int k = 0; k < wheels; ++k)
        bone("wheel" + std::to_string(k), k % 2 ? 70.0f : -70.0f, 30.0f, k < 2 ? -150.0f : 150.0f);
    for (int k = 0; k < 2; ++k) {
        const float x = k ? 60.0f : -60.0f;
        bone("fl" + std::to_string(k), x, 60.0f, -220.0f);
        bone("bl" + std::to_string(k), x, 60.0f, 220.0f);
        bone("dl" + std::to_string(k), -80.0f, 60.0f, k ? 220.0f : -220.0f);
        bone("dr" + std::to_string(k), 80.0f, 60.0f, k ? 220.0f : -220.0f);
        bone("s" + std::to_string(k), x * 0.5f, 150.0f, 0.0f);
    }
    bone("bb0", -90.0f, 0.0f, -220.0f);
    bone("bb1", 90.0f, 140.0f, 230.0f);
    for (const char* part : {"lod0", "lod1", "lod2"})
        text += std::string("part ") + part + " { positions { 0 0 0 1 0 0 0 1 0 } indices { 0 1 2 } }\n";
    return text;
}

// A traffic in the world with a catalogue of a four-wheeled car (sound class 0) and a two-wheeler
// (sound class 2); the camera stands at the origin looking along -z, the viewer there too.
class traffic_draw_test : public vehicle_test_t {
protected:
    void SetUp() override
    {
        vehicle_test_t::SetUp();
        write_data_file("defs/ai/cars.def", "cars {\ncar_count = 2\ncar0 = saloon\ncar1 = bike\n}\n");
        write_data_file("models/ai/saloon/car.def", "car {\nmodel = car.psm\nwheel = wheel.psm\nsnd = 0\n}\n");
        write_data_file("models/ai/saloon/car.psm", car_model(4));
        write_data_file("models/ai/bike/car.def", "car {\nmodel = car.psm\nwheel = wheel.psm\nsnd = 2\n}\n");
        write_data_file("models/ai/bike/car.psm", car_model(2));
        write_data_file("models/ai/wheel.psm",
                        "psm 1\nbone root { }\npart wheel { positions { 0 0 0 1 0 0 0 1 0 } indices { 0 1 2 } }\n");
        for (const char* sound : {"ai_carmotor1", "ai_carmotor2", "ai_carmotor3", "ai_ambsiren"})
            write_data_file(std::string("sounds/ai/") + sound + ".ogg", "a motor sound standing in for samples\n");
        traffic = add(std::make_unique<traffic_e>());
        ASSERT_EQ(traffic->catalogue().size(), 2u);
        gfx_record_set_all_visible(true);
        psm_clear_draw_records();
    }
    void TearDown() override
    {
        gfx_record_set_all_visible(false);
        set_game_detail_level(1);
        vehicle_test_t::TearDown();
    }

    // Spawns a car of `model` at `position` (no lane list needed for drawing).
    int32_t car_at(const vec3_t& position, uint8_t model = 0)
    {
        const int32_t car = traffic->free_slots.back();
        traffic->free_slots.pop_back();
        traffic->spawned.push_back(car);
        traffic_car_t& c = traffic->cars[static_cast<size_t>(car)];
        c.model = model;
        c.route.position = position;
        c.route.speed = 1000.0f;
        c.reference_speed = 1000.0f;
        return car;
    }
    traffic_car_t& car(int32_t index) { return traffic->cars[static_cast<size_t>(index)]; }

    // Draws one frame of the traffic; the model parts it drew and the sprites it queued.
    struct drawn_t {
        std::vector<psm_draw_record_t> parts;
        std::vector<gfx_recorded_sprites_t> sprites;
    };
    drawn_t draw()
    {
        psm_clear_draw_records();
        const size_t sprites_before = gfx_record_current().sprites.size();
        traffic->draw();
        EXPECT_EQ(gfx_record_world_depth(), 1) << "the matrix stack is balanced";
        EXPECT_EQ(gfx_record_view_depth(), 0);
        const auto& sprites = gfx_record_current().sprites;
        return {psm_draw_records(), {sprites.begin() + static_cast<ptrdiff_t>(sprites_before), sprites.end()}};
    }

    traffic_e* traffic = nullptr;
};

TEST_F(traffic_draw_test, a_car_is_drawn_with_the_part_and_wheels_of_its_distance)
{
    const ai_car_def_t& def = traffic->catalogue().entries()[0];
    struct case_t {
        float metres;
        int32_t level;
        int part;  // -1: nothing drawn
        int wheels;
    } const cases[] = {{50.0f, 3, 0, 4}, {80.0f, 2, 1, 4}, {120.0f, 1, 2, 0}, {400.0f, 7, -1, 0}};
    for (const case_t& test : cases) {
        const int32_t c = car_at({0.0f, 0.0f, -test.metres * 100.0f});
        car(c).draw_level = 7;
        const drawn_t drawn = draw();
        EXPECT_EQ(car(c).draw_level, test.level) << test.metres << " m";
        const auto bodies = std::ranges::count(drawn.parts, def.model, &psm_draw_record_t::model);
        const auto wheels = std::ranges::count(drawn.parts, def.wheel, &psm_draw_record_t::model);
        EXPECT_EQ(bodies, test.part < 0 ? 0 : 1) << test.metres << " m";
        if (test.part >= 0 && bodies == 1) {
            EXPECT_EQ(std::ranges::find(drawn.parts, def.model, &psm_draw_record_t::model)->part, test.part);
        }
        EXPECT_EQ(wheels, test.wheels) << test.metres << " m";
        traffic->release_car(c, true);
    }
}

TEST_F(traffic_draw_test, a_car_placed_in_a_world_without_car_colours_is_painted_white_not_in_the_slots_old_colour)
{
    traffic->bridge = nullptr;
    traffic->register_road(4, 40, 0, -1);
    const int32_t c = car_at({0.0f, 0.0f, -3000.0f});
    car(c).colour = 0xFF102030u;
    car(c).road_slot = 0;
    ASSERT_TRUE(traffic->place_car(c, 0, 0));
    EXPECT_EQ(car(c).colour, 0xFFFFFFFFu);
    const drawn_t drawn = draw();
    ASSERT_FALSE(drawn.parts.empty());
    EXPECT_EQ(drawn.parts[0].colour, 0xFFFFFFFFu);
}

TEST_F(traffic_draw_test, a_mirror_draws_the_cars_without_changing_their_distances_or_levels)
{
    const int32_t c = car_at({0.0f, 0.0f, -5000.0f});
    car(c).route.speed = 0.0f;  // below its reference speed: it leans back
    traffic->time_step = 0.02f;
    draw();
    const traffic_car_t before = car(c);
    ASSERT_GT(before.tilt, 0.0f);
    car(c).route.position = {0.0f, 0.0f, -9000.0f};
    set_drawing_secondary_view(true);
    const drawn_t mirrored = draw();
    set_drawing_secondary_view(false);
    EXPECT_EQ(std::ranges::count(mirrored.parts, traffic->catalogue().entries()[0].model, &psm_draw_record_t::model),
              1);
    EXPECT_EQ(
        std::ranges::find(mirrored.parts, traffic->catalogue().entries()[0].model, &psm_draw_record_t::model)->part, 1)
        << "its part by the mirror's distance";
    EXPECT_EQ(car(c).draw_level, before.draw_level);
    EXPECT_EQ(car(c).viewer_distance, before.viewer_distance);
    EXPECT_EQ(car(c).previous_viewer_distance, before.previous_viewer_distance);
    EXPECT_EQ(car(c).tilt, before.tilt);
}

TEST_F(traffic_draw_test, a_frame_without_time_keeps_the_steer_and_a_timed_frame_turns_it_by_100_degrees_a_second)
{
    const int32_t c = car_at({0.0f, 0.0f, -3000.0f});
    for (const float step : {0.0f, -0.02f}) {
        car(c).steer = 5.0f;
        car(c).previous_heading = {1.0f, 0.0f, 0.0f};  // the heading turned a quarter since then
        traffic->time_step = step;
        draw();
        EXPECT_EQ(car(c).steer, 5.0f) << "time step " << step;
    }
    car(c).previous_heading = {1.0f, 0.0f, 0.0f};
    traffic->time_step = 0.02f;
    draw();
    EXPECT_TRUE(std::isfinite(car(c).steer));
    EXPECT_NEAR(std::fabs(car(c).steer - 5.0f), 2.0f, 1e-4f) << "100 degrees a second for 0.02 s";
}

TEST_F(traffic_draw_test, a_car_outside_the_view_is_not_drawn)
{
    const int32_t c = car_at({0.0f, 0.0f, -5000.0f});
    car(c).draw_level = 3;
    gfx_record_set_all_visible(false);
    car(c).route.position = {0.0f, 0.0f, 500000.0f};  // 5 km behind the camera
    EXPECT_TRUE(draw().parts.empty());
    EXPECT_EQ(car(c).draw_level, 0) << "out of view, unlike a car only too far away";
}

TEST_F(traffic_draw_test, brake_lights_blinkers_and_headlights_show_as_flares_facing_the_camera)
{
    // The car drives away from the camera: only its rear lamps face it.
    const int32_t c = car_at({0.0f, 0.0f, -3000.0f});
    traffic->blink_timer = 0.75f;
    EXPECT_TRUE(draw().sprites.empty()) << "no lights, no brakes, no blinkers";

    car(c).status |= traffic_car_t::status_braking;
    const drawn_t braking = draw();
    ASSERT_EQ(braking.sprites.size(), 2u) << "the two rear lamps as brake lights";
    EXPECT_EQ(braking.sprites[0].sprites[0].colour, 0xFFFFFFFFu) << "facing the camera squarely";
    EXPECT_FLOAT_EQ(braking.sprites[0].sprites[0].scale, 0.35f);
    EXPECT_FLOAT_EQ(braking.sprites[0].size, 10.0f);

    car(c).lights = 1;
    EXPECT_EQ(draw().sprites.size(), 4u) << "rear lamps lit and braking: shown twice; the front ones face away";

    car(c).lights = 0;
    car(c).status = 0;
    car(c).left_blinker = 1;
    EXPECT_EQ(draw().sprites.size(), 1u) << "the left rear blinker in the second half of the blink second";
    traffic->blink_timer = 0.25f;
    EXPECT_TRUE(draw().sprites.empty()) << "first half: dark";

    // Far away only the lamps are drawn, braking or not.
    car(c).route.position = {0.0f, 0.0f, -15000.0f};
    car(c).status |= traffic_car_t::status_braking;
    EXPECT_TRUE(draw().sprites.empty());
    car(c).lights = 1;
    EXPECT_EQ(draw().sprites.size(), 2u);
}

TEST_F(traffic_draw_test, a_police_car_with_its_siren_on_shows_its_turning_siren_flares)
{
    const int32_t c = car_at({0.0f, 0.0f, -3000.0f});
    car(c).siren_bits = 1;
    traffic->siren_phase = 0.0f;
    drawn_t drawn = draw();
    // Siren 0 faces ahead (away from the camera), siren 1 is turned 30 degrees: also away.
    EXPECT_TRUE(drawn.sprites.empty());
    traffic->siren_phase = 180.0f;
    drawn = draw();
    ASSERT_FALSE(drawn.sprites.empty()) << "turned round, the sirens face the camera";
    EXPECT_FLOAT_EQ(drawn.sprites[0].sprites[0].scale, 0.7f);
}

TEST_F(traffic_draw_test, the_nine_motor_channels_go_to_near_cars_by_sound_class)
{
    std::vector<int32_t> saloons;
    for (int i = 0; i < 7; ++i) {
        saloons.push_back(car_at({0.0f, 0.0f, -1000.0f * static_cast<float>(i + 1)}));
        car(saloons.back()).draw_level = 3;
        traffic->motor_sounds().step(saloons.back());
    }
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(car(saloons[static_cast<size_t>(i)]).motor_channel, 3 + i);
    EXPECT_EQ(car(saloons[6]).motor_channel, -1) << "class 0 has six channels";
    snd_state_t state;
    ASSERT_TRUE(snd_record_state(traffic->motor_sounds().channel(3).sound, state));
    EXPECT_TRUE(state.playing);
    EXPECT_EQ(state.path, "/sounds/ai/ai_carmotor1.ogg");

    // A removed car gives its channel back, and the waiting car gets it.
    traffic->release_car(saloons[0], true);
    EXPECT_EQ(traffic->motor_sounds().channel(3).car, -1);
    traffic->motor_sounds().step(saloons[6]);
    EXPECT_EQ(car(saloons[6]).motor_channel, 3);

    // A car drawn far away or knocked lets its channel go.
    car(saloons[1]).draw_level = 1;
    traffic->motor_sounds().step(saloons[1]);
    EXPECT_EQ(car(saloons[1]).motor_channel, -1);
    ASSERT_TRUE(snd_record_state(traffic->motor_sounds().channel(4).sound, state));
    EXPECT_FALSE(state.playing);
    car(saloons[2]).status |= traffic_car_t::status_knocked;
    traffic->motor_sounds().step(saloons[2]);
    EXPECT_EQ(car(saloons[2]).motor_channel, -1);

    // Class 2 has channel 0 alone.
    const int32_t bike = car_at({0.0f, 0.0f, -900.0f}, 1);
    const int32_t second_bike = car_at({0.0f, 0.0f, -800.0f}, 1);
    car(bike).draw_level = car(second_bike).draw_level = 2;
    traffic->motor_sounds().step(bike);
    traffic->motor_sounds().step(second_bike);
    EXPECT_EQ(car(bike).motor_channel, 0);
    EXPECT_EQ(car(second_bike).motor_channel, -1);
    ASSERT_TRUE(snd_record_state(traffic->motor_sounds().channel(0).sound, state));
    EXPECT_EQ(state.path, "/sounds/ai/ai_carmotor3.ogg");
}

TEST_F(traffic_draw_test, the_motor_pitch_rises_as_a_car_comes_nearer_and_falls_as_it_leaves)
{
    const int32_t c = car_at({0.0f, 0.0f, -1000.0f});
    car(c).draw_level = 3;
    traffic->motor_sounds().step(c);
    snd_sound_t* const sound = traffic->motor_sounds().channel(car(c).motor_channel).sound;
    struct case_t {
        float before, now;  // metres from the viewer
        float pitch;
    } const cases[] = {{10.0f, 9.9f, 1.2f}, {9.9f, 10.0f, 0.8f}, {20.0f, 10.0f, 2.0f}, {10.0f, 20.0f, 0.5f}};
    for (const case_t& test : cases) {
        car(c).previous_viewer_distance = test.before * test.before * 1e4f;
        car(c).viewer_distance = test.now * test.now * 1e4f;
        traffic->motor_sounds().update(c);
        snd_state_t state;
        ASSERT_TRUE(snd_record_state(sound, state));
        EXPECT_NEAR(state.rate, test.pitch, 1e-3f) << test.before << " m to " << test.now << " m";
    }
    // A change below 1 % is not given to the sound.
    car(c).previous_viewer_distance = 10.0f * 10.0f * 1e4f;
    car(c).viewer_distance = 10.248f * 10.248f * 1e4f;  // a pitch of 0.504
    traffic->motor_sounds().update(c);
    snd_state_t state;
    ASSERT_TRUE(snd_record_state(sound, state));
    EXPECT_FLOAT_EQ(state.rate, 0.5f);
    EXPECT_FLOAT_EQ(car(c).motor_pitch, 0.5f);
}

TEST(traffic_decal_colour, a_cars_decals_are_opaque_within_60_m_and_fade_out_by_100_m)
{
    const struct {
        float metres;
        uint32_t colour;
    } cases[] = {{0.0f, 0xFFFFFFFFu}, {60.0f, 0xFFFFFFFFu}, {80.0f, 0x8F8F8F8Fu}, {100.0f, 0u}, {150.0f, 0u}};
    for (const auto& test : cases)
        EXPECT_EQ(traffic_e::decal_colour(test.metres * test.metres * 1e4f), test.colour) << test.metres << " m";
}

TEST_F(traffic_draw_test, near_cars_place_shadows_and_at_night_light_pools_unless_details_are_off_or_a_mirror_draws)
{
    decal_recorder_t decals;
    const int32_t saloon = car_at({0.0f, 0.0f, -3000.0f});
    const int32_t bike = car_at({500.0f, 0.0f, -3000.0f}, 1);
    const int32_t far_car = car_at({0.0f, 0.0f, -15000.0f});
    car(saloon).draw_level = car(bike).draw_level = 3;
    car(far_car).draw_level = 1;
    for (const int32_t c : {saloon, bike, far_car})
        car(c).lights = 1;

    traffic->pre_draw();
    ASSERT_EQ(decals.of("/scripts/decals/shadow.esc").size(), 2u) << "the near cars' shadows";
    const auto shadow = decals.of("/scripts/decals/shadow.esc")[0];
    EXPECT_EQ(shadow.start, vec3_t(0.0f, 500.0f, -3000.0f));
    EXPECT_EQ(shadow.end, vec3_t(0.0f, -500.0f, -3000.0f));
    EXPECT_FLOAT_EQ(shadow.params.scale().x, traffic->catalogue().entries()[0].length);
    EXPECT_FLOAT_EQ(shadow.params.scale().y, traffic->catalogue().entries()[0].width);
    EXPECT_EQ(decals.placements.size(), 2u) << "no light pools by day";

    decals.placements.clear();
    traffic->dark = true;
    traffic->pre_draw();
    const auto pools = decals.of("/scripts/decals/lights_ai.esc");
    ASSERT_EQ(pools.size(), 1u);
    const float ahead = 0.5f * traffic->catalogue().entries()[0].length + 500.0f;
    EXPECT_NEAR(pools[0].start.z, -3000.0f - ahead, 1e-2f);
    const auto bike_pools = decals.of("/scripts/decals/lights_bike.esc");
    ASSERT_EQ(bike_pools.size(), 1u);
    EXPECT_FLOAT_EQ(bike_pools[0].params.scale().x, 400.0f);

    decals.placements.clear();
    set_drawing_secondary_view(true);
    traffic->pre_draw();
    set_drawing_secondary_view(false);
    set_game_detail_level(0);
    traffic->pre_draw();
    EXPECT_TRUE(decals.placements.empty());
}

}  // namespace

namespace {

using traffic_ring_draw_test = traffic_ring_test_t;

TEST_F(traffic_ring_draw_test, over_a_minute_of_driving_and_drawing_channels_and_cars_agree_and_levels_follow_distance)
{
    // Every road's segment is built and shown but the second's, which is not built.
    ASSERT_EQ(ctrl->init(-10), 0);  // makes the render slots
    ctrl->segment_slot(0)->visible = 1;
    for (int32_t i = 0; i < 4; ++i)
        ctrl->edges[i].segment_slot = i == 1 ? -1 : 0;
    engine_seed_random(11);
    gfx_record_set_all_visible(true);
    player->viewer = {side * 0.5f, 0.0f, 500.0f};  // beside the first road
    int heard = 0;
    for (int i = 0; i < 3000; ++i) {
        traffic->step(i * 0.02, 0.02f);
        traffic->draw();
        for (int channel = 0; channel < traffic_motor_sounds_t::channel_count; ++channel) {
            const int32_t holder = traffic->motor_sounds().channel(channel).car;
            if (holder != -1) {
                ++heard;
                ASSERT_EQ(traffic->cars[static_cast<size_t>(holder)].motor_channel, channel) << "step " << i;
            }
        }
    }
    gfx_record_set_all_visible(false);
    EXPECT_GT(heard, 0) << "cars passed near enough to be heard";
    EXPECT_TRUE(std::ranges::any_of(traffic->spawned, [&](int32_t car) {
        return traffic->cars[static_cast<size_t>(car)].route.edge == 1;
    })) << "some car is on the hidden road";
    for (const int32_t car : traffic->spawned) {
        const traffic_car_t& c = traffic->cars[static_cast<size_t>(car)];
        const int32_t expected = c.route.edge == 1              ? 0
                                 : c.viewer_distance > 1.225e9f ? c.draw_level
                                 : c.viewer_distance > 1e8f     ? 1
                                 : c.viewer_distance > 3.6e7f   ? 2
                                                                : 3;
        EXPECT_EQ(c.draw_level, expected) << "car " << car;
        if (c.motor_channel != -1) {
            EXPECT_GE(c.draw_level, 2);
        }
    }
}

}  // namespace
