#include <gtest/gtest.h>

#include <cmath>

#include "player_fixture.h"
#include "engine/gfx_record.h"
#include "engine/gfx_view.h"
#include "engine/psm_record.h"
#include "physics/cd_geo_box.h"
#include "physics/physproc.h"

namespace {

class player_camera_test : public player_test_t {
protected:
    // Where the camera of `mode` stands for a truck heading -Z.
    static vec3_t camera_at(car_player_e& truck, uint8_t mode)
    {
        truck.set_camera_mode(mode);
        mat4_t matrix, inverse;
        truck.place_camera(matrix, inverse);
        return mult_zero_matrix(matrix);
    }
    static void expect_near(const vec3_t& a, const vec3_t& b, const char* what)
    {
        EXPECT_NEAR(a.x, b.x, 0.5f) << what;
        EXPECT_NEAR(a.y, b.y, 0.5f) << what;
        EXPECT_NEAR(a.z, b.z, 0.5f) << what;
    }
};

TEST_F(player_camera_test, every_camera_mode_stands_where_its_frame_puts_it)
{
    car_player_e* truck = player();
    truck->interior_offset = {40.0f, 180.0f, -270.0f};
    truck->side_camera = {300.0f, 250.0f, 100.0f};
    truck->roof_camera = {0.0f, 420.0f, 150.0f};
    truck->cameras().fly_from({5.0f, 6.0f, 7.0f});
    truck->cameras().set_chase(0.0f, 1300.0f);
    const vec3_t at = truck->get_position();
    const struct {
        uint8_t mode;
        vec3_t offset;
        const char* what;
    } cases[] = {
        {car_player_e::cam_intro, {0.0f, 500.0f, 1500.0f}, "intro orbit"},
        {car_player_e::cam_cabin, {40.0f, 180.0f, -270.0f}, "cabin"},
        {car_player_e::cam_side, {300.0f, 250.0f, 100.0f}, "side"},
        {car_player_e::cam_chase, {0.0f, 500.0f, 2100.0f}, "chase"},
        {car_player_e::cam_top, {0.0f, 2500.0f, -600.0f}, "top-down, looking down from 25 m"},
        {car_player_e::cam_dynamic, {0.0f, 500.0f, 1300.0f}, "dynamic chase"},
        {car_player_e::cam_hood, {12.0f, 54.0f, -81.0f}, "hood"},
        {car_player_e::cam_roof, {0.0f, 420.0f, 150.0f}, "roof"},
    };
    for (const auto& c : cases) {
        truck->cameras().reset_heading();
        expect_near(camera_at(*truck, c.mode), at + c.offset, c.what);
    }
    expect_near(camera_at(*truck, car_player_e::cam_fly), {5.0f, 6.0f, 7.0f}, "fly");
    truck->cameras().set_police_point(at + vec3_t(0.0f, 500.0f, 0.0f));
    expect_near(camera_at(*truck, car_player_e::cam_police), at + vec3_t(0.0f, 500.0f, -200.0f),
                "police, looking down at the truck");
}

TEST_F(player_camera_test, the_police_view_from_the_truck_itself_and_a_zero_step_stay_finite)
{
    car_player_e* truck = player();
    truck->cameras().set_police_point(truck->get_position());
    const vec3_t at = camera_at(*truck, car_player_e::cam_police);
    EXPECT_TRUE(std::isfinite(at.x) && std::isfinite(at.y) && std::isfinite(at.z));
    player_cameras_t& cameras = truck->cameras();
    cameras.reset_heading();
    cameras.smooth_heading({0.0f, 350.0f, 0.0f}, 0.0f);
    cameras.smooth_heading({0.0f, 10.0f, 0.0f}, 0.0f);
    EXPECT_FLOAT_EQ(cameras.smoothed_heading().y, 350.0f) << "no time, no turn";
}

TEST_F(player_camera_test, the_smoothed_yaw_takes_the_short_way_and_stays_within_0_to_360)
{
    car_player_e* truck = player();
    player_cameras_t& cameras = truck->cameras();
    cameras.reset_heading();
    cameras.smooth_heading({0.0f, 350.0f, 0.0f}, 0.02f);
    for (int i = 0; i < 500; ++i) {
        cameras.smooth_heading({0.0f, 10.0f, 0.0f}, 0.02f);
        ASSERT_GE(cameras.smoothed_heading().y, 0.0f);
        ASSERT_LT(cameras.smoothed_heading().y, 360.0f);
    }
    EXPECT_NEAR(cameras.smoothed_heading().y, 10.0f, 0.2f) << "through 0, not back through 180";
}

TEST_F(player_camera_test, the_top_view_clears_the_trailer_flag_and_a_repeated_mode_changes_no_sound)
{
    car_player_e* truck = player();
    truck->set_camera_mode(car_player_e::cam_top);
    EXPECT_FALSE(trailer_view_flag());
    truck->set_camera_mode(car_player_e::cam_chase);
    EXPECT_TRUE(trailer_view_flag());
}

TEST_F(player_camera_test, a_blocked_view_lowers_the_camera_into_the_cabin_unless_camera_collision_is_off)
{
    car_player_e* truck = player();
    // A low roof over the truck: every camera place above it is hidden from the truck.
    cd_geo_box_t wall({8000.0f, 100.0f, 8000.0f}, nullptr, -1, -1);
    wall.set_position(truck->get_position() + vec3_t(0.0f, 350.0f, 0.0f));
    world_->physics().insert_geom(&wall);
    frames(1);

    truck->cameras().set_collision(false);
    for (int i = 0; i < 30; ++i)
        camera_at(*truck, car_player_e::cam_chase);
    EXPECT_EQ(truck->camera_mode, car_player_e::cam_chase);
    EXPECT_EQ(truck->cameras().obstruction_pitch(), 0.0f);

    truck->cameras().set_collision(true);
    for (int i = 0; i < 30 && truck->camera_mode == car_player_e::cam_chase; ++i) {
        mat4_t matrix, inverse;
        truck->place_camera(matrix, inverse);
    }
    EXPECT_EQ(truck->camera_mode, car_player_e::cam_cabin);
    EXPECT_EQ(truck->cameras().obstruction_pitch(), -90.0f);
    world_->physics().remove_geom(&wall);
}

}  // namespace

namespace {

TEST_F(player_camera_test, the_traffic_views_follow_the_ai_truck_and_stand_at_the_truck_without_one)
{
    car_player_e* truck = player();
    const vec3_t at = truck->get_position();
    expect_near(camera_at(*truck, car_player_e::cam_traffic), at + vec3_t(0.0f, 300.0f, 938.0f),
                "behind the truck itself while the AI truck's slot is empty");

    traffic_->ai_truck_on_road = true;
    traffic_->ai_truck_position = {1000.0f, 50.0f, 2000.0f};
    traffic_->ai_truck_rotation.set(vec3_t(0.0f, 1.0f, 0.0f), 90.0f);
    const quat_t& turn = traffic_->ai_truck_rotation;
    expect_near(camera_at(*truck, car_player_e::cam_traffic),
                traffic_->ai_truck_position + normal_rotate(vec3_t(0.0f, 300.0f, 938.0f), turn),
                "behind the AI truck, turned with it");
    const vec3_t beside = camera_at(*truck, car_player_e::cam_beside_traffic) - traffic_->ai_truck_position;
    EXPECT_NEAR(beside.y, 300.0f, 0.5f);
    EXPECT_NEAR(std::sqrt(beside.x * beside.x + beside.z * beside.z), 1450.0f, 0.5f) << "14.5 m off the AI truck";
    const vec3_t along = normal_rotate(vec3_t(0.0f, 0.0f, -1.0f), turn);
    EXPECT_NEAR(beside.x * along.x + beside.z * along.z, 1450.0f * std::cos(30.0f * 3.14159265f / 180.0f), 1.0f)
        << "ahead of it, 30 degrees off its heading";

    script("0 impulse 139 1\n0.05 impulse 139 0\n0.1 impulse 138 1\n0.15 impulse 138 0\n");
    frames(3);
    EXPECT_EQ(truck->camera_mode, car_player_e::cam_beside_traffic);
    frames(5);
    EXPECT_EQ(truck->camera_mode, car_player_e::cam_traffic);
}

}  // namespace

namespace {

// The cameras of a truck built from the sample game's kestrel make.
class player_sample_camera_test : public player_camera_test {
protected:
    bool sample_data() const override { return true; }
};

TEST_F(player_sample_camera_test, the_cabin_is_drawn_through_its_own_near_view_and_leaves_the_stacks_balanced)
{
    car_player_e* truck = player();
    const char* const accessories[] = {"base", "cabin", "interior", "engine", "transmission", "brakes", "wheels"};
    ASSERT_TRUE(truck->build("kestrel", accessories, 7));
    truck->set_camera_mode(car_player_e::cam_cabin);
    truck->cameras().set_look({0.0f, 20.0f, 0.0f});
    mat4_t matrix, inverse;
    truck->place_camera(matrix, inverse);
    gfx_camera_load(&inverse.m[0][0], &matrix.m[0][0]);
    const size_t views = gfx_record_current().views.size();
    psm_clear_draw_records();
    truck->draw();

    ASSERT_EQ(gfx_record_current().views.size(), views + 1);
    EXPECT_FLOAT_EQ(gfx_record_current().views.back().near_plane, 2.0f);
    EXPECT_FLOAT_EQ(gfx_record_current().views.back().far_plane, 10000.0f);
    EXPECT_EQ(gfx_record_world_depth(), 1);
    EXPECT_EQ(gfx_record_view_depth(), 0);
    ASSERT_FALSE(psm_draw_records().empty());
    for (const psm_draw_record_t& part : psm_draw_records())
        EXPECT_EQ(part.model, truck->models[truck->interior_slot].model) << "only the interior: " << part.part_name;
}

}  // namespace
