#pragma once
#include <cstdint>

struct c_item_t;
struct map_miscitem_t;
struct psm_t;
struct snd_sound_t;
class game_ctrl_e;

// Target models over the active stations: the dealer's (and any other item's), gas, service, weigh.
constexpr int game_ctrl_target_models = 4;

// What the stations keep between frames (visits, prices, fuelling and repair progress).
struct station_state_t {
    uint8_t at_gas_pump = 0;
    uint8_t at_service = 0;
    uint8_t weigh_shown = 0;
    float weigh_point[2] = {};
    uint8_t weigh_armed = 0;
    uint8_t weigh_done = 0;
    // Dollars per fuel unit at the current pump.
    float fuel_price = 1.58f;
    int32_t fuel_ticks = 0;
    int32_t fuel_paid = 0;
    float fuel_timer = 0.0f;
    uint8_t dealer_armed = 1;
    int32_t repair_cost = 0;
    int32_t repair_step_cost = 0;
    float repair_damage = 0.0f;
    float repair_timer = 0.0f;
};

// The stations of a game world as the player's truck meets them: gas pumps and service points that
// fuel and repair for money while their key is held, the weigh station that fines an overweight load
// (and reports a truck that passes it unweighed), the dealers that open the notebook's trucks page,
// each with its window, sounds and the target model drawn over it.
class game_stations_t {
public:
    explicit game_stations_t(game_ctrl_e& ctrl) : ctrl_(ctrl) {}
    game_stations_t(const game_stations_t&) = delete;
    game_stations_t& operator=(const game_stations_t&) = delete;
    ~game_stations_t();

    // The station sounds (bell, fuelling start, stop and flow), made once and replayed.
    void load_sounds();
    void free_sounds();
    // Loads the four target models, and frees them.
    void load_target_models();
    void free_target_models();
    // Forgets the windows (the bridge removes them with the world).
    void forget_windows() { gas_window_ = service_window_ = weigh_window_ = nullptr; }

    // Draws the pumps' prices and numbers the dealers from `dealer_start` on.
    void assign_prices(int32_t dealer_start);
    // One frame: the station the truck is at is entered, or every station is closed.
    void interaction();
    // The gas pump and service keys of one frame of `dt` seconds.
    void keys(float dt);
    // One fuelling tick and one repair tick of `dt` seconds while their key is held.
    void fuel_step(float dt);
    void repair_step(float dt);
    // Draws each active station's target model, advanced by `seconds`.
    void draw_targets(float seconds);

    // The state between frames, and a read or changed one taken over.
    const station_state_t& state() const { return state_; }
    void restore(const station_state_t& state) { state_ = state; }

private:
    void gas_entry(const map_miscitem_t& item, float speed_mph);
    void service_entry(float speed_mph);
    void weigh_entry(float speed_mph);
    void dealer_arrival(const map_miscitem_t& item);
    void close();
    // A truck that left an armed weigh station unweighed is reported with probability 0.8 when it
    // hauls a job.
    void report_passed_scales(int32_t job);
    // What job `job` pays, times `multiplier`, divided by 8 to 12.
    int32_t weighing_fine(int32_t job, int32_t multiplier);
    // Writes the repair cost and the damage left into the service window.
    void show_repair();
    void play_sound(int sound);

    game_ctrl_e& ctrl_;
    station_state_t state_;
    c_item_t* gas_window_ = nullptr;
    c_item_t* service_window_ = nullptr;
    c_item_t* weigh_window_ = nullptr;
    snd_sound_t* sounds_[4] = {};
    psm_t* target_models_[game_ctrl_target_models] = {};
};
