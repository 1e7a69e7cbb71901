#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/def_obj.h"
#include "engine/def_pool.h"
#include "game_session.h"
#include "road_route.h"
#include "truck_tracker.h"

// The first object named `object` of the definition file at the host path `path`, kept with its pool.
struct def_file_t {
    std::unique_ptr<def_pool_t> pool;
    const def_obj_t* object = nullptr;

    def_file_t(const std::string& path, const char* name);
};

// Queues the input script `script` (the host's input script lines) for the game to read; false when it
// does not parse.
bool queue_input(const std::string& script);

// What the fixture below does for a game, for the programs that play one without a test fixture:
// a player's tap of `key`; `count` frames of `game` (false when the game ended); frames until a log line
// holds `fragment` (false when `count` frames pass first or the game ends); the last lines the game
// logged; a tracker of the truck where the game last placed it (null before it did).
void tap_key(const char* key);
bool run_frames(game_session_t& game, int count);
bool run_until_logged(game_session_t& game, const std::string& fragment, int count);
std::string logged_tail();
std::unique_ptr<truck_tracker_t> placed_truck_tracker(std::string* make = nullptr);

// A game run in the test's process on the sample data, played with a player's hands: keys, the pointer
// and a closed-loop driver on the arrow keys. The game's documents folder is the test's own.
class drive_fixture_t : public ::testing::Test {
protected:
    static const std::string data_root;

    void SetUp() override;
    void TearDown() override;

    // Presses and releases a key, as a player's tap; presses or lets go of a key.
    static void tap(const char* key);
    static void hold_key(const char* key, bool down);
    // Runs `count` frames; false when the game ended.
    bool frames(int count);
    // Taps `key` and lets the game see it.
    bool press(const char* key);
    // Types `text` (lower-case letters, digits and "_") as a player would.
    bool type(const std::string& text);
    // Moves the pointer to pixel (x, y) of the 640 x 480 window and clicks the main button there.
    bool click(int x, int y);
    // Runs frames until a log line holds `fragment`; false when `count` frames pass first.
    bool run_until_logged(const std::string& fragment, int count);
    // The last lines the game logged.
    static std::string log_tail();
    // Copies the game's screenshots, when KAVRENTA_DRIVE_SHOTS names a folder, into that folder (into
    // its subfolder `under` when given) for a look.
    void keep_screenshots(const std::string& under = "") const;

    // The characters the markup drew in the newest frame, in drawing order (each picture as '#').
    static std::string drawn_text();
    // Runs frames until the newest frame drew `text`; false when `count` frames pass first.
    bool run_until_drawn(const std::string& text, int count);
    // Clicks the middle of the first place the newest frame drew `text`; false when it drew none. A
    // `whole` label stands alone between pictures or the frame's ends (a button's "Load", not "Load game").
    bool click_text(const std::string& text, bool whole = false);

    // A tracker of the player's truck from where the game last said it placed it ("<car_player_e> MAKE
    // placed at X Y Z"), its make in `make` when asked; null before the game placed it.
    static std::unique_ptr<truck_tracker_t> placed_truck(std::string* make = nullptr);
    // The trader's dock entry node on the sample map, by the trader's definition file name.
    int32_t dock_of(const char* trader_file);
    // True when `where` lies within edge `edge`'s bounds in the ground plane, widened by `margin`.
    static bool inside(const map_edge_t& edge, const vec3_t& where, float margin = 0.0f);
    // True when `where` lies on one of the map's junctions (within its bounds).
    bool on_junction(const vec3_t& where) const;
    // Drives `route` to its end; every frame the truck must be on the road's surface. At most `seconds`.
    void drive(std::vector<route_point_t> route, truck_tracker_t& tracker, float seconds, const char* leg);

    std::filesystem::path documents_;
    game_session_t game_;
    road_route_t roads_;
};
