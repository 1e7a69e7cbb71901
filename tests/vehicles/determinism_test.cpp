#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "vehicle_fixture.h"
#include "vehicles/body/car_trailor.h"

namespace {

// FNV-1a over the bytes of a vehicle's body state and the truck's drive state.
class state_hash_t {
public:
    void add(const void* data, size_t size)
    {
        const auto* bytes = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < size; ++i)
            value = (value ^ bytes[i]) * 1099511628211ull;
    }
    void add_body(const car_phys_e& vehicle)
    {
        const phys_state_t& state = *vehicle.body->current;
        add(&state.position, sizeof state.position);
        add(&state.orientation, sizeof state.orientation);
        add(&state.linear_velocity, sizeof state.linear_velocity);
        add(&state.angular_velocity, sizeof state.angular_velocity);
    }
    uint64_t value = 1469598104349813061ull;
};

// A field 1 km wide: the bend takes the rig tens of metres to the side.
class determinism_test : public vehicle_test_t {
protected:
    determinism_test() : vehicle_test_t(100, 200) {}
    bool sample_data() const override { return true; }
};

TEST_F(determinism_test, a_truck_with_a_trailer_driven_for_60_seconds_ends_on_a_fixed_state)
{
    auto* trailer = add(std::make_unique<car_trailor_e>());
    ASSERT_TRUE(trailer->setup_cargo("flatbed", 0, 1.0f, 1.0f, {50000.0f, 300.0f, 195000.0f}, quat_t(), 1, 1, 3,
                                     {0.0f, 0.0f, 0.0f}, 0));
    const vec3_t kingpin = trailer->to_world(trailer->kingpin_local);
    test_truck_e* truck = truck_at({kingpin.x, 400.0f, kingpin.z});
    trailer->player_link = truck->handle();
    truck->hitched_trailer = trailer->handle();
    trailer->towing_truck = truck->handle();
    trailer->attach();

    // 60 s of 0.02 s steps: full throttle, a bend to the left and back, a brake to a stop.
    for (int step = 0; step < 3000; ++step) {
        const float t = step * dt;
        truck->controls.throttle = t < 40.0f ? 1.0f : 0.0f;
        truck->controls.steering = t >= 15.0f && t < 18.0f ? 6.0f : (t >= 18.0f && t < 21.0f ? -6.0f : 0.0f);
        truck->controls.brake = t >= 45.0f ? 1.0f : 0.0f;
        run(1);
    }
    ASSERT_TRUE(trailer->vehicle_active) << "the trailer followed all the way";
    EXPECT_LT(truck->get_position().z, 195000.0f - 20000.0f) << "it drove more than 200 m";

    state_hash_t hash;
    hash.add_body(*truck);
    hash.add_body(*trailer);
    hash.add(&truck->rpm, sizeof truck->rpm);
    hash.add(&truck->gear, sizeof truck->gear);
    hash.add(&truck->fuel, sizeof truck->fuel);
    EXPECT_EQ(hash.value, 0xe3ae46232d8df868ull) << std::hex << hash.value;
}

}  // namespace
