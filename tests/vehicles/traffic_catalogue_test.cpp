#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../frame/frame_fixture.h"
#include "engine/host.h"
#include "engine/log.h"
#include "engine/random.h"
#include "engine/vfs.h"
#include "vehicles/traffic/traffic.h"

namespace {

// A car model of one part with the given bones (name and position).
std::string car_model(const std::vector<std::pair<std::string, vec3_t>>& bones)
{
    std::string text = "psm 1\nbone root { }\n";
    for (const auto& [name, at] : bones)
        text += "bone " + name + " { parent root matrix 1 0 0 " + std::to_string(at.x) + " 0 1 0 " +
                std::to_string(at.y) + " 0 0 1 " + std::to_string(at.z) + " 0 0 0 1 }\n";
    return text + "part lod0 { positions { 0 0 0 1 0 0 0 1 0 } indices { 0 1 2 } }\n";
}

// The bones every complete test car has: blinkers and its box.
std::vector<std::pair<std::string, vec3_t>> body_bones()
{
    return {{"dl0", {-80, 50, -200}}, {"dl1", {-80, 50, 200}}, {"dr0", {80, 50, -200}},
            {"dr1", {80, 50, 200}},   {"bb0", {-90, 0, -220}}, {"bb1", {90, 140, 230}}};
}

class traffic_catalogue_test : public frame_test_t {
protected:
    // Writes the car folder NAME with its definition `keys` and a model with `bones`.
    void write_car(const std::string& name, const std::string& keys,
                   const std::vector<std::pair<std::string, vec3_t>>& bones)
    {
        write_data_file("models/ai/" + name + "/car.def", "car {\nmodel = car.psm\nwheel = wheel.psm\n" + keys + "}\n");
        write_data_file("models/ai/" + name + "/car.psm", car_model(bones));
    }
    // Writes the catalogue file naming `cars` with its car_count.
    void write_catalogue(const std::vector<std::string>& cars, int count)
    {
        std::string text = "cars {\ncar_count = " + std::to_string(count) + "\n";
        for (size_t i = 0; i < cars.size(); ++i)
            text += "car" + std::to_string(i) + " = " + cars[i] + "\n";
        write_data_file("defs/ai/cars.def", text + "}\n");
    }
    // A catalogue of `count` cars, each with the given probabilities (day, night, city, country).
    void uniform_catalogue(int count, float day, float night, float place, int happy_hour_of_first = 0)
    {
        traffic.catalogue().free();
        for (int i = 0; i < count; ++i) {
            ai_car_def_t car;
            car.day_probability = day;
            car.night_probability = night;
            car.city_probability = place;
            car.country_probability = place;
            car.happy_hour = static_cast<uint8_t>(i == 0 ? happy_hour_of_first : 0);
            traffic.catalogue().add(car);
        }
    }

    traffic_e traffic;
};

TEST_F(traffic_catalogue_test, a_car_reads_its_keys_bones_box_and_deformation_points)
{
    write_data_file("models/ai/wheel.psm", car_model({}));
    std::vector<std::pair<std::string, vec3_t>> bones = body_bones();
    for (int k = 0; k < 4; ++k)
        bones.push_back({"wheel" + std::to_string(k), {k < 2 ? -70.0f : 70.0f, 30, k % 2 ? 150.0f : -150.0f}});
    bones.push_back({"fl0", {-60, 60, -220}});
    bones.push_back({"bl3", {60, 60, 230}});
    bones.push_back({"s5", {0, 150, 0}});
    bones.push_back({"root_deform", {0, 50, 0}});
    bones.push_back({"deform0", {0, 50, -100}});
    bones.push_back({"deform4", {30, 90, 0}});
    write_car("sedan",
              "snd = 2\nspeed = 3\nday_prob = 0.75\nnight_prob = 0.25\ncity_prob = 0.5\noutback_prob = 1\n"
              "happy_hour = 17\n",
              bones);
    write_catalogue({"sedan"}, 4);
    traffic.catalogue().load();
    ASSERT_EQ(traffic.catalogue().size(), 1u);
    const ai_car_def_t& car = traffic.catalogue().entries()[0];
    EXPECT_NE(car.model, nullptr);
    EXPECT_NE(car.wheel, nullptr);
    EXPECT_EQ(car.sound_class, 2);
    EXPECT_EQ(car.speed, 3);
    EXPECT_FLOAT_EQ(car.night_probability, 0.25f);
    EXPECT_FLOAT_EQ(car.country_probability, 1.0f);
    EXPECT_EQ(car.happy_hour, 17);
    EXPECT_EQ(car.wheel_count, 4);
    EXPECT_EQ(car.two_wheeler, 0);
    EXPECT_EQ(car.front_light_count, 1);
    EXPECT_EQ(car.rear_light_count, 1);
    EXPECT_EQ(car.lights[5], vec3_t(60, 60, 230));
    EXPECT_EQ(car.siren_count, 1);
    EXPECT_EQ(car.sirens[5], vec3_t(0, 150, 0));
    EXPECT_FLOAT_EQ(car.length, 450.0f);
    EXPECT_FLOAT_EQ(car.width, 180.0f);
    EXPECT_FLOAT_EQ(car.half_height, 70.0f);
    EXPECT_EQ(car.box_span, vec3_t(180, 140, 450));
    EXPECT_FLOAT_EQ(car.wheel_drop, 60.0f);
    ASSERT_EQ(car.deform_count, 2);
    EXPECT_EQ(car.deform_directions[0], vec3_t(0, 0, -1));
    EXPECT_FLOAT_EQ(car.deform_directions[1].x, 0.6f);
    EXPECT_FLOAT_EQ(car.deform_directions[1].y, 0.8f);
    EXPECT_TRUE(engine_log_matching("blinker").empty());
}

TEST_F(traffic_catalogue_test, two_wheel_bones_make_a_two_wheeler_and_missing_bones_are_reported)
{
    write_car("bike", "", {{"wheel0", {0, 30, -80}}, {"wheel1", {0, 30, 80}}});
    write_car("nothing_here_but_the_folder", "", {});
    write_data_file("models/ai/gone/readme.txt", "no definition");
    write_catalogue({"gone", "bike"}, 3);
    traffic.catalogue().load();
    // The missing definition is skipped: the bike takes its place.
    ASSERT_EQ(traffic.catalogue().size(), 1u);
    EXPECT_EQ(traffic.catalogue().entries()[0].wheel_count, 2);
    EXPECT_EQ(traffic.catalogue().entries()[0].two_wheeler, 1);
    EXPECT_TRUE(engine_log_has("unable to read model /models/ai/wheel.psm"));
    EXPECT_TRUE(engine_log_has("No left blinker bone found!!!"));
    EXPECT_TRUE(engine_log_has("No right blinker bone found!!!"));
    EXPECT_TRUE(engine_log_has("bike has no bb0 bone!!"));
    EXPECT_TRUE(engine_log_has("bike has no bb1 bone!!"));
}

TEST_F(traffic_catalogue_test, the_catalogue_holds_at_most_its_car_count_and_refuses_a_count_over_a_byte)
{
    for (const char* name : {"a", "b", "c"})
        write_car(name, "", body_bones());
    write_catalogue({"a", "b", "c"}, 2);
    traffic.catalogue().load();
    EXPECT_EQ(traffic.catalogue().size(), 2u);
    EXPECT_TRUE(engine_log_has("/defs/ai/cars.def names more cars than its car_count 2; the rest are left out"));

    write_catalogue({"a"}, 300);
    traffic.catalogue().load();
    EXPECT_TRUE(traffic.catalogue().empty());
    EXPECT_TRUE(engine_log_has("/defs/ai/cars.def: car_count 300 is not from 0 to 255; the traffic has no cars"));
    // Model numbers are bytes and 255 names none: a 256th model is refused.
    for (int i = 0; i < 255; ++i)
        ASSERT_TRUE(traffic.catalogue().add(ai_car_def_t{}));
    EXPECT_FALSE(traffic.catalogue().add(ai_car_def_t{}));
}

TEST_F(traffic_catalogue_test, an_empty_catalogue_gives_no_car)
{
    uint8_t model = 7;
    EXPECT_FALSE(traffic.choose_car_model(0, model));
    EXPECT_EQ(model, 7);
}

TEST_F(traffic_catalogue_test, at_night_a_model_without_night_probability_is_only_taken_as_the_last_resort)
{
    // Night probability 0 on every model: each try is refused, and a catalogue under ten models
    // takes the last candidate; one of twelve gives no car.
    uniform_catalogue(4, 1.0f, 0.0f, 1.0f);
    traffic.dark = true;
    engine_seed_random(5);
    uint8_t model = 255;
    EXPECT_TRUE(traffic.choose_car_model(0, model));
    EXPECT_LT(model, 4);

    uniform_catalogue(12, 1.0f, 0.0f, 1.0f);
    EXPECT_FALSE(traffic.choose_car_model(0, model));

    // By day every first try is taken.
    traffic.dark = false;
    EXPECT_TRUE(traffic.choose_car_model(0, model));
}

TEST_F(traffic_catalogue_test,
       the_happy_hour_car_is_drawn_first_in_about_three_tenths_of_its_hour_and_midnight_keeps_it)
{
    uniform_catalogue(10, 1.0f, 1.0f, 1.0f, 17);
    traffic.catalogue().follow_hour(16);
    EXPECT_EQ(traffic.catalogue().happy_hour_car(), traffic_catalogue_t::no_happy_hour_car);
    traffic.catalogue().follow_hour(17);
    EXPECT_EQ(traffic.catalogue().happy_hour_car(), 0);
    engine_seed_random(11);
    int first = 0;
    constexpr int choices = 4000;
    for (int i = 0; i < choices; ++i) {
        uint8_t model = 255;
        ASSERT_TRUE(traffic.choose_car_model(0, model));
        first += model == 0;
    }
    // 30 % drawn as the happy-hour car, plus a tenth of the other 70 % drawn at random.
    EXPECT_NEAR(first / static_cast<double>(choices), 0.37, 0.03);
    traffic.catalogue().follow_hour(0);
    EXPECT_EQ(traffic.catalogue().happy_hour_car(), 0);
    traffic.catalogue().follow_hour(1);
    EXPECT_EQ(traffic.catalogue().happy_hour_car(), traffic_catalogue_t::no_happy_hour_car);
}

TEST_F(traffic_catalogue_test, the_sample_game_has_a_police_car_first_and_a_two_wheeler)
{
    host_settings().data_root = std::string(KAVRENTA_SOURCE_DIR) + "/data";
    engine_reset();
    ASSERT_TRUE(vfs_init_from_host());
    ASSERT_TRUE(bind_engine_for_tests());
    log_clear_capture();
    traffic.catalogue().load();
    ASSERT_EQ(traffic.catalogue().size(), 5u);
    EXPECT_GT(traffic.catalogue().entries()[0].siren_count, 0);
    for (const ai_car_def_t& car : traffic.catalogue().entries()) {
        EXPECT_NE(car.model, nullptr);
        EXPECT_NE(car.wheel, nullptr);
        EXPECT_EQ(car.deform_count, 4);
    }
    EXPECT_EQ(traffic.catalogue().entries()[4].two_wheeler, 1);
    for (const log_entry_t& line : log_captured())
        ADD_FAILURE() << line.text;
}

}  // namespace
