#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "../road/flat_road.h"
#include "engine/def_obj.h"
#include "engine/def_pool.h"
#include "road/road_coll_seg.h"
#include "road/road_geo.h"
#include "vehicle_fixture.h"

namespace {

// A straight open road 30 cm above a flat ground 1 km wide, as the world's ground lies under the roads,
// with its collision in the truck's world: road triangles of the road kind, skirts beside it.
class verge_test : public vehicle_test_t {
protected:
    static constexpr float road_x = 50000.0f;
    static constexpr float road_y = 30.0f;

    verge_test() : vehicle_test_t(100, 200) {}

    void SetUp() override
    {
        vehicle_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
        // Made after the engine's reset, so that its handle is valid.
        ctrl_ = std::make_unique<base_ctrl_e>();
        ctrl_->seg_server = new seg_server_t;
        ASSERT_EQ(ctrl_->init(-10), 0);
        ASSERT_EQ(ctrl_->init(0), 0);
        ASSERT_TRUE(flat_road::add_def(*ctrl_->seg_server, car_phys_e::ground_kind_road));
        const int32_t edge = flat_road::edge(*ctrl_, {road_x, road_y, 195000.0f}, {road_x, road_y, 5000.0f}, 1, 1);
        if (banked_) {
            ASSERT_NO_FATAL_FAILURE(bank(ctrl_->edges[edge]));
        }
        ctrl_->build_item_tree();
        road_ = std::make_unique<road_geo_t>(*ctrl_);
        world_->physics().insert_geom(road_.get());
    }
    void TearDown() override
    {
        if (road_)
            world_->physics().remove_geom(road_.get());
        vehicle_test_t::TearDown();
        road_.reset();
        if (ctrl_) {
            ctrl_->destroy(0);
            ctrl_->destroy(10);
        }
        ctrl_.reset();
    }

    // Both sides of `edge` take the sample game's first road profile, the bank, over strips of four
    // cells as the sample map lays them.
    void bank(map_edge_t& edge)
    {
        const std::string path = std::string(KAVRENTA_SOURCE_DIR) + "/data/defs/seg_server/road_segs.def";
        std::ifstream file(path);
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const std::unique_ptr<def_pool_t> pool = def_pool_t::parse(text, path);
        const def_obj_t* const segs = pool ? pool->find("road_segs") : nullptr;
        ASSERT_NE(segs, nullptr);
        ctrl_->seg_server->profiles.resize(1);
        ctrl_->seg_server->read_profiles(*segs);
        ASSERT_STREQ(ctrl_->seg_server->profiles[0].name, "bank");
        for (map_edge_side_t& side : edge.sides) {
            side.profile = 0;
            side.strip_width = 4;
        }
    }

    // Heading of the truck in the ground plane, radians, growing as it turns left (towards -X from -Z).
    static float yaw(const car_phys_e& truck)
    {
        const vec3_t forward = truck.vector_to_world({0.0f, 0.0f, -1.0f});
        return std::atan2(-forward.x, -forward.z);
    }

    // One frame of a driver holding 6 m/s and steering towards heading `wanted` (radians). Records the
    // ground kinds under the wheels and the slowest speed once under way.
    void drive_towards(test_truck_e& truck, const float wanted)
    {
        const float speed = forward_speed(truck) * 0.01f;
        truck.controls.throttle = speed < 6.0f ? 1.0f : 0.0f;
        const float error = std::remainder(wanted - yaw(truck), 2.0f * static_cast<float>(M_PI));
        truck.controls.steering = std::clamp(error * 60.0f, -25.0f, 25.0f);
        run(1);
        for (const car_wheel_t& wheel : truck.wheels)
            if (wheel.in_contact)
                kinds_.insert(wheel.ground_kind);
        if (under_way_)
            slowest_ = std::min(slowest_, forward_speed(truck) * 0.01f);
    }

    // True when all four wheels stand on the road.
    static bool on_road(const test_truck_e& truck)
    {
        return std::all_of(std::begin(truck.wheels), std::end(truck.wheels), [](const car_wheel_t& wheel) {
            return wheel.in_contact && wheel.ground_kind == car_phys_e::ground_kind_road;
        });
    }

    // Drives off the road to the right until 30 m from its middle, over the verge onto the ground, and
    // back onto the road under input; the verge and the ground slow the truck but never stop it.
    void leave_and_come_back()
    {
        test_truck_e* truck = truck_at({road_x + 175.0f, road_y + 300.0f, 185000.0f});
        truck->automatic = 1;
        const float quarter = static_cast<float>(M_PI) / 4.0f;
        for (int i = 0; i < 150; ++i)
            drive_towards(*truck, 0.0f);
        ASSERT_TRUE(on_road(*truck));
        under_way_ = true;

        // Off to the right, over the skirt, until the truck is 30 m from the road's middle.
        int frames = 0;
        for (; frames < 1500 && truck->get_position().x < road_x + 3000.0f; ++frames)
            drive_towards(*truck, -quarter);
        ASSERT_GE(truck->get_position().x, road_x + 3000.0f) << "the truck never got past the verge";
        EXPECT_TRUE(kinds_.count(road_coll_skirt)) << "it crossed the verge";
        EXPECT_TRUE(kinds_.count(0)) << "it stood on the ground beyond";

        // Back to the road and along it again.
        for (frames = 0; frames < 1500 && truck->get_position().x > road_x + 100.0f; ++frames)
            drive_towards(*truck, quarter);
        for (int i = 0; i < 150; ++i)
            drive_towards(*truck, 0.0f);
        EXPECT_LT(std::fabs(truck->get_position().x - road_x), flat_road::half_width) << "back on the road";
        EXPECT_TRUE(on_road(*truck));
        EXPECT_NEAR(truck->get_position().y, road_y + 100.0f, 100.0f) << "on the road's surface";
        EXPECT_GT(slowest_, 2.0f) << "the verge and the grass slow the truck but never stop it";
        EXPECT_EQ(truck->car_phys_e::damage, 0.0f);
        EXPECT_FALSE(truck->wrecked);
    }

    bool banked_ = false;
    std::unique_ptr<base_ctrl_e> ctrl_;
    std::unique_ptr<road_geo_t> road_;
    std::set<int32_t> kinds_;
    bool under_way_ = false;
    float slowest_ = 1e9f;
};

TEST_F(verge_test, a_truck_leaves_the_road_over_the_verge_onto_the_grass_and_comes_back_under_input)
{
    leave_and_come_back();
}

// The same road between the sample map's banks: the truck crosses the bank onto the ground and back.
class banked_verge_test : public verge_test {
protected:
    banked_verge_test() { banked_ = true; }
};

TEST_F(banked_verge_test, a_truck_leaves_a_road_over_the_sample_bank_onto_the_grass_and_comes_back_under_input)
{
    leave_and_come_back();
}

}  // namespace
