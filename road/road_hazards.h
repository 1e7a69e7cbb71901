#pragma once
#include <cstdint>
#include <vector>

class game_ctrl_e;
struct map_edge_t;

// Variants a road hazard has at most (its own prefab first).
constexpr int32_t hazard_variants = 8;

// A Prefab edge that is built, from time to time, with a variant prefab instead of its own: the
// variants (prefab indices, variant 0 the edge's own), the first map sign of each (-1 none) and the
// variant chosen now.
struct hazard_entry_t {
    int32_t edge = -1;
    int32_t count = 0;
    int32_t variants[hazard_variants] = {};
    int32_t first_sign[hazard_variants] = {};
    int32_t chosen = 0;
};

// The road hazards of a game world: Prefab edges that are built with one of the variants
// "/defs/seg_server/prefabs.def" lists for their prefab, redrawn every 600 s for the edges that are
// not on screen. Each variant's signs are added to the map's signs at load.
class road_hazards_t {
public:
    explicit road_hazards_t(game_ctrl_e& ctrl) : ctrl_(ctrl) {}
    road_hazards_t(const road_hazards_t&) = delete;
    road_hazards_t& operator=(const road_hazards_t&) = delete;

    // Reads the hazards for the map's Prefab edges.
    void load();
    // Redraws the variants of the hazards that are not on screen every 600 s of frame time.
    void reshuffle(float dt);
    // When edge `index` (`edge`) is a hazard: makes its definition and sign the chosen variant's and
    // answers its entry; else null and the edge is left as it is.
    const hazard_entry_t* apply(map_edge_t& edge, int32_t index);
    void clear() { entries_.clear(); }

    const std::vector<hazard_entry_t>& entries() const { return entries_; }
    // Seconds towards the next redraw (saved with the game).
    float timer() const { return timer_; }
    void restore_timer(float seconds) { timer_ = seconds; }

private:
    game_ctrl_e& ctrl_;
    std::vector<hazard_entry_t> entries_;
    float timer_ = 0.0f;
};
