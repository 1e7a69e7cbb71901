#pragma once
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "engine_testing/engine_test.h"
#include "common/engine_api.h"
#include "game/economy_ctrl.h"

// Stands in for the economy's world: clocks the test sets, a truck at a position, and records of
// what the economy showed.
class fake_economy_world_t : public economy_world_t {
public:
    double world_time() const override { return now; }
    float frame_time() const override { return dt; }
    float game_time() const override { return clock; }
    int32_t current_city() const override { return city; }
    vec3_t edge_start(int32_t edge) const override { return {static_cast<float>(edge) * 100.0f, 0.0f, 0.0f}; }
    bool truck_position(vec3_t& out) const override
    {
        out = truck;
        return true;
    }
    void pager(const char* text, int) override { pages.emplace_back(text); }
    void open_hud_window() override { ++hud_windows; }
    void hud_text(int32_t id, const char* text) override { hud.emplace_back(std::to_string(id) + ":" + text); }
    void hud_show(int32_t id, bool shown) override { hud_shown[id] = shown; }
    void cash_sound() override { ++cash; }
    void light_model(psm_t* model) override { lit_models.push_back(model); }
    void refresh_city_markers() override {}
    uint32_t place_trailer(const trailer_order_t&) override { return ++trailers; }
    void release_trailer(uint32_t) override {}
    void show_driver_truck(const driver_truck_order_t&) override { ++driver_trucks; }
    bool truck_state(player_truck_state_t& out) const override
    {
        out = state;
        return true;
    }
    void restore_truck_state(const player_truck_state_t& value, uint32_t) override { state = value; }
    void rebuild_player_truck(const player_truck_build_t& build, bool keep_position) override
    {
        std::string text = build.make;
        for (int32_t i = 0; i < build.accessory_count; ++i)
            if (build.accessories[i][0])
                text += std::string(" ") + build.accessories[i];
        char colour[16];
        std::snprintf(colour, sizeof colour, " #%08x", build.colour);
        rebuilds.push_back(text + colour + (keep_position ? " kept" : " moved"));
    }
    float player_truck_damage() const override { return truck_damage; }
    uint32_t restore_towed_trailer(const trailer_order_t& order, float damage) override
    {
        towed.push_back(order);
        towed_damage.push_back(damage);
        return ++trailers;
    }
    void show_game_over_window(bool notebook) override { game_over_windows.push_back(notebook); }

    double now = 0.0;
    float dt = 1.0f / 60.0f;
    float clock = 28800.0f;
    int32_t city = -1;
    vec3_t truck{};
    std::vector<std::string> pages;
    std::vector<std::string> hud;
    // The last shown state the economy gave each HUD component.
    std::map<int32_t, bool> hud_shown;
    int cash = 0;
    int hud_windows = 0;
    int driver_trucks = 0;
    uint32_t trailers = 0;
    player_truck_state_t state;
    std::vector<bool> game_over_windows;
    std::vector<psm_t*> lit_models;
    // The player's truck as the economy rebuilt it: "make accessories... #colour kept|moved".
    std::vector<std::string> rebuilds;
    float truck_damage = 0.0f;
    // The towed trailers a load spawned, with their damage.
    std::vector<trailer_order_t> towed;
    std::vector<float> towed_damage;
};

// A bound engine whose data root holds a small economy: three cities with a trader each, cargos,
// drivers, a dealer, a truck make and a scenario.
class economy_test : public engine_test_t {
protected:
    void SetUp() override;
    // An economy controller on the fake world with the definitions loaded.
    void load(economy_ctrl_e& economy);

    fake_economy_world_t world;
};
