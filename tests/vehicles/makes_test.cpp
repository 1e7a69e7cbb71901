#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "engine/psm.h"
#include "common/engine_api.h"
#include "vehicle_fixture.h"
#include "vehicles/body/car_trailor.h"
#include "world/car_smoke.h"

namespace {

// A model of one box part with the given bones (name and position).
std::string box_model(const std::vector<std::pair<std::string, vec3_t>>& bones, const std::string& part = "body")
{
    std::string text = "psm 1\nbone root { }\n";
    for (const auto& [name, at] : bones)
        text += "bone " + name + " { parent root matrix 1 0 0 " + std::to_string(at.x) + " 0 1 0 " +
                std::to_string(at.y) + " 0 0 1 " + std::to_string(at.z) + " 0 0 0 1 }\n";
    text += "part " + part + " { positions { 0 0 0 1 0 0 0 1 0 } indices { 0 1 2 } }\n";
    return text;
}

// Makes written into the test's own data root.
class makes_test : public vehicle_test_t {
protected:
    void trailer_accessory(const std::string& make, const std::string& name, const std::string& keys)
    {
        write_data_file("makes/trailer/" + make + "/acc/" + name + "/!desc.def", "accessory {\n" + keys + "}\n");
    }
    void truck_accessory(const std::string& make, const std::string& name, const std::string& keys)
    {
        write_data_file("makes/truck/" + make + "/acc/" + name + "/!desc.def", "accessory {\n" + keys + "}\n");
    }
    car_trailor_e* trailer() { return add(std::make_unique<car_trailor_e>()); }
    test_truck_e* truck() { return add(std::make_unique<test_truck_e>()); }
};

TEST_F(makes_test, the_access_list_ends_at_its_first_gap)
{
    write_data_file("makes/trailer/gap/description.def", "trailer { access0 = lamp; access2 = other; }\n");
    trailer_accessory("gap", "lamp", "type = lights\nflare_offset = \"0,0,0\"\nsubtype = reverse\n");
    trailer_accessory("gap", "other", "type = lights\n");
    car_trailor_e* t = trailer();
    t->read_description("gap", 0);
    EXPECT_STREQ(t->accessory_names[3], "lamp");
    EXPECT_EQ(t->models[3].light_bits, 4);
    EXPECT_STREQ(t->accessory_names[4], "");
    EXPECT_EQ(t->next_slot, 4);
}

TEST_F(makes_test, a_trailer_file_is_found_in_its_accessory_first_then_in_the_shared_folder)
{
    write_data_file("makes/trailer/look/description.def", "trailer { access0 = base; }\n");
    trailer_accessory("look", "base", "type = base\nmodel = base.psm\nshader0 = \"own.shd:common.shd\"\n");
    write_data_file("makes/trailer/look/acc/base/base.psm", box_model({{"wheel0", {100, -50, 300}},
                                                                       {"wheel2", {-100, -50, 450}},
                                                                       {"hook", {0, 20, -500}},
                                                                       {"bb0", {-120, 0, -600}},
                                                                       {"bb1", {120, 100, 600}}}));
    write_data_file("makes/trailer/look/acc/base/own.shd", "");
    write_data_file("makes/trailer/look/acc/shared/own.shd", "");
    write_data_file("makes/trailer/look/acc/shared/common.shd", "");
    car_trailor_e* t = trailer();
    t->read_description("look", 0);
    ASSERT_NE(t->models[2].model, nullptr);
    // A base with wheel bones 0 and 2 but no 1 counts two wheels and keeps entry 1 empty; its length
    // runs to the last wheel found, not to the empty entry.
    EXPECT_EQ(t->wheel_count, 2);
    EXPECT_EQ(t->wheel_positions[1], vec3_t{});
    EXPECT_NEAR(t->length_figure, std::sqrt(100.0f * 100.0f + 70.0f * 70.0f + 950.0f * 950.0f) + 200.0f, 0.01f);
    EXPECT_EQ(t->kingpin_local, (vec3_t{0.0f, 20.0f, -500.0f}));
    EXPECT_FLOAT_EQ(t->box_length, 1200.0f);
    EXPECT_FLOAT_EQ(t->size.x, 240.0f);
    EXPECT_EQ(t->wheels[2].ray_point, (vec3_t{-100.0f, -50.0f, 450.0f}));
}

TEST_F(makes_test, a_trailer_base_without_its_box_bones_is_reported_and_takes_the_fallback_box)
{
    write_data_file("makes/trailer/bare/description.def", "trailer { access0 = base; }\n");
    trailer_accessory("bare", "base", "type = base\nmodel = base.psm\n");
    write_data_file("makes/trailer/bare/acc/base/base.psm", box_model({{"hook", {0, 0, -400}}}));
    car_trailor_e* t = trailer();
    t->read_description("bare", 0);
    EXPECT_TRUE(engine_log_has("base bb0 bone not found"));
    EXPECT_TRUE(engine_log_has("base bb1 bone not found"));
    EXPECT_EQ(t->box_length, 0.0f);
    EXPECT_EQ(t->box_centre, (vec3_t{0.0f, 0.0f, 130.0f}));
    EXPECT_EQ(t->wheel_count, 0);
}

TEST_F(makes_test, a_missing_accessory_description_is_reported_and_left_out)
{
    write_data_file("makes/trailer/lost/description.def", "trailer { access0 = nothing; }\n");
    car_trailor_e* t = trailer();
    t->read_description("lost", 0);
    EXPECT_TRUE(engine_log_has("Unable to load def /makes/trailer/lost/acc/nothing/!desc.def"));
    test_truck_e* k = truck();
    const char* names[] = {"nothing"};
    EXPECT_TRUE(k->build("lost", names, 1));
    EXPECT_TRUE(engine_log_has("Unable to load def /makes/truck/lost/acc/nothing/!desc.def"));
}

TEST_F(makes_test, two_engines_the_later_wins_and_their_power_adds_up_to_at_most_100)
{
    truck_accessory("twin", "e1", "type = engine\npower = 70\ncons = 1.5\ntank = 300\n");
    truck_accessory("twin", "e2", "type = engine\npower = 45\ncons = 0.8\ntank = 500\n");
    test_truck_e* k = truck();
    const char* names[] = {"e1", "", "e2"};
    ASSERT_TRUE(k->build("twin", names, 3));
    EXPECT_FLOAT_EQ(k->consumption, 0.8f);
    EXPECT_FLOAT_EQ(k->tank, 500.0f);
    EXPECT_FLOAT_EQ(k->power, 100.0f);
    EXPECT_EQ(k->torque_table[30], 1400) << "the table follows the capped power";
}

TEST_F(makes_test, a_truck_takes_at_most_64_models_and_64_names_and_reports_the_rest)
{
    write_data_file("makes/truck/many/acc/shared/x.shd", "");
    std::vector<std::string> names;
    for (int i = 0; i < 70; ++i) {
        names.push_back("part" + std::to_string(i));
        truck_accessory("many", names.back(), "type = trim\nmodel = m.psm\nshader = x.shd\n");
        write_data_file("makes/truck/many/acc/" + names.back() + "/m.psm", box_model({}));
    }
    std::vector<const char*> list;
    for (const std::string& name : names)
        list.push_back(name.c_str());
    test_truck_e* k = truck();
    ASSERT_TRUE(k->build("many", list.data(), static_cast<int>(list.size())));
    EXPECT_TRUE(engine_log_has("a truck build names 70 accessories; only the first 64 are read"));
    EXPECT_EQ(k->model_count, car_phys_e::model_slot_count);
    EXPECT_TRUE(engine_log_has("truck many has more than 64 models; the model is left out"));
    for (int slot = 2; slot < car_phys_e::model_slot_count; ++slot)
        EXPECT_NE(k->models[slot].model, nullptr);
}

TEST_F(makes_test, names_longer_than_their_fields_are_refused_with_a_message)
{
    test_truck_e* k = truck();
    const std::string long_make(40, 'm');
    EXPECT_FALSE(k->build(long_make.c_str(), nullptr, 0));
    EXPECT_FALSE(engine_log_matching("truck make name \"mmmm").empty());
    const std::string long_name(40, 'a');
    const char* names[] = {long_name.c_str()};
    EXPECT_TRUE(k->build("short", names, 1));
    EXPECT_FALSE(engine_log_matching("truck accessory name \"aaaa").empty());
    EXPECT_STREQ(k->accessory_names[0], "");

    car_trailor_e* t = trailer();
    const std::string long_trailer(25, 't');
    t->read_description(long_trailer.c_str(), 0);
    EXPECT_FALSE(engine_log_matching("trailer make name \"tttt").empty());
    EXPECT_STREQ(t->make_name, "");
}

TEST_F(makes_test, an_empty_build_keeps_only_the_two_fixed_slots)
{
    test_truck_e* k = truck();
    const char* names[64] = {};
    for (const char*& name : names)
        name = "";
    EXPECT_TRUE(k->build("any", names, 64));
    EXPECT_EQ(k->model_count, 2);
    EXPECT_EQ(k->models[1].model, nullptr);
}

// A light whose "bone_offset" names the cabin's deform bone 1 sits at the cabin's offset plus its own
// and moves with that bone, dents included; a number the cabin has no bone for is reported and leaves
// the light where it is.
TEST_F(makes_test, a_light_with_a_bone_offset_follows_that_deform_bone_of_the_cabin)
{
    truck_accessory("dent", "lamp",
                    "type = lights\nmodel = lamp.psm\noffset = \"0,0,-5\"\nbone_offset = 1\n"
                    "flare_offset = \"0,0,0\"\nsubtype = normal\n");
    truck_accessory("dent", "stray", "type = lights\nmodel = lamp.psm\nbone_offset = 7\n");
    truck_accessory("dent", "cabin", "type = cabin\nmodel = cabin.psm\noffset = \"0,10,0\"\n");
    write_data_file("makes/truck/dent/acc/lamp/lamp.psm", box_model({}));
    write_data_file("makes/truck/dent/acc/stray/lamp.psm", box_model({}));
    write_data_file(
        "makes/truck/dent/acc/cabin/cabin.psm",
        box_model({{"root_deform", {0, 120, -300}}, {"deform0", {0, 120, -400}}, {"deform1", {100, 60, -400}}}));
    test_truck_e* k = truck();
    const char* names[] = {"lamp", "stray", "cabin"};
    ASSERT_TRUE(k->build("dent", names, 3));
    ASSERT_EQ(k->cabin_slot, 4);
    const car_model_slot_t& lamp = k->models[2];
    EXPECT_EQ(lamp.follow_bone, k->deform_bones[1].bone);
    EXPECT_EQ(lamp.offset, (vec3_t{0.0f, 10.0f, -5.0f}));
    EXPECT_EQ(k->models[3].follow_bone, -1);
    EXPECT_EQ(k->models[3].offset, vec3_t{});
    EXPECT_TRUE(engine_log_has("truck dent: a model follows deform bone 7, which the cabin does not have"));

    // Dented inwards by 1, the bone and the lamp with it move 50 back along the bone's direction.
    k->deform_bones[1].amount = 1.0f;
    ASSERT_TRUE(k->build("dent", names, 3));
    mat4_t bone;
    ASSERT_TRUE(api::psm_bone_get_matrix(k->models[4].model, k->models[2].follow_bone, &bone));
    const vec3_t direction = k->deform_bones[1].direction;
    EXPECT_NEAR(bone.m[0][3], 100.0f - 50.0f * direction.x, 1e-3f);
    EXPECT_NEAR(bone.m[2][3], -400.0f - 50.0f * direction.z, 1e-3f);
}

// The sample game's truck makes.
class sample_truck_test : public vehicle_test_t {
protected:
    bool sample_data() const override { return true; }
};

TEST_F(sample_truck_test, a_sample_truck_builds_from_its_accessories_and_drives)
{
    auto* truck = add(std::make_unique<test_truck_e>());
    const char* names[] = {"base",   "cabin",  "interior", "engine", "transmission",
                           "brakes", "wheels", "pipes",    "paint",  "lights_front"};
    ASSERT_TRUE(truck->build("kestrel", names, 10));
    EXPECT_FLOAT_EQ(truck->power, 55.0f);
    EXPECT_EQ(truck->gear_count, 6);
    EXPECT_FLOAT_EQ(truck->ratios[1], 12.0f);
    EXPECT_FLOAT_EQ(truck->brake_strength, 800.0f);
    EXPECT_FLOAT_EQ(truck->tank, 600.0f);
    EXPECT_NE(truck->models[1].model, nullptr);
    ASSERT_GE(truck->cabin_slot, 2);
    EXPECT_EQ(truck->deform_count, 6);
    EXPECT_FLOAT_EQ(truck->cabin_measures[0], 220.0f);
    EXPECT_EQ(truck->rear_wheel_count, 2);
    EXPECT_FLOAT_EQ(truck->size.z, 400.0f);
    EXPECT_FLOAT_EQ(truck->size.x, 300.0f);
    EXPECT_FLOAT_EQ(truck->box_length, 700.0f);
    EXPECT_EQ(truck->painted, 1);
    EXPECT_STREQ(truck->paint_shader, "/makes/truck/kestrel/acc/paint/paint.shd");
    EXPECT_EQ(truck->exhaust_pipes, 1);
    EXPECT_EQ(truck->smoke_bone_missing, 0);
    ASSERT_GE(truck->interior_slot, 2);
    psm_t* const interior = truck->models[truck->interior_slot].model;
    EXPECT_TRUE(api::psm_part_get_visible(interior, api::psm_part_find(interior, "sw")));
    EXPECT_FALSE(api::psm_part_get_visible(interior, api::psm_part_find(interior, "spare")));
    EXPECT_TRUE(engine_log_matching("not found").empty()) << "every bone the build looks up is there";
    // The headlights: two flares seen from ahead, and the dash part that lights with them.
    const auto lamp = std::find_if(std::begin(truck->models), std::end(truck->models),
                                   [](const car_model_slot_t& slot) { return slot.light_bits == 1; });
    ASSERT_NE(lamp, std::end(truck->models));
    ASSERT_EQ(lamp->flares.size(), 2u);
    EXPECT_EQ(lamp->flares[0].direction, (vec3_t{0.0f, 0.0f, -1.0f}));
    EXPECT_NE(lamp->flares[0].shader, nullptr);
    const int dash = api::psm_part_find(interior, "dash_lights");
    ASSERT_GE(dash, 0);
    EXPECT_EQ(lamp->interior_parts[0], dash);
    EXPECT_FALSE(api::psm_part_get_visible(interior, dash));
    truck->lights = 1;
    truck->light_interior_parts();
    EXPECT_TRUE(api::psm_part_get_visible(interior, dash)) << "lit with the headlights";
    truck->lights = 0;
    truck->light_interior_parts();
    EXPECT_FALSE(api::psm_part_get_visible(interior, dash));

    truck->position = {2000.0f, 400.0f, 190000.0f};
    truck->create_body(0);
    ASSERT_TRUE(truck->place_on_ground(0));
    truck->engine_state = car_truck_e::engine_running;
    truck->air_pressure = 100.0f;
    run_seconds(1.0f);
    EXPECT_EQ(truck->wheels_in_contact, 4);
    truck->controls.throttle = 1.0f;
    run_seconds(5.0f);
    EXPECT_GT(forward_speed(*truck), 300.0f);
    EXPECT_GE(truck->gear, 2);

    // The exhaust smoke follows the engine speed.
    for (const entity_handle_t& emitter : truck->smoke)
        EXPECT_NE(dynamic_cast<car_smoke_e*>(emitter.resolve()), nullptr);
    auto* const exhaust = dynamic_cast<car_smoke_e*>(truck->smoke[0].resolve());
    ASSERT_NE(exhaust, nullptr);
    while (truck->rpm < 2700 && world_->physics().step_count() < 2000)
        run(1);
    EXPECT_TRUE(exhaust->emitting());
    EXPECT_LT((exhaust->position - truck->get_position()).length_sq(), 500.0f * 500.0f) << "the smoke leaves the pipes";
    EXPECT_GT(exhaust->position.y, truck->get_position().y + 100.0f);
    truck->controls.throttle = 0.0f;
    truck->gear = -1;
    truck->automatic = 0;
    run(1);
    EXPECT_FALSE(exhaust->emitting());
}

}  // namespace
