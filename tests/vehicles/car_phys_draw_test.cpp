#include <gtest/gtest.h>

#include <algorithm>

#include "decal_recorder.h"
#include "vehicle_fixture.h"
#include "common/game_settings.h"
#include "common/world_view.h"
#include "engine/gfx_record.h"
#include "engine/psm_record.h"
#include "common/engine_api.h"

namespace {

class car_phys_draw_test : public vehicle_test_t {
protected:
    void SetUp() override
    {
        vehicle_test_t::SetUp();
        gfx_record_set_all_visible(true);
        psm_clear_draw_records();
    }
    void TearDown() override
    {
        gfx_record_set_all_visible(false);
        set_game_detail_level(1);
        set_drawing_secondary_view(false);
        vehicle_test_t::TearDown();
    }

    // A one-part model standing in for a piece of the build.
    psm_t* small_model(const char* name)
    {
        const std::string path = std::string("models/test/") + name + ".psm";
        write_data_file(path,
                        "psm 1\nbone root { }\npart body { positions { 0 0 0 1 0 0 0 1 0 } indices { 0 1 2 } }\n");
        return api::psm_alloc(("/" + path).c_str(), 0, 0, 0);
    }

    // How many parts of `model` were drawn since the last clear.
    static size_t drawn(const psm_t* model)
    {
        const auto& records = psm_draw_records();
        return static_cast<size_t>(std::count_if(records.begin(), records.end(),
                                                 [&](const psm_draw_record_t& r) { return r.model == model; }));
    }
};

TEST_F(car_phys_draw_test,
       a_truck_places_its_shadow_and_with_headlights_its_pool_unless_a_mirror_or_the_cabin_view_draws)
{
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    EXPECT_TRUE(truck->type_flags & 4u) << "the world calls its pre-draw";
    decal_recorder_t decals;
    truck->pre_draw();
    ASSERT_EQ(decals.of("/scripts/decals/shadow.esc").size(), 1u);
    const auto shadow = decals.of("/scripts/decals/shadow.esc")[0];
    const vec3_t centre = truck->get_position() + vec3_t(0.0f, 60.0f, 0.0f);
    EXPECT_NEAR(shadow.start.y, centre.y + 500.0f, 1e-2f);
    EXPECT_NEAR(shadow.end.y, centre.y - 500.0f, 1e-2f);
    EXPECT_TRUE(decals.of("scripts/decals/lights.esc").empty()) << "headlights off";

    truck->lights = 1;
    truck->pre_draw();
    EXPECT_EQ(decals.of("scripts/decals/lights.esc").size(), 1u);
    truck->damage = 0.9f;
    truck->pre_draw();
    EXPECT_EQ(decals.of("scripts/decals/lights.esc").size(), 1u) << "broken lights cast no pool";

    decals.placements.clear();
    set_game_detail_level(0);
    truck->pre_draw();
    EXPECT_TRUE(decals.of("/scripts/decals/shadow.esc").empty()) << "no shadow at the lowest detail";
    set_game_detail_level(1);
    set_drawing_secondary_view(true);
    truck->pre_draw();
    set_drawing_secondary_view(false);
    truck->camera_mode = 4;
    truck->pre_draw();
    EXPECT_TRUE(decals.placements.empty()) << "nothing from the mirror or the cabin view";
}

TEST_F(car_phys_draw_test, a_truck_draws_its_models_and_wheels_with_its_paint_and_lights_by_their_bits)
{
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    truck->models[1].model = small_model("chassis");
    ASSERT_NE(truck->models[1].model, nullptr);
    truck->wheel_models[0] = small_model("front_wheel");
    truck->wheel_models[1] = small_model("rear_wheel");
    truck->rear_wheel_count = 2;
    truck->set_color(0x336699);
    truck->paint_alpha = 128.0f;
    truck->draw();
    const psm_t* chassis = truck->models[1].model;
    ASSERT_GT(drawn(chassis), 0u);
    for (const psm_draw_record_t& record : psm_draw_records()) {
        if (record.model == chassis) {
            EXPECT_EQ(record.colour, 0x80336699u) << "the paint with its alpha";
        }
    }
    EXPECT_EQ(drawn(truck->wheel_models[0]), 2u) << "both front wheels";
    EXPECT_EQ(drawn(truck->wheel_models[1]), 2u) << "both rear wheels";

    // A light model shows only while the vehicle's lights share its bit and the damage is low.
    truck->models[1].light_bits = 1;
    for (const auto& [lights, damage, shown] :
         {std::tuple{uint8_t{0}, 0.0f, false}, std::tuple{uint8_t{1}, 0.0f, true}, std::tuple{uint8_t{2}, 0.0f, false},
          std::tuple{uint8_t{1}, 0.85f, false}}) {
        psm_clear_draw_records();
        truck->lights = lights;
        truck->damage = damage;
        truck->draw();
        EXPECT_EQ(drawn(chassis) > 0, shown) << int(lights) << " " << damage;
    }
}

// A light's flares glow only while its light is on, and then from everywhere at full brightness: the
// camera looks down -z, and a headlight facing -z shows to it as well as a tail light facing +z.
TEST_F(car_phys_draw_test, a_light_shows_all_its_flares_while_it_is_on_whichever_way_they_face)
{
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    truck->models[1].model = small_model("lamps");
    truck->models[1].light_bits = 1;
    write_data_file("makes/test/glow.shd", "texture 32 32\n");
    for (const vec3_t& direction : {vec3_t{0.0f, 0.0f, 1.0f}, vec3_t{0.0f, 0.0f, -1.0f}}) {
        vehicle_flare_t flare;
        flare.kind = 1;
        flare.offset = {80.0f, 50.0f, 350.0f};
        flare.direction = direction;
        flare.scale = 8.0f;
        flare.shader = api::mm_precache("/makes/test/glow.shd");
        ASSERT_NE(flare.shader, nullptr);
        truck->models[1].flares.push_back(flare);
    }
    const size_t before = gfx_record_current().sprites.size();
    truck->lights = 0;
    truck->draw();
    EXPECT_EQ(gfx_record_current().sprites.size(), before) << "lights off";
    truck->lights = 1;
    truck->draw();
    const std::vector<gfx_recorded_sprites_t>& sprites = gfx_record_current().sprites;
    ASSERT_EQ(sprites.size(), before + 2) << "both flares";
    for (size_t i = before; i < sprites.size(); ++i) {
        EXPECT_EQ(sprites[i].shader_path, "/makes/test/glow.shd");
        EXPECT_FLOAT_EQ(sprites[i].size, 80.0f);
        EXPECT_EQ(sprites[i].sprites[0].colour, 0xFFFFFFFFu);
    }
}

// The traffic's trucks show a flare only where its direction faces the camera (looking down -z): one
// facing +z at full brightness, one facing -z not at all, one without a direction always.
TEST_F(car_phys_draw_test, flares_seen_facing_the_camera_show_only_where_they_face_it)
{
    write_data_file("makes/test/glow.shd", "texture 32 32\n");
    std::vector<vehicle_flare_t> flares;
    for (const vec3_t& direction : {vec3_t{0.0f, 0.0f, 1.0f}, vec3_t{0.0f, 0.0f, -1.0f}, vec3_t{}}) {
        vehicle_flare_t flare;
        flare.kind = 2;
        flare.direction = direction;
        flare.shader = api::mm_precache("/makes/test/glow.shd");
        flares.push_back(flare);
    }
    const size_t before = gfx_record_current().sprites.size();
    draw_vehicle_flares(flares, 2, flare_view_t::facing_camera);
    const std::vector<gfx_recorded_sprites_t>& sprites = gfx_record_current().sprites;
    ASSERT_EQ(sprites.size(), before + 2);
    EXPECT_EQ(sprites[before].sprites[0].colour, 0xFFFFFFFFu);
    EXPECT_EQ(sprites[before + 1].sprites[0].colour, 0xFFFFFFFFu);
    free_vehicle_flares(flares);
}

}  // namespace
