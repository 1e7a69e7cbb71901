#include "road/game_ctrl.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "engine/log.h"
#include "engine/snd_record.h"
#include "common/bridge_parts.h"
#include "game_ctrl_fixture.h"
#include "map_sample.h"
#include "road/game_clock.h"
#include "road/map_file.h"

namespace {

using game_ctrl_test = game_ctrl_test_t;

TEST(game_clock, starts_at_eight_and_runs_eighty_times_the_frame_time)
{
    float clock = game_clock_start;
    EXPECT_EQ(clock, 28800.0f);
    EXPECT_FALSE(game_clock_advance(clock, 0.5));
    EXPECT_EQ(clock, 28840.0f);
}

TEST(game_clock, a_frame_over_the_end_of_the_week_wraps_once)
{
    float clock = 604799.0f;
    EXPECT_TRUE(game_clock_advance(clock, 6.0 / 80.0));
    EXPECT_FLOAT_EQ(clock, 5.0f);
    EXPECT_FALSE(game_clock_advance(clock, 0.0));
}

TEST(game_clock, night_runs_from_twenty_to_six_by_the_rounded_second)
{
    const struct {
        float clock;
        bool night;
    } cases[] = {
        {28800.0f, false},             // 08:00
        {71999.4f, false},             // 19:59:59
        {71999.6f, true},              // rounds to 20:00
        {21599.4f, true},              // 05:59:59
        {21600.0f, false},             // 06:00
        {0.0f, true},                  // midnight
        {86400.0f + 43200.0f, false},  // noon of the second day
    };
    for (const auto& c : cases)
        EXPECT_EQ(game_clock_is_night(c.clock), c.night) << c.clock;
}

TEST_F(game_ctrl_test, the_handler_runs_the_clock_the_night_and_one_weekly_settlement)
{
    game_ctrl_e ctrl;
    ctrl.bridge = bridge.get();
    ctrl.tick(1.0);
    EXPECT_EQ(ctrl.get_game_time(), 28880.0f);
    EXPECT_EQ(ctrl.night, 0);
    ctrl.game_clock = 604799.0f;
    ctrl.tick(6.0 / 80.0);
    EXPECT_FLOAT_EQ(ctrl.get_game_time(), 5.0f);
    EXPECT_EQ(ctrl.night, 1);
    EXPECT_EQ(parts->weekly_reports, 1);
}

TEST_F(game_ctrl_test, a_game_day_of_frames_switches_day_and_night)
{
    game_ctrl_e ctrl;
    ctrl.bridge = bridge.get();
    // 86400 game seconds at 80 per second in frames of 0.1 s.
    int switches = 0;
    int32_t last = ctrl.night;
    for (int frame = 0; frame < 10800; ++frame) {
        ctrl.tick(0.1);
        switches += ctrl.night != last;
        last = ctrl.night;
    }
    EXPECT_EQ(switches, 2);
    EXPECT_EQ(ctrl.night, 0);
}

TEST_F(game_ctrl_test, init_loads_the_map_named_by_the_bridge_and_reports_its_counts)
{
    use_sample_map();
    game_ctrl_e ctrl;
    ASSERT_EQ(init_ctrl(ctrl), 0);
    EXPECT_EQ(ctrl.segment_slot_count, 80);
    EXPECT_EQ(ctrl.aux_segment_slot_count, 64);
    EXPECT_NE(ctrl.seg_server, nullptr);
    EXPECT_EQ(bridge->base_ctrl(), ctrl.handle());
    {
        // The save container finds the controller's section through the bridge's base controller.
        const held_part_t<save_section_owner_t> owner(bridge->base_ctrl());
        EXPECT_EQ(owner.get(), static_cast<save_section_owner_t*>(&ctrl));
    }
    EXPECT_EQ(ctrl.edges.count, 2);
    EXPECT_FALSE(engine_log_matching("Game map /maps/sample.mbd: 2 edges, 2 nodes, ").empty());
    ASSERT_NE(ctrl.semaphores, nullptr);
    EXPECT_EQ(ctrl.semaphores[0].reservation, map_semaphore_unused);
    EXPECT_EQ(ctrl.semaphores[0].light, map_light_open);

    // A second controller in the same world is refused by the bridge and goes on running.
    game_ctrl_e second;
    EXPECT_EQ(init_ctrl(second), 0);
    EXPECT_FALSE(engine_log_matching("<game_bridge_t> base controller already registered").empty());
    EXPECT_EQ(bridge->base_ctrl(), ctrl.handle());
    second.destroy(0);
    second.destroy(10);
    ctrl.destroy(0);
    ctrl.destroy(10);
}

TEST_F(game_ctrl_test, a_damaged_map_is_refused_with_its_name_and_leaves_no_records)
{
    road_network_t sample;
    make_sample_network(sample);
    std::vector<uint8_t> bytes(map_file_size(sample));
    map_file_write(sample, bytes.data());
    bytes.resize(bytes.size() - 20);
    write_data_file("maps/cut.mbd", std::string(bytes.begin(), bytes.end()));
    bridge->set_map_path("cut");
    game_ctrl_e ctrl;
    EXPECT_LT(init_ctrl(ctrl), 0);
    EXPECT_FALSE(engine_log_matching("Map file /maps/cut.mbd is damaged").empty());
    EXPECT_EQ(ctrl.edges.count, 0);
    EXPECT_EQ(ctrl.nodes.count, 0);
    ctrl.destroy(0);
    ctrl.destroy(10);
}

TEST_F(game_ctrl_test, the_start_position_comes_from_the_headquarters_city_and_its_sky_is_checked)
{
    game_ctrl_e ctrl;
    ctrl.bridge = bridge.get();
    ctrl.seg_server = new seg_server_t;
    ctrl.start_position = vec3_t(1.0f, 2.0f, 3.0f);
    vec3_t position;
    quat_t rotation;
    ctrl.get_start_pos(position, rotation);
    EXPECT_EQ(position, vec3_t(1.0f, 2.0f, 3.0f));

    // A city whose sky the environment does not have is reported and the sky stays.
    write_data_file("defs/cities/alpha.def", "city : city { real_pos = 100,0,200 real_width = 10 real_height = 10 "
                                             "start_pos = 5,6,7 start_rot = 90 sky_idx = 9 }\n");
    write_data_file("defs/seg_server/road_segs.def", "road_segs { road_shader_count = 0 }\n");
    ctrl.seg_server->load();
    ASSERT_EQ(ctrl.seg_server->city_count, 1);
    parts->hq_city = 0;
    parts->sky = 1;
    ctrl.get_start_pos(position, rotation);
    EXPECT_EQ(position, vec3_t(5.0f, 6.0f, 7.0f));
    EXPECT_EQ(parts->sky, 1);
    EXPECT_FALSE(engine_log_matching("City alpha names sky 9, of 4").empty());
}

// A controller on a map of one lit four-armed crossing whose prefab has one curve per arm and lane
// slot 0, with 20 semaphores (4 entry, 16 exit).
class lit_crossing_test : public game_ctrl_test_t {
protected:
    void SetUp() override
    {
        game_ctrl_test_t::SetUp();
        ctrl.bridge = bridge.get();
        ctrl.seg_server = new seg_server_t;
        prefab_t cross;
        cross.nodes.resize(static_cast<size_t>(arms));
        cross.curves.resize(static_cast<size_t>(arms));
        for (int32_t arm = 0; arm < arms; ++arm)
            cross.nodes[static_cast<size_t>(arm)].slots[0][0] = arm;
        ctrl.seg_server->prefab_table[seg_crosses].push_back(cross);
        map_edge_t& edge = ctrl.edges[ctrl.add_edge()];
        edge.kind = map_edge_cross;
        edge.sides[0].strip_width = 1;
        edge.semaphore = 0;
        ctrl.semaphore_count = arms + 16;
        ctrl.semaphores = static_cast<map_semaphore_t*>(api::mem_sys_alloc(sizeof(map_semaphore_t) * 20));
        for (int i = 0; i < ctrl.semaphore_count; ++i)
            ctrl.semaphores[i] = {map_semaphore_unused, map_light_open, 0, {}};
    }
    void TearDown() override
    {
        ctrl.destroy(0);
        game_ctrl_test_t::TearDown();
    }
    // The lights of the four entry semaphores.
    std::vector<int32_t> lights()
    {
        std::vector<int32_t> out;
        for (int32_t id = 0; id < arms; ++id)
            out.push_back(ctrl.get_semaphore_light(id));
        return out;
    }

    static constexpr int32_t arms = 4;
    static constexpr int32_t open = map_light_open;
    static constexpr int32_t closed = map_light_closed;
    game_ctrl_e ctrl;
};

TEST_F(lit_crossing_test, the_first_phase_comes_after_two_seconds_then_phases_last_eight_and_twelve)
{
    ctrl.lights().attach(0);
    ASSERT_EQ(ctrl.lights().crossings().size(), 1u);
    EXPECT_EQ(ctrl.lights().crossings()[0].ids[0], 0);
    EXPECT_EQ(ctrl.lights().crossings()[0].ids[4], 1);
    EXPECT_EQ(ctrl.lights().crossings()[0].ids[8], 2);
    ctrl.lights().attach(0);
    EXPECT_EQ(ctrl.lights().crossings().size(), 1u);

    ctrl.lights().step(2.0);
    EXPECT_EQ(ctrl.lights().phase(), 0);
    ctrl.lights().step(0.01);
    EXPECT_EQ(ctrl.lights().phase(), 1);
    EXPECT_EQ(ctrl.lights().mask(), 0x40);
    EXPECT_EQ(lights(), (std::vector<int32_t>{closed, closed, closed, closed}));
    // The lamp models follow the step: the first pair turns yellow.
    EXPECT_EQ(ctrl.seg_server->lamp_state[0], 1);
    // An odd phase lasts 8 s, an even one 12 s.
    ctrl.lights().step(8.0);
    EXPECT_EQ(ctrl.lights().phase(), 1);
    ctrl.lights().step(0.01);
    EXPECT_EQ(ctrl.lights().phase(), 2);
    ctrl.lights().step(12.0);
    EXPECT_EQ(ctrl.lights().phase(), 2);
    ctrl.lights().step(0.01);
    EXPECT_EQ(ctrl.lights().phase(), 3);
    for (int step = 0; step < 5; ++step)
        ctrl.lights().step(12.01);
    EXPECT_EQ(ctrl.lights().phase(), 0);
    EXPECT_EQ(ctrl.lights().mask(), 0x80);
    EXPECT_EQ(lights(), (std::vector<int32_t>{open, open, closed, closed}));
    EXPECT_EQ(ctrl.seg_server->lamp_state[0], 2);
    ctrl.lights().apply_mask(0x08);
    EXPECT_EQ(lights(), (std::vector<int32_t>{closed, closed, open, open}));

    ctrl.lights().detach(0);
    EXPECT_TRUE(ctrl.lights().crossings().empty());
    EXPECT_EQ(ctrl.edges[0].noise_row, 0);
}

TEST_F(lit_crossing_test, a_held_semaphore_keeps_every_light_of_its_crossing_closed)
{
    ctrl.lights().attach(0);
    uint32_t wait = 99;
    ctrl.set_semaphore(arms + 3, 17, &wait);
    EXPECT_EQ(wait, 0u);
    for (const uint8_t mask : {0x80, 0x20, 0x08, 0x02}) {
        ctrl.lights().apply_mask(mask);
        EXPECT_EQ(lights(), (std::vector<int32_t>{closed, closed, closed, closed})) << int(mask);
    }
    ctrl.set_semaphore(arms + 3, map_semaphore_free, nullptr);
    ctrl.lights().apply_mask(0x80);
    EXPECT_EQ(lights(), (std::vector<int32_t>{open, open, closed, closed}));
}

TEST_F(lit_crossing_test, a_three_armed_crossing_opens_group_zero_lane_zero_in_phase_two)
{
    ctrl.seg_server->prefab_table[seg_crosses][0].nodes.resize(3);
    ctrl.lights().attach(0);
    ctrl.lights().apply_mask(0x80);
    EXPECT_EQ(ctrl.get_semaphore_light(0), closed);
    EXPECT_EQ(ctrl.get_semaphore_light(1), open);
    ctrl.lights().apply_mask(0x20);
    EXPECT_EQ(ctrl.get_semaphore_light(0), open);
}

TEST_F(lit_crossing_test, semaphore_ids_outside_the_array_are_reported_and_change_nothing)
{
    vec3_t position(1.0f, 1.0f, 1.0f);
    for (const int32_t id : {-1, -5, 20, 1000}) {
        log_clear_capture();
        EXPECT_EQ(ctrl.get_semaphore(id, &position), map_semaphore_free);
        EXPECT_EQ(ctrl.get_semaphore_light(id), 0);
        EXPECT_EQ(ctrl.set_semaphore(id, 5, nullptr), 0u);
        EXPECT_EQ(engine_log_matching("Wrong semaphore index").size(), 3u) << id;
    }
    EXPECT_EQ(position, vec3_t(1.0f, 1.0f, 1.0f));
    EXPECT_EQ(ctrl.get_semaphore(3, &position), map_semaphore_unused);
}

}  // namespace

namespace {

// Writes the controller's section to "/s.sav" and answers its bytes.
std::string save_section_bytes(game_ctrl_e& ctrl, const std::filesystem::path& home)
{
    const int file = api::vfs_open("/s.sav", 0x301, 0x1B6);
    EXPECT_GE(file, 0);
    EXPECT_EQ(ctrl.save(file), game_ctrl_save_size);
    api::vfs_close(file);
    std::ifstream in(home / "s.sav", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Reads the section at "/s.sav" into `ctrl`.
int32_t load_section(game_ctrl_e& ctrl)
{
    const int file = api::vfs_open("/s.sav", 0, 0);
    const int32_t read = ctrl.load(file, 14);
    api::vfs_close(file);
    return read;
}

TEST_F(game_ctrl_test, the_save_section_is_651_bytes_and_reads_back_exactly)
{
    game_ctrl_e ctrl;
    ctrl.bridge = bridge.get();
    ctrl.game_clock = 71999.6f;
    game_ctrl_saved_t fields = ctrl.saved();
    fields.map.zoom = 890000.0f;
    fields.current_loop = 3;
    fields.hazard_timer = 12.5f;
    fields.stations.fuel_price = 1.5f;
    fields.stations.repair_cost = 280;
    ctrl.take_saved(fields);
    const std::string bytes = save_section_bytes(ctrl, home_);
    ASSERT_EQ(bytes.size(), 651u);
    EXPECT_EQ(std::memcmp(bytes.data(), "g4m3ctrlh34d3r", 15), 0);
    // Without a game context the profile is "Unknown" with zero numbers.
    EXPECT_STREQ(bytes.data() + 131, "Unknown");
    EXPECT_STREQ(bytes.data() + 515, "Unknown");
    EXPECT_EQ(bytes.substr(643, 8), std::string(8, '\0'));
    float clock = 0.0f;
    std::memcpy(&clock, bytes.data() + 15, 4);
    EXPECT_EQ(clock, 71999.6f);

    game_ctrl_e loaded;
    loaded.bridge = bridge.get();
    EXPECT_EQ(load_section(loaded), game_ctrl_save_size);
    EXPECT_EQ(loaded.game_clock, 71999.6f);
    EXPECT_EQ(loaded.map_view().zoom(), 890000.0f);
    EXPECT_EQ(loaded.ambience().current(), 3);
    EXPECT_EQ(loaded.stations().state().fuel_price, 1.5f);
    EXPECT_EQ(loaded.stations().state().repair_cost, 280);
    EXPECT_EQ(loaded.hazards().timer(), 12.5f);
    EXPECT_EQ(save_section_bytes(loaded, home_), bytes);
    loaded.tick(0.0);
    EXPECT_EQ(loaded.night, 1);
}

TEST_F(game_ctrl_test, a_save_with_a_wrong_magic_or_bad_indices_is_refused_or_repaired)
{
    game_ctrl_e ctrl;
    ctrl.bridge = bridge.get();
    std::string bytes = save_section_bytes(ctrl, home_);
    const auto put = [&bytes](size_t offset, int32_t value) { std::memcpy(&bytes[offset], &value, 4); };
    put(30, 7);   // city 7 of none
    put(34, 99);  // sky-swap item 99 of none
    put(66, 12);  // far sky 12 of 4
    put(123, 5);  // city loop 5 of 5
    write_data_file("s.sav", bytes);
    std::filesystem::remove(home_ / "s.sav");
    EXPECT_EQ(load_section(ctrl), game_ctrl_save_size);
    EXPECT_EQ(ctrl.map_view().city(), -1);
    EXPECT_EQ(ctrl.sky_swap().saved().item, -1);
    EXPECT_EQ(ctrl.sky_swap().saved().far_sky, -1);
    EXPECT_EQ(ctrl.ambience().current(), -1);
    EXPECT_EQ(engine_log_matching("the save game names").size(), 4u);
    ctrl.after_load();

    bytes[0] = 'G';
    write_data_file("s.sav", bytes);
    EXPECT_EQ(load_section(ctrl), -1);
}

// Changes the stations' state between frames, as a save game being read does.
template <typename change_t> void change_stations(game_ctrl_e& ctrl, change_t change)
{
    station_state_t state = ctrl.stations().state();
    change(state);
    ctrl.stations().restore(state);
}

TEST_F(game_ctrl_test, fuelling_adds_what_a_dollar_buys_and_stops_at_a_full_tank)
{
    game_ctrl_e ctrl;
    ctrl.bridge = bridge.get();
    change_stations(ctrl, [&](station_state_t& state) { state.fuel_price = 1.5f; });
    parts->fuel = 98.5f;
    ctrl.stations().fuel_step(0.0f);
    EXPECT_NEAR(parts->fuel, 98.5f + (1.0f / 1.5f) * (100.0f / 400.0f), 1e-4f);
    EXPECT_EQ(parts->cash, 100000 - 1);
    EXPECT_EQ(ctrl.stations().state().fuel_ticks, 1);
    // Ticks come every 0.3 s; from the fifth on they buy 10 dollars and the last fills to exactly 100.
    parts->fuel = 98.9f;
    change_stations(ctrl, [&](station_state_t& state) { state.fuel_ticks = 4; });
    ctrl.stations().fuel_step(0.3f);
    EXPECT_EQ(parts->fuel, 100.0f);
    EXPECT_EQ(parts->cash, 100000 - 1 - static_cast<int32_t>(std::lround((100.0f - 98.9f) * 1.5f * 4.0f)));

    // A tank without capacity or a pump without a price cannot be filled.
    for (const auto& [capacity, price] : {std::pair{0.0f, 1.5f}, std::pair{400.0f, 0.0f}}) {
        parts->capacity = capacity;
        change_stations(ctrl, [&](station_state_t& state) { state.fuel_price = price; });
        parts->fuel = 50.0f;
        change_stations(ctrl, [&](station_state_t& state) { state.fuel_timer = 0.0f; });
        ctrl.stations().fuel_step(0.0f);
        EXPECT_EQ(parts->fuel, 50.0f);
    }
}

TEST_F(game_ctrl_test, repairs_pay_by_the_step_then_the_rest)
{
    game_ctrl_e ctrl;
    ctrl.bridge = bridge.get();
    change_stations(ctrl, [](station_state_t& state) {
        state.repair_cost = 280;
        state.repair_step_cost = 80;
        state.repair_damage = 0.35f;
    });
    for (int tick = 0; tick < 4; ++tick)
        ctrl.stations().repair_step(0.3f);
    EXPECT_EQ(parts->repairs, (std::vector<float>{0.1f, 0.1f, 0.1f, 1.0f}));
    EXPECT_EQ(parts->cash, 100000 - 280);
    EXPECT_EQ(ctrl.stations().state().repair_cost, 0);

    // With money equal to the cost nothing is repaired.
    change_stations(ctrl, [&](station_state_t& state) { state.repair_cost = 100; });
    parts->cash = 100;
    ctrl.stations().repair_step(0.3f);
    EXPECT_EQ(parts->repairs.size(), 4u);
}

TEST_F(game_ctrl_test, the_music_list_is_sorted_and_plays_round_but_stays_silent_when_empty)
{
    game_ctrl_e ctrl;
    ctrl.bridge = bridge.get();
    game_music_t& music = ctrl.music();
    // A name that is no track turns the music on without anything to play.
    music.play_track("notes.txt");
    EXPECT_TRUE(music.on());
    EXPECT_FALSE(music.update());
    for (const char* name : {"music/b.OGG", "music/a.wav", "music/notes.txt"})
        write_data_file(name, "x");
    music.build_list();
    EXPECT_EQ(music.list(), (std::vector<std::string>{"a.wav", "b.OGG"}));
    music.select(1);
    EXPECT_EQ(music.current(), 1);
    music.select(-1);
    EXPECT_EQ(music.current(), -1);
    EXPECT_TRUE(music.on());
    EXPECT_TRUE(music.update());
    EXPECT_EQ(music.current(), 0);
    music.stop();
    EXPECT_FALSE(music.on());
}

}  // namespace

namespace {

TEST_F(game_ctrl_test, station_visits_replay_one_bell_and_destroy_deletes_every_sound)
{
    for (const char* name : {"sounds/ui/gas_station_bell.ogg", "sounds/ui/gas_start.ogg", "sounds/ui/gas_stop.ogg",
                             "sounds/ui/gas_flow.ogg", "sounds/ambient/city_trafficloop01.ogg"})
        write_data_file(name, std::string(1600, 'x'));
    game_ctrl_e ctrl;
    ctrl.bridge = bridge.get();
    ASSERT_EQ(ctrl.init(-10), 0);
    ASSERT_EQ(ctrl.init(0), 0);
    const int sounds = snd_record_live();
    EXPECT_EQ(sounds, 5);
    const int32_t pump = ctrl.add_miscitem();
    ctrl.miscitems[pump].type = map_misc_gas_station;
    ctrl.miscitems[pump].points[0] = {5000.0f, 0.0f, 5000.0f};
    ctrl.active_list(base_ctrl_stations).append(pump);
    for (int visit = 0; visit < 3; ++visit) {
        parts->position = {5000.0f, 0.0f, 5000.0f};
        ctrl.tick(0.1);
        EXPECT_EQ(ctrl.stations().state().at_gas_pump, 1);
        // A pump without a price sells at the default price, not for nothing.
        EXPECT_EQ(ctrl.stations().state().fuel_price, 1.58f);
        parts->position = {50000.0f, 0.0f, 5000.0f};
        ctrl.tick(0.1);
        EXPECT_EQ(ctrl.stations().state().at_gas_pump, 0);
    }
    EXPECT_EQ(snd_record_live(), sounds);
    ctrl.destroy(0);
    EXPECT_EQ(snd_record_live(), 0);
    ctrl.destroy(10);
}

}  // namespace

namespace {

TEST_F(game_ctrl_test, weigh_stations_fine_an_overweight_load_and_dealers_are_found_once)
{
    game_ctrl_e ctrl;
    ctrl.bridge = bridge.get();
    const int32_t scales = ctrl.add_miscitem();
    ctrl.miscitems[scales].type = map_misc_scales;
    ctrl.active_list(base_ctrl_stations).append(scales);
    // Passing at 10 mph without a job arms the check; leaving beyond 270 m reports nothing.
    parts->speed_mph = 10.0f;
    parts->position = {8000.0f, 0.0f, 0.0f};
    ctrl.tick(0.1);
    EXPECT_EQ(ctrl.stations().state().weigh_armed, 1);
    parts->position = {28000.0f, 0.0f, 0.0f};
    ctrl.tick(0.1);
    EXPECT_EQ(ctrl.stations().state().weigh_armed, 0);
    EXPECT_TRUE(parts->offences.empty());

    // Stopping on the scales with an overweight load pays a fine of the job's pay / 8 to 12, once.
    parts->job = 4;
    parts->overweight = true;
    parts->speed_mph = 0.0f;
    parts->position = {100.0f, 0.0f, 0.0f};
    ctrl.tick(0.1);
    ctrl.tick(0.1);
    EXPECT_EQ(ctrl.stations().state().weigh_done, 1);
    EXPECT_GE(parts->cash, 100000 - 9000 / 8);
    EXPECT_LE(parts->cash, 100000 - 9000 / 12);

    const int32_t dealer = ctrl.add_miscitem();
    ctrl.miscitems[dealer].type = map_misc_dealer;
    ctrl.miscitems[dealer].points[0] = {0.0f, 0.0f, 50000.0f};
    ctrl.miscitems[dealer].params[0] = 2;
    ctrl.active_list(base_ctrl_stations).append(dealer);
    parts->position = {0.0f, 0.0f, 50000.0f};
    ctrl.tick(0.1);
    ctrl.tick(0.1);
    EXPECT_EQ(parts->known_dealers, (std::vector<int32_t>{2}));
}

}  // namespace
