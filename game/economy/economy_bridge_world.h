#pragma once
#include "game/economy/economy_world.h"

class economy_ctrl_e;
struct snd_sound_t;

// The economy's world in a game: the clocks of its world process, the game controller, the player's
// truck, the main HUD and the trailers, all reached through the controller's bridge.
class economy_bridge_world_t : public economy_world_t {
public:
    explicit economy_bridge_world_t(economy_ctrl_e& ctrl) : ctrl_(ctrl) {}
    ~economy_bridge_world_t() override;
    economy_bridge_world_t(const economy_bridge_world_t&) = delete;
    economy_bridge_world_t& operator=(const economy_bridge_world_t&) = delete;

    double world_time() const override;
    float frame_time() const override;
    float game_time() const override;
    int32_t current_city() const override;
    vec3_t edge_start(int32_t edge) const override;
    bool truck_position(vec3_t& out) const override;
    void pager(const char* text, int flag) override;
    void open_hud_window() override;
    void hud_text(int32_t id, const char* text) override;
    void hud_show(int32_t id, bool shown) override;
    void cash_sound() override;
    // Lights `model` with the segment server's lights, as the map's own models are.
    void light_model(psm_t* model) override;
    void refresh_city_markers() override {}
    uint32_t place_trailer(const trailer_order_t& order) override;
    void release_trailer(uint32_t trailer) override;
    // The world's traffic shows the driver's truck with its trailer.
    void show_driver_truck(const driver_truck_order_t& order) override;
    // The player's truck's place, trailer and fuel, and the same put back (the truck re-hitches its
    // trailer in the 2 s after the load).
    bool truck_state(player_truck_state_t& out) const override;
    void restore_truck_state(const player_truck_state_t& state, uint32_t colour) override;
    void rebuild_player_truck(const player_truck_build_t& build, bool keep_position) override;
    float player_truck_damage() const override;
    // The towed trailer comes from "/scripts/game/trailer.esc", set up where it stood when saved.
    uint32_t restore_towed_trailer(const trailer_order_t& order, float damage) override;
    // The player's truck's stored state; without a truck the record's bytes are passed over on a load.
    int32_t truck_record_save(int file) override;
    int32_t truck_record_load(int file, int32_t version) override;
    int32_t truck_record_bytes(int32_t version) const override;
    void show_game_over_window(bool notebook) override;

private:
    economy_ctrl_e& ctrl_;
    // The cash register sound, made on the first delivery.
    snd_sound_t* cash_ = nullptr;
};
