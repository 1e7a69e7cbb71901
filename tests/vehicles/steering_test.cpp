#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "vehicle_fixture.h"
#include "vehicles/body/car_trailor.h"
#include "vehicles/player/car_player.h"

namespace {

// A truck on a flat field 1 km wide, driven at a held speed with the wheels at full lock.
class steering_test : public vehicle_test_t {
protected:
    steering_test() : vehicle_test_t(100, 200) {}

    // Heading of the truck in the ground plane, radians, growing as it turns left (towards -X from -Z).
    static float yaw(const car_phys_e& truck)
    {
        const vec3_t forward = truck.vector_to_world({0.0f, 0.0f, -1.0f});
        return std::atan2(-forward.x, -forward.z);
    }

    // Holds `metres_per_second` with the throttle and the brake for one frame.
    static void hold_speed(car_truck_e& truck, float metres_per_second)
    {
        const float speed = forward_speed(truck) * 0.01f;
        truck.controls.throttle =
            speed < metres_per_second ? std::clamp((metres_per_second - speed) * 0.5f, 0.05f, 1.0f) : 0.0f;
        truck.controls.brake = speed > metres_per_second + 0.3f ? 0.2f : 0.0f;
    }

    struct circle_t {
        float travelled = 0.0f;  // cm
        float turned = 0.0f;     // radians, positive to the left
        float radius() const { return travelled / std::fabs(turned) * 0.01f; }
    };

    // Drives every truck at a held speed for `frames` frames and returns the circle each drove in that
    // time: radius = distance / angle turned.
    std::vector<circle_t> drive(const std::vector<car_truck_e*>& trucks, float metres_per_second, int frames)
    {
        std::vector<circle_t> circles(trucks.size());
        std::vector<vec3_t> last;
        std::vector<float> previous;
        for (const car_truck_e* truck : trucks) {
            last.push_back(truck->get_position());
            previous.push_back(yaw(*truck));
        }
        for (int i = 0; i < frames; ++i) {
            for (car_truck_e* truck : trucks)
                hold_speed(*truck, metres_per_second);
            run(1);
            for (size_t t = 0; t < trucks.size(); ++t) {
                const vec3_t now = trucks[t]->get_position();
                circles[t].travelled += std::sqrt((now - last[t]).length_sq());
                last[t] = now;
                const float heading = yaw(*trucks[t]);
                circles[t].turned += std::remainder(heading - previous[t], 2.0f * static_cast<float>(M_PI));
                previous[t] = heading;
            }
        }
        return circles;
    }
};

// The wheelbase (4 m) at the steering limit (30 degrees): the tightest circle a truck drives slowly.
const float wheelbase_radius = 4.0f / std::tan(30.0f * static_cast<float>(M_PI) / 180.0f);

struct turn_case_t {
    float speed;     // m/s
    float steering;  // degrees, positive to the left
    // The circle's radius, metres: at most what the wheels give slowly, wider when the tyres slide.
    float least_radius;
    float most_radius;
};

class steering_turns_test : public steering_test, public ::testing::WithParamInterface<turn_case_t> {};

TEST_P(steering_turns_test, the_truck_turns_the_way_the_wheels_point_on_a_trucks_circle)
{
    const turn_case_t turn = GetParam();
    test_truck_e* truck = truck_at({50000.0f, 300.0f, 190000.0f});
    truck->automatic = 1;
    // From a standstill with the wheels already turned: the first metres go the wheels' way.
    truck->controls.steering = turn.steering;
    const float start_yaw = yaw(*truck);
    drive({truck}, turn.speed, 100);
    const float early = yaw(*truck) - start_yaw;
    EXPECT_GT(early * turn.steering, 0.0f) << "after 2 s from a standstill the truck turned " << early << " rad";

    drive({truck}, turn.speed, 300);
    // Measure the circle over 2 s.
    const circle_t circle = drive({truck}, turn.speed, 100)[0];
    // A full lock scrubs some speed at 15 m/s.
    ASSERT_GT(circle.travelled, turn.speed * 100.0f * 2.0f * 0.6f) << "the speed was held";
    EXPECT_GT(circle.turned * turn.steering, 0.0f) << "it turns the way the wheels point";
    const float radius = circle.radius();
    EXPECT_GE(radius, turn.least_radius);
    EXPECT_LE(radius, turn.most_radius);
}

INSTANTIATE_TEST_SUITE_P(left_and_right, steering_turns_test,
                         ::testing::Values(turn_case_t{2.0f, 30.0f, wheelbase_radius * 0.9f, wheelbase_radius * 1.3f},
                                           turn_case_t{2.0f, -30.0f, wheelbase_radius * 0.9f, wheelbase_radius * 1.3f},
                                           turn_case_t{5.0f, 30.0f, wheelbase_radius * 0.9f, wheelbase_radius * 1.3f},
                                           turn_case_t{5.0f, -30.0f, wheelbase_radius * 0.9f, wheelbase_radius * 1.3f},
                                           turn_case_t{15.0f, 30.0f, wheelbase_radius, 45.0f},
                                           turn_case_t{15.0f, -30.0f, wheelbase_radius, 45.0f}));

// The player's truck with its pedals and wheel held by the test instead of the keys.
class held_player_e : public car_player_e {
public:
    void drive_input() override {}
};

struct towed_case_t {
    float speed;     // m/s
    float steering;  // degrees
    // How much wider than the lone truck's the towing truck's circle may be: slowly the wheels set the
    // circle, loaded or not; faster the tyres' side friction holds it, and the heavier rig slides wider
    // by about the ratio of the masses (4500 to 3000).
    float most_ratio;
};

// Player's trucks on the flat field, towing sample "boxvan" job trailers.
class towing_test : public steering_test {
protected:
    bool sample_data() const override { return true; }

    held_player_e* player_truck(const vec3_t& where)
    {
        held_player_e* const truck = truck_at<held_player_e>(where);
        truck->scenes().cut_intro();
        truck->automatic = 1;
        return truck;
    }
    // A player's truck standing on the kingpin of a trailer at (x, z), facing -Z, hitched as the player
    // hitches; the cargo's weight loads the trailer by 3000 for each unit.
    held_player_e* towing_truck(float x, float z, float cargo_weight = 0.5f)
    {
        auto* const trailer = add(std::make_unique<car_trailor_e>());
        EXPECT_TRUE(trailer->setup_cargo("boxvan", 0, 1.0f, cargo_weight, {x, 300.0f, z}, quat_t(), 3, 4, 7, {}, 0));
        const vec3_t kingpin = trailer->to_world(trailer->kingpin_local);
        held_player_e* const truck = player_truck({kingpin.x, 400.0f, kingpin.z});
        trailer->player_link = truck->handle();
        run(1);
        truck->attach_trailer();
        EXPECT_TRUE(truck->has_trailer());
        return truck;
    }
};

TEST_F(towing_test, the_hitch_loads_the_truck_with_the_cargo_and_the_unhitch_unloads_it)
{
    for (const float weight : {0.5f, 2.0f}) {
        held_player_e* const truck = towing_truck(70000.0f, 190000.0f - 20000.0f * weight, weight);
        ASSERT_NE(truck->body, nullptr);
        EXPECT_FLOAT_EQ(truck->body->mass, 3000.0f + 3000.0f * weight) << "cargo weight " << weight;
        truck->detach_trailer(true);
        EXPECT_FLOAT_EQ(truck->body->mass, 3000.0f);
    }
}

class towed_steering_test : public towing_test, public ::testing::WithParamInterface<towed_case_t> {};

TEST_P(towed_steering_test, a_truck_towing_a_trailer_turns_on_about_the_circle_of_the_truck_alone)
{
    const towed_case_t turn = GetParam();
    held_player_e* const alone = player_truck({20000.0f, 300.0f, 190000.0f});
    held_player_e* const towing = towing_truck(70000.0f, 190000.0f);
    alone->controls.steering = towing->controls.steering = turn.steering;
    drive({alone, towing}, turn.speed, 400);
    const std::vector<circle_t> circles = drive({alone, towing}, turn.speed, 100);
    ASSERT_GT(circles[1].travelled, turn.speed * 100.0f * 2.0f * 0.9f) << "the speed was held";
    EXPECT_GT(circles[1].turned * turn.steering, 0.0f) << "it turns the way the wheels point";
    const float ratio = circles[1].radius() / circles[0].radius();
    EXPECT_GE(ratio, 0.9f);
    EXPECT_LE(ratio, turn.most_ratio) << "towing: " << circles[1].radius() << " m, alone: " << circles[0].radius()
                                      << " m";
    EXPECT_TRUE(towing->has_trailer()) << "the trailer kept up";
}

INSTANTIATE_TEST_SUITE_P(slow_and_fast, towed_steering_test,
                         ::testing::Values(towed_case_t{3.0f, 30.0f, 1.15f}, towed_case_t{3.0f, -10.0f, 1.15f},
                                           towed_case_t{9.0f, -30.0f, 1.7f}, towed_case_t{9.0f, 10.0f, 1.5f}));

}  // namespace
