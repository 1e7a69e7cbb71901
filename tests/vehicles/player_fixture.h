#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vehicle_fixture.h"
#include "engine/frame.h"
#include "engine/input_queue.h"
#include "engine/input_script.h"
#include "vehicles/player/car_player.h"
#include "vehicles/links/player_links.h"

// A traffic that counts its updates and keeps what the player's truck reports.
class traffic_stub_e : public entity_t, public player_traffic_t {
public:
    void update() override { ++updates; }
    void report_offence(int32_t code, int32_t) override { offences.push_back(code); }
    void set_player_points(const vec3_t&, const vec3_t&, const vec3_t&) override { ++point_reports; }
    void reset() override { ++resets; }
    void stop_smoke() override {}
    int32_t pending_offence() const override { return pending; }
    int32_t ai_truck_driver() const override { return ai_driver; }
    int32_t level() const override { return 0; }
    void answer_horn() override {}
    bool car_pose(int32_t car, vec3_t& out_position, quat_t& out_rotation) const override
    {
        if (car != 0 || !ai_truck_on_road)
            return false;
        out_position = ai_truck_position;
        out_rotation = ai_truck_rotation;
        return true;
    }

    int updates = 0;
    int point_reports = 0;
    int resets = 0;
    int32_t pending = -1;
    int32_t ai_driver = -1;
    bool ai_truck_on_road = false;
    vec3_t ai_truck_position;
    quat_t ai_truck_rotation;
    std::vector<int32_t> offences;
};

// An economy that keeps the money the player's truck charges, the damage it shows and the docks it
// stands at.
class economy_stub_e : public entity_t, public player_economy_t, public vehicle_economy_t {
public:
    void charge_player(int32_t dollars, bool) override { charges.push_back(dollars); }
    void show_call911_icon(bool) override {}
    int32_t call911_cost() const override { return 5000; }
    bool cb_speaker(int32_t, char* out_name, int size, int32_t& out_voice) const override
    {
        std::snprintf(out_name, static_cast<size_t>(size), "Ann");
        out_voice = 0;
        return true;
    }
    bool driver_card(int32_t, char*, char*, char*, int) const override { return false; }
    void set_hud_damage(float damage) override { shown_damage = damage; }
    void set_player_job(int32_t, const vec3_t*) override {}
    void deliver_player_job(int32_t, float) override {}
    void dock_slot_release(int32_t, int32_t) override {}
    void set_current_road(int32_t) override {}
    int32_t dock_at(const vec3_t&) const override { return dock_here; }
    void set_current_dock(int32_t dock) override { docks_told.push_back(dock); }
    void add_prestige(float, bool) override {}

    std::vector<int32_t> charges;
    float shown_damage = -1.0f;
    // The dock whose yard the truck stands in, and every dock the truck told.
    int32_t dock_here = -1;
    std::vector<int32_t> docks_told;
};

// The player's truck on the flat ground of vehicle_test_t, past its intro, with a traffic and an
// economy that record what it tells them. Frames run through the engine, so scripted input reaches it.
class player_test_t : public vehicle_test_t {
protected:
    car_player_e* player(const vec3_t& where = {2000.0f, 300.0f, 150000.0f})
    {
        traffic_ = add(std::make_unique<traffic_stub_e>());
        economy_ = add(std::make_unique<economy_stub_e>());
        car_player_e* const truck = truck_at<car_player_e>(where);
        truck->traffic_link = traffic_->handle();
        truck->economy_link = economy_->handle();
        truck->scenes().cut_intro();
        truck->set_camera_mode(car_player_e::cam_chase);
        truck->automatic = 1;
        truck->previous_body_position = truck->get_position();
        return truck;
    }

    // Queues an input script (times from now).
    void script(const std::string& text)
    {
        std::vector<inp_event_t> events;
        ASSERT_TRUE(inp_script_parse(text, "test.inp", events));
        inp_queue_events(events);
    }

    // Engine frames of `seconds` each: clock, input, the world's physics steps and handlers.
    void frames(int count, double seconds = dt)
    {
        for (int i = 0; i < count; ++i)
            engine_run_frame(seconds);
    }

    traffic_stub_e* traffic_ = nullptr;
    economy_stub_e* economy_ = nullptr;
};
