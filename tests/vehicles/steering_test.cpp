#include <gtest/gtest.h>

#include <cmath>

#include "vehicle_fixture.h"

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
    static void hold_speed(test_truck_e& truck, float metres_per_second)
    {
        const float speed = forward_speed(truck) * 0.01f;
        truck.controls.throttle =
            speed < metres_per_second ? std::clamp((metres_per_second - speed) * 0.5f, 0.05f, 1.0f) : 0.0f;
        truck.controls.brake = speed > metres_per_second + 0.3f ? 0.2f : 0.0f;
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
    for (int i = 0; i < 100; ++i) {
        hold_speed(*truck, turn.speed);
        run(1);
    }
    const float early = yaw(*truck) - start_yaw;
    EXPECT_GT(early * turn.steering, 0.0f) << "after 2 s from a standstill the truck turned " << early << " rad";

    for (int i = 0; i < 300; ++i) {
        hold_speed(*truck, turn.speed);
        run(1);
    }
    // Measure the circle over 2 s: radius = speed / yaw rate.
    const float yaw0 = yaw(*truck);
    float travelled = 0.0f;
    vec3_t last = truck->get_position();
    float turned = 0.0f;
    float previous = yaw0;
    for (int i = 0; i < 100; ++i) {
        hold_speed(*truck, turn.speed);
        run(1);
        const vec3_t now = truck->get_position();
        travelled += std::sqrt((now - last).length_sq());
        last = now;
        float step = yaw(*truck) - previous;
        step = std::remainder(step, 2.0f * static_cast<float>(M_PI));
        turned += step;
        previous = yaw(*truck);
    }
    // A full lock scrubs some speed at 15 m/s.
    ASSERT_GT(travelled, turn.speed * 100.0f * 2.0f * 0.6f) << "the speed was held";
    EXPECT_GT(turned * turn.steering, 0.0f) << "it turns the way the wheels point";
    const float radius = travelled / std::fabs(turned) * 0.01f;
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

}  // namespace
