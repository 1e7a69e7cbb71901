#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/cache.h"
#include "engine/eblock.h"
#include "engine/entity_proc.h"
#include "engine/psm.h"
#include "common/engine_api.h"
#include "engine/psm_record.h"
#include "traffic_ring_fixture.h"
#include "vehicle_fixture.h"
#include "vehicles/body/car_trailor.h"
#include "vehicles/links/vehicle_links.h"

namespace {

// The economy's drivers as the traffic asks about them: one driver whose route runs over `route`.
class driver_economy_e : public entity_t, public traffic_economy_t {
public:
    bool driver_route_node(int32_t, int32_t& out_node) const override
    {
        out_node = position < route.size() ? route[position] : -1;
        return out_node != -1;
    }
    bool driver_next_node(int32_t, int32_t& out_node) const override
    {
        out_node = position + 1 < route.size() ? route[position + 1] : -1;
        return out_node != -1;
    }
    void driver_route_step(int32_t) override { ++position; }
    void set_driver_spawned(int32_t driver, bool on) override { spawned_calls.emplace_back(driver, on); }

    std::vector<int32_t> route{0, 1, 2, 3};
    size_t position = 0;
    std::vector<std::pair<int32_t, bool>> spawned_calls;
};

// The player's truck that also hears the driver's call-in.
class listening_player_e : public ring_player_e {
public:
    void driver_truck_arrived(int32_t driver) override { arrivals.push_back(driver); }
    void driver_truck_left() override { ++departures; }

    std::vector<int32_t> arrivals;
    int departures = 0;
};

// A model of one part with the given bones (name and position).
std::string model_with_bones(const std::vector<std::pair<std::string, vec3_t>>& bones, const std::string& part = "body")
{
    std::string text = "psm 1\nbone root { }\n";
    for (const auto& [name, at] : bones)
        text += "bone " + name + " { parent root matrix 1 0 0 " + std::to_string(at.x) + " 0 1 0 " +
                std::to_string(at.y) + " 0 0 1 " + std::to_string(at.z) + " 0 0 0 1 }\n";
    text += "part " + part + " { positions { 0 0 0 1 0 0 0 1 0 } indices { 0 1 2 } }\n";
    return text;
}

using accessory_list_t = char[ai_truck_t::accessory_capacity][ai_truck_t::accessory_name_size];

// The ring of roads with an economy driver whose route runs round it, and a truck make "hauler".
class traffic_truck_test : public traffic_ring_test_t {
protected:
    void SetUp() override
    {
        traffic_ring_test_t::SetUp();
        economy = std::make_unique<driver_economy_e>();
        listener = std::make_unique<listening_player_e>();
        listener->viewer = player->viewer;
        bridge->register_economy(economy->handle());
        bridge->set_avatar(listener->handle());
        write_make();
        look_from(player->viewer);
    }
    void TearDown() override
    {
        traffic->destroy(0);
        economy.reset();
        listener.reset();
        traffic_ring_test_t::TearDown();
    }

    void accessory(const std::string& name, const std::string& keys)
    {
        write_data_file("makes/truck/hauler/acc/" + name + "/!desc.def", "accessory {\n" + keys + "}\n");
    }
    void write_make()
    {
        accessory("base", "type = base\nmodel = chassis.psm\nshader = body.shd\nwheel_size = 8\n");
        write_data_file("makes/truck/hauler/acc/base/chassis.psm", model_with_bones({{"wheel0", {-100, 40, -300}},
                                                                                     {"wheel1", {100, 40, -300}},
                                                                                     {"wheel2", {-100, 40, 200}},
                                                                                     {"wheel3", {100, 40, 200}},
                                                                                     {"bb0", {-120, 0, -400}},
                                                                                     {"bb1", {120, 0, 300}}}));
        write_data_file("makes/truck/hauler/acc/shared/body.shd", "");
        accessory("cabin", "type = cabin\nmodel = cabin.psm\nhorn_snd = horn.ogg\noffset = \"0,100,-250\"\n");
        write_data_file("makes/truck/hauler/acc/cabin/horn.ogg", "horn");
        write_data_file("makes/truck/hauler/acc/cabin/cabin.psm",
                        model_with_bones({{"deform2", {10, 20, 30}}}, "cabin"));
        accessory("engine", "type = engine\ncons = 3\n");
        accessory("mirror", "type = mirror\nmodel = mirror.psm\noffset = \"1,2,3\"\nbone_offset = 2\n");
        write_data_file("makes/truck/hauler/acc/mirror/mirror.psm", model_with_bones({}));
        accessory("wrong", "type = mirror\nmodel = mirror.psm\nbone_offset = 60\n");
        write_data_file("makes/truck/hauler/acc/wrong/mirror.psm", model_with_bones({}));
        accessory("lights", "type = lights\nmodel = lamps.psm\nsubtype = brake\nflare_offset = \"80,50,-353 "
                            "-80,50,-353\"\nflare_direction = \"0,0,1 0,0,1\"\nflare_shader = flare.shd\n");
        write_data_file("makes/truck/hauler/acc/lights/lamps.psm", model_with_bones({}));
        write_data_file("makes/truck/hauler/acc/lights/flare.shd", "");
        accessory("wheels", "type = wheels\nfront_model = wheel.psm\nrear_model = wheel.psm\n");
        write_data_file("makes/truck/hauler/acc/wheels/wheel.psm", model_with_bones({}, "low"));
    }
    // An order naming the accessories at the given places of the 64 names.
    void order(accessory_list_t& names, const std::vector<std::pair<int, const char*>>& at)
    {
        std::memset(names, 0, sizeof names);
        for (const auto& [index, name] : at)
            std::snprintf(names[index], sizeof names[index], "%s", name);
    }
    // The player's camera moves to `at`, as the traffic reads it each frame.
    void look_from(const vec3_t& at)
    {
        listener->viewer = at;
        traffic->viewer_position = at;
    }
    // Spawns driver 4's truck on `edge` with the whole make.
    void spawn(int32_t edge)
    {
        accessory_list_t names;
        order(names, {{0, "base"}, {1, "cabin"}, {2, "engine"}, {3, "mirror"}, {5, "lights"}, {63, "wheels"}});
        traffic->spawn_ai_truck(edge, 4, "flatbed", 0, "hauler", names, 0xff336699u);
    }

    std::unique_ptr<driver_economy_e> economy;
    std::unique_ptr<listening_player_e> listener;
};

TEST_F(traffic_truck_test, a_truck_is_placed_only_on_a_registered_road_out_of_the_viewers_sight_and_only_once)
{
    traffic->spawn_ai_truck(99, 4, "flatbed", 0, "hauler", nullptr, 0);
    EXPECT_FALSE(traffic->ai_truck.present) << "an edge no registered road holds";

    // About 6 m from the start of edge 0, the viewer 20 m from it: too near to appear.
    look_from({2600.0f, 0.0f, 0.0f});
    spawn(0);
    EXPECT_FALSE(traffic->ai_truck.present);
    EXPECT_EQ(traffic->ai_truck.driver, 4) << "the driver and the colour are kept even so";
    EXPECT_TRUE(economy->spawned_calls.empty());

    look_from(player->viewer);  // about 420 m away
    spawn(0);
    ASSERT_TRUE(traffic->ai_truck.present);
    EXPECT_EQ(std::ranges::count(traffic->spawned, 0), 1);
    const traffic_car_t& truck = traffic->cars[0];
    EXPECT_EQ(truck.route.edge, 0);
    EXPECT_EQ(truck.route.route, &traffic->ai_truck.route);
    EXPECT_EQ(truck.model, 3) << "model 3 even with a catalogue of two cars";
    // Listed in lane 1, it drives there: 200 + 1 x 350 right of the middle, not where its route's lane
    // number (counted from 0) would put it.
    EXPECT_EQ(truck.route.lane, 1.0f);
    EXPECT_EQ(truck.route.lateral, 550.0f);
    EXPECT_EQ(traffic->roads[static_cast<size_t>(truck.road_slot)].car_count, 1);
    EXPECT_EQ(economy->spawned_calls, (std::vector<std::pair<int32_t, bool>>{{4, true}}));
    EXPECT_EQ(traffic->ai_truck_driver(), 4);

    spawn(0);
    EXPECT_EQ(std::ranges::count(traffic->spawned, 0), 1) << "a second spawn while one is present";
    EXPECT_EQ(economy->spawned_calls.size(), 1u);
}

TEST_F(traffic_truck_test, the_build_reads_every_named_accessory_of_the_64_into_its_part_slots)
{
    spawn(0);
    ASSERT_TRUE(traffic->ai_truck.present);
    const ai_truck_t& truck = traffic->ai_truck;
    // base in slot 1; cabin 2, mirror 3, lights 4; the engine takes no slot; the 64th name (wheels) read.
    EXPECT_EQ(truck.part_count, 5);
    EXPECT_NE(truck.parts[1].model, nullptr);
    EXPECT_EQ(truck.cabin_slot, 2);
    EXPECT_NE(truck.front_wheel_model, nullptr);
    EXPECT_NE(truck.rear_wheel_model, nullptr);
    EXPECT_NE(truck.horn, nullptr);
    EXPECT_FLOAT_EQ(truck.ride_height, 8.0f + 40.0f + 62.0f);
    EXPECT_FLOAT_EQ(truck.body_offset, (400.0f - 300.0f) * 0.5f);
    EXPECT_EQ(truck.wheel_count, 2);
    EXPECT_EQ(truck.wheel_points[1], (vec3_t{100, 40, 200}));
    // The mirror follows deform bone 2 of the cabin, moved by the cabin's own offset.
    EXPECT_EQ(truck.parts[3].offset, (vec3_t{1 + 10, 2 + 20 + 100, 3 + 30 - 250}));
    ASSERT_EQ(truck.parts[4].flares.size(), 2u);
    EXPECT_EQ(truck.parts[4].flares[1].offset, (vec3_t{-80, 50, -353}));
    EXPECT_EQ(truck.parts[4].flares[1].kind, 2);
    EXPECT_NE(truck.parts[4].flares[1].shader, nullptr);
}

TEST_F(traffic_truck_test, the_trucks_models_are_lit_by_the_maps_lights)
{
    // The map's light list as its scenery models are given it.
    struct map_lights_t : seg_light_source_t {
        const void* static_model_lights() override { return &list; }
        const std::vector<c_item_t*> list;
    } lights;
    ctrl->seg_server->set_light_source(&lights);
    spawn(0);
    ASSERT_TRUE(traffic->ai_truck.present);
    const ai_truck_t& truck = traffic->ai_truck;
    psm_clear_draw_records();
    for (psm_t* const model : {truck.parts[1].model, truck.parts[truck.cabin_slot].model, truck.front_wheel_model})
        api::psm_draw(model, 1, 0xFFFFFFFFu);
    ASSERT_FALSE(psm_draw_records().empty());
    for (const psm_draw_record_t& drawn : psm_draw_records())
        EXPECT_EQ(drawn.lights, &lights.list) << drawn.part_name;
    ctrl->seg_server->clear_light_source();
}

TEST_F(traffic_truck_test, a_build_reports_what_it_cannot_read_and_keeps_the_rest)
{
    accessory_list_t names;
    order(names, {{0, "missing"}, {1, "cabin"}, {2, "wrong"}});
    traffic->build_ai_truck("hauler", names);
    EXPECT_TRUE(engine_log_has("Unable to load def /makes/truck/hauler/acc/missing/!desc.def"));
    EXPECT_TRUE(engine_log_has("AI truck accessory wrong follows deform bone 60, which the cabin does not have"));
    EXPECT_EQ(traffic->ai_truck.part_count, 4);
    EXPECT_EQ(traffic->ai_truck.parts[3].offset, vec3_t{}) << "a bone outside the cabin's moves nothing";

    // A name that fills its whole field without an end is left out, not read past.
    order(names, {{0, "cabin"}});
    std::memset(names[1], 'x', sizeof names[1]);
    traffic->build_ai_truck("hauler", names);
    EXPECT_TRUE(engine_log_has("AI truck accessory name without an end; it is left out"));
    EXPECT_EQ(traffic->ai_truck.part_count, 3);
}

TEST_F(traffic_truck_test, the_driver_calls_in_after_5_s_and_the_truck_leaves_when_it_turns_off_his_route)
{
    spawn(0);
    ASSERT_TRUE(traffic->ai_truck.present);
    for (int i = 0; i < 240; ++i)  // 4.8 s
        traffic->step(i * 0.02, 0.02f);
    EXPECT_TRUE(listener->arrivals.empty());
    for (int i = 240; i < 260; ++i)
        traffic->step(i * 0.02, 0.02f);
    EXPECT_EQ(listener->arrivals, std::vector<int32_t>{4});
    EXPECT_TRUE(traffic->ai_truck.present);

    // The driver's route moves on to an edge the truck is not on and will not reach next.
    economy->route = {0, 3, 2};
    economy->position = 1;
    traffic->step(6.0, 0.02f);
    EXPECT_FALSE(traffic->ai_truck.present);
    EXPECT_EQ(traffic->ai_truck.driver, -1);
    EXPECT_EQ(std::ranges::count(traffic->spawned, 0), 0);
    EXPECT_EQ(economy->spawned_calls.back(), (std::pair<int32_t, bool>{4, false}));
    EXPECT_EQ(listener->departures, 1);
    EXPECT_EQ(std::ranges::find(traffic->free_slots, 0), traffic->free_slots.end()) << "slot 0 is never handed out";
}

TEST_F(traffic_truck_test, off_the_lanes_the_truck_drives_on_by_its_route_and_leaves_past_six_tenths_of_its_edge)
{
    spawn(0);
    ASSERT_TRUE(traffic->ai_truck.present);
    traffic_car_t& truck = traffic->cars[0];
    // Taken off its lane list, as on a curve into a truck dock.
    traffic_road_t& road = traffic->roads[static_cast<size_t>(truck.road_slot)];
    for (auto* ends : {&road.first_car, &road.last_car})
        for (auto& direction : *ends)
            std::ranges::replace(direction, 0, -1);
    const float start = truck.route.distance;
    traffic->step(0.0, 0.02f);
    EXPECT_EQ(truck.route.distance, start) << "without a dock curve's flag nothing moves it";
    EXPECT_TRUE(traffic->ai_truck.present);

    // Knocked loose on its way in: it still leaves, and leaves the knocked list too.
    traffic->knock_car(0);
    truck.route_flags |= traffic_car_t::route_off_lanes;
    truck.route.speed = 30000.0f;
    float last_share = 0.0f;
    for (int i = 1; i < 200 && traffic->ai_truck.present; ++i) {
        last_share = truck.route.distance * truck.route.inv_length;
        traffic->step(0.02 * i, 0.02f);
    }
    EXPECT_FALSE(traffic->ai_truck.present);
    EXPECT_GT(last_share, 0.3f) << "it drove along the edge before it left";
    EXPECT_LE(last_share, 0.6f);
    EXPECT_GT(truck.route.distance * truck.route.inv_length, 0.6f);
    EXPECT_EQ(truck.route.edge, 0);
    EXPECT_EQ(truck.leader, -1);
    EXPECT_EQ(truck.follower, -1);
    EXPECT_TRUE(traffic->knocked.empty());
    EXPECT_EQ(std::ranges::count(traffic->spawned, 0), 0);
    EXPECT_EQ(economy->spawned_calls.back(), (std::pair<int32_t, bool>{4, false}));
}

TEST_F(traffic_truck_test, near_the_viewer_the_truck_gets_a_body_from_its_own_bounds_and_beyond_900_m_it_goes)
{
    spawn(0);
    ASSERT_TRUE(traffic->ai_truck.present);
    // The catalogue has two cars, so model 3 names none: the body must not come from it.
    listener->viewer = traffic->cars[0].route.position;
    traffic->step(0.0, 0.02f);
    EXPECT_TRUE(traffic->cars[0].has(traffic_car_t::status_body));

    listener->viewer = traffic->cars[0].route.position + vec3_t{95000.0f, 0.0f, 0.0f};
    traffic->step(0.02, 0.02f);
    EXPECT_FALSE(traffic->ai_truck.present);
    EXPECT_FALSE(traffic->cars[0].has(traffic_car_t::status_body));
    EXPECT_EQ(economy->spawned_calls.back(), (std::pair<int32_t, bool>{4, false}));
}

}  // namespace

namespace {

// A world on the sample game's data with its traffic, for the trailer an AI truck tows.
class ai_trailer_test : public vehicle_test_t {
protected:
    bool sample_data() const override { return true; }
    void SetUp() override
    {
        vehicle_test_t::SetUp();
        // The traffic makes its trailers from their entity block, by type name.
        static const entity_reg_t trailer_record{"actors.trailer", 1,           {0, 0, 0}, sizeof(car_trailor_e),
                                                 make_trailer,     free_trailer};
        if (!entity_find_type("actors.trailer"))
            entity_register(&trailer_record);
    }
    static entity_t* make_trailer(void* memory)
    {
        if (!memory)
            memory = mem_sys_alloc(sizeof(car_trailor_e));
        return memory ? new (memory) car_trailor_e : nullptr;
    }
    static void free_trailer(entity_t* object, bool in_place)
    {
        object->~entity_t();
        if (!in_place)
            mem_sys_free(object);
    }
};

TEST_F(ai_trailer_test, the_trailer_keeps_its_kingpin_at_the_trucks_hitch_unless_the_truck_was_knocked_loose)
{
    auto* traffic = add(std::make_unique<traffic_e>());
    ASSERT_FALSE(traffic->cars.empty());
    vec3_t& road_point = traffic->cars[0].route.position;
    road_point = {2000.0f, 0.0f, 150000.0f};
    auto* trailer = add(std::make_unique<car_trailor_e>());
    trailer->traffic_link = traffic->handle();
    traffic->cars[0].route.rotation.set_cartes({0.0f, 0.0f, -1.0f});
    trailer->attach_to_ai_truck("flatbed", 0, road_point + vec3_t{0.0f, 200.0f, 0.0f}, traffic->cars[0].route.rotation);
    ASSERT_TRUE(trailer->towed_by_ai);

    // The truck drives 20 m ahead at 10 m/s, then 20 s more: the trailer follows level, never tipping
    // about its rear axle (the AI truck carries no nose), its kingpin at the hitch.
    for (int step = 0; step < 1100; ++step) {
        road_point.z -= 1000.0f * dt;
        run(1);
    }
    const vec3_t up = trailer->get_orientation().rotate({0.0f, 1.0f, 0.0f});
    EXPECT_GT(up.y, 0.999f) << "the trailer leans: up is " << up.x << ", " << up.y << ", " << up.z;
    const vec3_t ahead = trailer->get_orientation().rotate({0.0f, 0.0f, -1.0f});
    EXPECT_LT(ahead.z, -0.999f) << "it heads the way the truck drives";
    const vec3_t hitch = road_point + vec3_t{0.0f, 100.0f, 0.0f};
    const vec3_t kingpin = trailer->to_world(trailer->kingpin_local);
    EXPECT_LT((kingpin - hitch).length_sq(), 50.0f * 50.0f) << kingpin.z << " behind " << hitch.z;

    traffic->cars[0].status |= traffic_car_t::status_knocked;
    road_point.z -= 2000.0f;
    run(10);
    const vec3_t left = trailer->to_world(trailer->kingpin_local);
    EXPECT_NEAR(left.z, kingpin.z, 100.0f) << "a knocked truck leaves its trailer where it was";
}

}  // namespace

namespace {

TEST_F(ai_trailer_test, a_trailer_whose_entity_block_is_freed_takes_its_body_out_of_the_physics)
{
    // The process lets go of a block's entities before their destroy phases run.
    const size_t bodies_before = world_->physics().bodies().count();
    eblock_t* const block = world_->eblock_from_name("/scripts/game/trailer.esc");
    ASSERT_NE(block, nullptr);
    ASSERT_TRUE(world_->init_eblock(block));
    auto* const trailer = dynamic_cast<car_trailor_e*>(block->root());
    ASSERT_NE(trailer, nullptr);
    trailer->attach_to_ai_truck("flatbed", 0, {2000.0f, 200.0f, 150000.0f}, quat_t());
    EXPECT_EQ(world_->physics().bodies().count(), bodies_before + 1);
    trailer->request_destroy();
    run(2);
    EXPECT_EQ(world_->physics().bodies().count(), bodies_before);
    run(2);  // a step over a freed body would read freed memory
}

}  // namespace

namespace {

TEST_F(ai_trailer_test, the_trailer_shows_the_trucks_headlights_and_its_blinkers_in_their_lit_half_second)
{
    auto* traffic = add(std::make_unique<traffic_e>());
    auto* trailer = add(std::make_unique<car_trailor_e>());
    trailer->traffic_link = traffic->handle();
    trailer->attach_to_ai_truck("flatbed", 0, {2000.0f, 200.0f, 150000.0f}, quat_t());
    ASSERT_TRUE(trailer->handle().add_use());
    traffic->ai_truck.trailer = trailer->handle();
    traffic->ai_truck.present = true;
    traffic_car_t& truck = traffic->cars[0];
    truck.lights = 1;
    truck.left_blinker = 1;
    const struct {
        float blink;
        uint8_t lights;
    } cases[] = {{0.7f, 1 | 8}, {0.3f, 1}};
    for (const auto& c : cases) {
        traffic->blink_timer = c.blink;
        traffic->draw_ai_truck();
        EXPECT_EQ(trailer->get_lights(), c.lights) << "blink phase " << c.blink;
    }
    EXPECT_EQ(truck.draw_level, 2);
}

}  // namespace
