#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "player_fixture.h"
#include "engine/gfx_record.h"
#include "engine/psm_record.h"

namespace {

// A make "dials" whose interior accessory is named "dash" (not "interior"): a model with the five dial
// parts and two shader lists.
class player_dials_test : public player_test_t {
protected:
    car_player_e* dial_truck(const std::string& lights_on)
    {
        std::string model = "psm 1\nbone root { }\n";
        for (const char* part : {"mph", "rpm", "fuel", "brake", "h_mph"})
            model += std::string("part ") + part + " { positions { 0 0 0 1 0 0 0 1 0 } indices { 0 1 2 } }\n";
        write_data_file("makes/truck/dials/acc/dash/dash.psm", model);
        write_data_file("makes/truck/dials/acc/dash/!desc.def",
                        "accessory {\ntype = interior\nmodel = dash.psm\nshader = body.shd\nlight_shader = \"" +
                            lights_on + "\"\nno_light_shader = \"n1.shd:n2.shd:n3.shd:n4.shd:n5.shd\"\n}\n");
        car_player_e* truck = player();
        const char* names[] = {"dash"};
        EXPECT_TRUE(truck->build("dials", names, 1));
        return truck;
    }
    // The shader of each drawn interior part in the cabin view.
    static std::map<std::string, std::string> dial_shaders(car_player_e& truck)
    {
        psm_clear_draw_records();
        truck.set_camera_mode(car_player_e::cam_cabin);
        truck.draw();
        std::map<std::string, std::string> shaders;
        for (const psm_draw_record_t& record : psm_draw_records())
            shaders[std::string(record.part_name)] = record.shader_path;
        return shaders;
    }
};

TEST_F(player_dials_test, the_dials_take_their_shaders_from_the_interior_accessorys_own_folder)
{
    car_player_e* truck = dial_truck("l1.shd:l2.shd:l3.shd:l4.shd:l5.shd");
    truck->lights = 0;
    truck->setup_interior();
    std::map<std::string, std::string> shaders = dial_shaders(*truck);
    EXPECT_EQ(shaders["mph"], "/makes/truck/dials/acc/dash/n1.shd");
    EXPECT_EQ(shaders["brake"], "/makes/truck/dials/acc/dash/n4.shd");
    EXPECT_EQ(shaders["h_mph"], "/makes/truck/dials/acc/dash/n5.shd");
    truck->lights = 1;
    truck->setup_interior();
    shaders = dial_shaders(*truck);
    EXPECT_EQ(shaders["rpm"], "/makes/truck/dials/acc/dash/l2.shd") << "headlights on: the lit list";
}

TEST_F(player_dials_test, a_list_of_four_names_leaves_the_dials_as_they_are)
{
    car_player_e* truck = dial_truck("l1.shd:l2.shd:l3.shd:l4.shd");
    truck->lights = 0;
    truck->setup_interior();
    truck->lights = 1;
    truck->setup_interior();
    EXPECT_EQ(dial_shaders(*truck)["fuel"], "/makes/truck/dials/acc/dash/n3.shd");
}

TEST_F(player_dials_test, the_speed_needle_of_the_built_interior_turns_with_the_speed)
{
    // The needle part hangs on the "h_mph" bone of the interior the build made.
    write_data_file("makes/truck/dials/acc/dash/dash.psm",
                    "psm 1\nbone root { }\nbone h_mph { parent root }\n"
                    "part h_mph { bone h_mph positions { 0 0 0 0 1 0 0 0 1 } indices { 0 1 2 } }\n");
    write_data_file("makes/truck/dials/acc/dash/!desc.def", "accessory {\ntype = interior\nmodel = dash.psm\n}\n");
    car_player_e* truck = player();
    const char* names[] = {"dash"};
    ASSERT_TRUE(truck->build("dials", names, 1));
    truck->set_camera_mode(car_player_e::cam_cabin);
    // Where the needle's tip (0, 1, 0 on its bone) is drawn.
    const auto needle_tip = [truck] {
        const size_t before = gfx_record_current().models.size();
        truck->draw();
        const auto& models = gfx_record_current().models;
        if (models.size() != before + 1 || models.back().geometry.positions.size() != 9)
            return vec3_t(-1.0f, -1.0f, -1.0f);
        const std::vector<float>& at = models.back().geometry.positions;
        return vec3_t(at[3], at[4], at[5]);
    };
    const vec3_t standing = needle_tip();
    EXPECT_NEAR(standing.y, 1.0f, 1e-4f);
    EXPECT_NEAR(standing.z, 0.0f, 1e-4f);
    truck->speed = 10.0f / (0.0006213711f * 3600.0f);
    truck->instruments().update_gauges(0.2f);
    ASSERT_FLOAT_EQ(truck->instruments().speed_needle(), 30.0f);
    const vec3_t moving = needle_tip();
    EXPECT_NEAR(moving.y, std::cos(30.0f * 3.14159265f / 180.0f), 1e-3f) << "the needle bone turned 30 degrees";
    EXPECT_NEAR(std::fabs(moving.z), 0.5f, 1e-3f);
}

}  // namespace
