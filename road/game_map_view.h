#pragma once
#include <cstdint>

#include "engine/vec.h"

class game_ctrl_e;
struct c_item_t;

// Zoom of the game map over a city, and over the country.
constexpr float game_map_city_zoom = 69000.0f;
constexpr float game_map_country_zoom = 890000.0f;
// Where the remembered truck position goes when the map must be brought up to date at once.
inline const vec3_t map_far_away(0.0f, -666666688.0f, 0.0f);
// Squared distance the truck moves before the city lookup and the map run again (20 m).
constexpr float map_follow_distance_sq = 4000000.0f;
// The road map's component in the game map window.
constexpr int32_t game_map_component_id = 1000;

// What the game map keeps in a save game: shown or not, whether the truck is in a city, the close city
// view chosen, the zoom, and the city the truck is in (-1 none).
struct map_view_state_t {
    uint8_t shown = 0;
    uint8_t in_city = 1;
    uint8_t city_zoom = 1;
    float zoom = game_map_city_zoom;
    int32_t city = -1;
};

// The game map window of a game world and the city lookup behind it: the map key cycles city view,
// country view and hidden, and each 20 m the truck moves the city it is in is looked up again and the
// shown map is rebuilt around it.
class game_map_view_t {
public:
    explicit game_map_view_t(game_ctrl_e& ctrl) : ctrl_(ctrl) {}
    game_map_view_t(const game_map_view_t&) = delete;
    game_map_view_t& operator=(const game_map_view_t&) = delete;

    // Makes the game map window (hidden) and finds its road map.
    void open_window();
    // Forgets the window and its road map (the bridge removes them with the world).
    void forget_window() { window_ = component_ = nullptr; }
    // The map key: hidden -> city view -> country view -> hidden (outside a city the country view is the
    // only one). False when the window has no road map and nothing changed.
    bool cycle();
    // The truck is at `position`: past 20 m from the last lookup the city and the shown map follow it.
    void follow(const vec3_t& position);
    // A save game was read: the next frame looks the city up again, and a shown map is shown.
    void after_load();

    bool shown() const { return state_.shown != 0; }
    bool in_city() const { return state_.in_city != 0; }
    float zoom() const { return state_.zoom; }
    // The city the truck is in, an index into the segment server's cities; -1 none.
    int32_t city() const { return state_.city; }
    // The saved state, and a read one taken over (a city the map does not have is reported and none
    // is taken).
    const map_view_state_t& saved() const { return state_; }
    void restore(const map_view_state_t& state);

    // The truck position the city lookup last ran at, shared by every game world.
    static vec3_t remembered_truck_position;

private:
    game_ctrl_e& ctrl_;
    map_view_state_t state_;
    c_item_t* window_ = nullptr;
    // The road map (id 1000) of the window; the window owns it.
    c_item_t* component_ = nullptr;
};
