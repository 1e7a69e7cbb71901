#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/check.h"
#include "engine/entity.h"
#include "common/bridge_parts.h"
#include "common/save_game_owners.h"
#include "common/hud_components.h"
#include "game/economy/ai_data_file.h"
#include "game/economy/economy_company_ai.h"
#include "game/economy/economy_computer_drivers.h"
#include "game/economy/economy_docks_in_reach.h"
#include "game/economy/economy_records.h"
#include "game/economy/economy_target_marker.h"
#include "game/economy/economy_world.h"
#include "game/economy/trailer_shader_cache.h"
#include "road/ctrl_parts.h"
#include "ui/components/area_map_economy.h"
#include "vehicles/links/player_links.h"
#include "vehicles/links/vehicle_links.h"

class game_bridge_t;
class mbio_t;
struct economy_section_image_t;
struct psm_t;

// Game-over reasons.
enum game_over_reason_t : int32_t {
    game_over_none = -1,
    game_over_time = 1,
    game_over_opponent_1 = 2,  // 3 and 4: opponents 2 and 3 reached the money goal
    game_over_wrong_city = 5,
    game_over_delivered = 6,
};
// Scenario goal kinds.
enum goal_kind_t : int32_t {
    goal_none = 1,
    goal_money = 2,
    goal_delivered = 3,
};

// The economy controller, registered as "economy.ctrl": the whole freight business of one game. It keeps
// the four companies (the player's first), the cargos, cities, traders, dealers and drivers of the
// definition files, the map's loading docks and route table, the jobs, the drivers' and dealers'
// trucks, the player's job, the special offer, the week and the game-over state; it pays deliveries,
// runs the opponents and the computer drivers, settles each week and keeps the economy's section of
// the save game with its time-stamp trailer. Its parts keep their own state: the target marker, the
// opponents' company AI, the computer drivers and the loading docks in the player's reach.
class economy_ctrl_e : public entity_t,
                       public economy_commands_t,
                       public ctrl_economy_t,
                       public vehicle_economy_t,
                       public traffic_economy_t,
                       public player_economy_t,
                       public save_section_owner_t,
                       public save_timestamp_owner_t,
                       public area_map_economy_t {
public:
    // Phases -10 (registration), 0 (definitions), 10 (docks, jobs, drivers, scenario).
    static const level_list_t economy_init_list;

    economy_ctrl_e();
    ~economy_ctrl_e() override;

    const char* get_default_name() const override { return "economy_ctrl"; }
    const level_list_t* get_init_list() const override { return &economy_init_list; }
    int init(int phase) override;
    int destroy(int phase) override;
    // One frame: the instructions' delay, then drivers, opponents, trailers, the offer, the clock, the docks.
    void handler() override;
    // Draws the target marker at the player's job's destination while he has a job.
    void draw() override;
    // Loads the animated target marker (a new game and a loaded one alike), and gives it back.
    void load_target_marker() { target_marker_.load(*world_); }
    void release_target_marker() { target_marker_.release(); }
    // The marker's model (null while there is none).
    psm_t* target_marker() const { return target_marker_.model(); }

    // The world the economy asks; the bridge's world by default (tests give their own).
    void set_world(economy_world_t* world) { world_ = world; }
    economy_world_t& world() { return *world_; }
    // The world's bridge: found at init phase -10 unless given before.
    game_bridge_t* bridge = nullptr;

    // --- Definitions and set-up ---
    // The seven loading steps of a new game.
    void load_definitions();
    void build_driver_trucks(int32_t driver_count);
    void build_dealer_stock();
    // Money, goals, the player's and the opponents' companies from the scenario of the game context.
    void load_scenario();
    // Opponent expansion threshold and period by difficulty level.
    void set_ai_level(int32_t level) { company_ai_.set_level(level); }
    // Puts `truck` into a company's slot unless it is assigned already.
    void assign_truck(int32_t company, int32_t slot, int32_t truck);
    // Truck figures: value in dollars, maintenance (at most 100), accessory prestige and rating in mph.
    int32_t truck_value(const company_truck_t& truck) const;
    int32_t truck_value_at(int32_t truck) const;
    // The accessory prestige of company truck `truck` (0 when there is none).
    int32_t truck_prestige(int32_t truck) const;
    // A text key of the definition of company truck `truck`'s driver; false (and "") when there is none.
    bool driver_def_string(int32_t truck, const char* key, char* out, size_t size) const;
    int32_t truck_maintenance(const company_truck_t& truck) const;
    int32_t truck_sum_prestige(const company_truck_t& truck) const;
    float truck_rating(const company_truck_t& truck) const;
    // The rating of `truck` driven by a driver of `prestige` (the player's own truck: the company's).
    float truck_rating_for(const company_truck_t& truck, int32_t prestige) const;

    // --- Docks, routes and jobs ---
    // Reads the AI data and route table beside the map; 1 on success, -1 when the AI data is missing or refused.
    int32_t load_ai_data(const char* map_path);
    // The route of entry (a, b); false when it is not in the table.
    bool route_get(uint16_t a, uint16_t b, route_view_t& out) const;
    // The route between the docks of a job's traders, and whether it is walked from its last node.
    bool job_route_distance(int32_t job, route_view_t& out, bool& out_forward) const;
    int32_t job_source_city(int32_t job) const;
    int32_t job_dest_city(int32_t job) const;
    void generate_jobs();
    bool generate_job(int32_t source_trader, int32_t destination_city);
    void dock_activate(int32_t dock_id, int32_t trader) override { docks_in_reach_.activate(dock_id, trader); }
    void dock_deactivate(int32_t dock_id, int32_t trader) override { docks_in_reach_.deactivate(dock_id, trader); }
    void dock_slot_release(int32_t dock, int32_t slot) override;
    void set_player_job(int32_t job, const vec3_t* target) override;
    // A truck within this many centimetres of a dock's position stands in its yard.
    static constexpr float dock_yard_radius = 6000.0f;
    int32_t dock_at(const vec3_t& position) const override { return docks_in_reach_.dock_at(position); }
    void set_current_dock(int32_t dock) override { docks_in_reach_.set_current(dock); }
    void place_near_trailers() { docks_in_reach_.place_near_trailers(); }
    void promote_dock_slots() { docks_in_reach_.promote_slots(); }
    const economy_docks_in_reach_t& docks_in_reach() const { return docks_in_reach_; }
    // The order for a trailer of job `job` standing at `position`, with the job's cargo and the place
    // of its destination's dock (the origin when it has none); false when the job or its cargo is not
    // one of the records.
    bool job_trailer_order(int32_t job, const vec3_t& position, const quat_t& orientation, trailer_order_t& out) const;

    // --- Money, pay, prestige, week and game over ---
    void add_money(int32_t amount, int32_t update_hud) override;
    void add_prestige(float delta, bool update_hud) override;
    void set_hud_damage(float damage) override;
    void show_call911_icon(bool show) override;
    void open_main_hud(int keep_position) override;
    int32_t get_call911_cost() const;
    // What the player's truck asks: fines and rescues, and the CB radio's speakers and driver cards.
    void charge_player(int32_t dollars, bool show) override { add_money(dollars, show ? 1 : 0); }
    int32_t call911_cost() const override { return get_call911_cost(); }
    bool cb_speaker(int32_t driver, char* out_name, int size, int32_t& out_voice) const override;
    bool driver_card(int32_t driver, char* out_image, char* out_name, char* out_employer, int size) const override;
    int32_t job_pay(int32_t job, int32_t company, int32_t truck, float damage, bool apply_double,
                    int32_t* out_damage_cut, int32_t* out_city_bonus) const;
    int32_t pay(int32_t company, int32_t job, int32_t truck, float damage, int32_t* out_damage_cut,
                int32_t* out_city_bonus);
    void delivery_result(int32_t driver, float damage, bool queued);
    void deliver_player_job(int32_t job, float damage) override;
    void weekly_report() override;
    void update_clock(float t);
    // Writes the day and time into the main HUD when it is open and the shown minute is due.
    void show_clock(float t);
    void check_game_over(int32_t reason, bool show_notebook);
    void show_game_over(bool show_notebook);
    void cheat(int n) override;
    // The loan a company may hold.
    int32_t company_credit_limit(int32_t company) const;

    // --- Company AI, computer drivers and the special offer ---
    void pick_city_job(int32_t city, int32_t driver, int32_t slot)
    {
        computer_drivers_.pick_city_job(city, driver, slot);
    }
    void init_driver_jobs() { computer_drivers_.init_jobs(); }
    void assign_driver_jobs(int32_t driver) { computer_drivers_.assign_jobs(driver); }
    void start_driver_leg(int32_t driver) { computer_drivers_.start_leg(driver); }
    void driver_step() { computer_drivers_.step(); }
    void driver_place_on_route(int32_t driver, vec3_t* out_position)
    {
        computer_drivers_.place_on_route(driver, out_position);
    }
    economy_computer_drivers_t& computer_drivers() { return computer_drivers_; }
    void company_ai_step() { company_ai_.step(); }
    const economy_company_ai_t& company_ai() const { return company_ai_; }
    void announce_special_offer(float t);
    bool driver_route_node(int32_t driver, int32_t& out_node) const override
    {
        return computer_drivers_.route_node(driver, out_node);
    }
    bool driver_next_node(int32_t driver, int32_t& out_node) const override
    {
        return computer_drivers_.next_node(driver, out_node);
    }
    void driver_route_step(int32_t driver) override { computer_drivers_.route_step(driver); }
    void set_driver_spawned(int32_t driver, bool on) override { computer_drivers_.set_spawned(driver, on); }
    void driver_route_ahead(int32_t driver, route_t& route) override { computer_drivers_.route_ahead(driver, route); }
    void driver_route_node6(route_t& route) override { computer_drivers_.route_node6(route); }
    // For company `c` whose headquarters is `city`: its level (-1 when none) and colour.
    void city_headquarters(int32_t city, int32_t& out_level, int32_t& out_colour) const override;

    // --- The save section and the trailer ---
    int32_t save(int file) override;
    int32_t check(int file, int32_t version) override;
    int32_t load(int file, int32_t version) override;
    int32_t save_timestamp_write(int file) override;
    int32_t save_timestamp_read(int file) override;
    void save_timestamp_default() override;
    // The section's records (rows 1 to 34) into a stream, and back; the reader checks every count,
    // text and index and answers false (with `out_error`) on a section it refuses; with `apply` false
    // it only checks, changing nothing.
    bool write_section(mbio_t& out) const;
    bool read_section(mbio_t& in, int32_t version, std::string& out_error, bool apply = true);
    // The trailer the player towed when the game was saved, spawned again for his job at its saved
    // place with its cargo and damage (the truck hitches it in the moments after the load).
    void restore_towed_trailer(const player_truck_state_t& truck);
    // Checks the whole section at the file's position (the player's truck and its record included)
    // without a controller: answers the bytes it spans, the file left after them, or -1 (with a message)
    // when a load would refuse it.
    static int32_t check_section(int file, int32_t version);
    // Takes a section read whole and checked.
    void take_section(economy_section_image_t& s);

    // --- What the game controller and the vehicles read ---
    int32_t dealer_count() const override { return static_cast<int32_t>(dealers.size()); }
    int32_t headquarters_city() const override { return companies[0].headquarters; }
    const char* city_name(int32_t index) const override;
    const char* city_display_name(int32_t index) const override;
    int32_t money() const override { return companies[0].money; }
    int32_t current_truck_value() const override;
    bool job_overweight(int32_t job) const override;
    int32_t job_pay(int32_t job) override { return job_pay(job, 0, 0, 0.0f, true, nullptr, nullptr); }
    void mark_dealer_known(int32_t dealer) override;
    void set_current_road(int32_t edge) override { current_road = edge; }

    // --- What the road map reads ---
    bool dealer_open(int32_t dealer) const override;
    const char* trader_icon(int32_t trader) const override;
    bool player_target(vec3_t& out) const override;

    // Counts of the arrays with a spare record behind the last (which every way of filling them keeps).
    int32_t cargo_count() const
    {
        kv_assert(!cargos.empty());
        return static_cast<int32_t>(cargos.size()) - 1;
    }
    int32_t job_count() const
    {
        kv_assert(!jobs.empty());
        return static_cast<int32_t>(jobs.size()) - 1;
    }
    // The spare job's and spare cargo's indices.
    int32_t spare_job() const { return job_count(); }
    int32_t spare_cargo() const { return cargo_count(); }

    special_cargo_offer_t offer;
    std::vector<dock_t> docks;
    // The ordinary cargos and one spare record behind them.
    std::vector<cargo_t> cargos;
    std::vector<cargo_t> special_cargos;
    std::vector<city_t> cities;
    std::vector<driver_t> drivers;
    std::vector<trader_t> traders;
    // The jobs and the spare job behind them.
    std::vector<job_t> jobs;
    std::vector<company_truck_t> trucks;
    std::vector<company_truck_t> dealer_stock;
    std::vector<dealer_t> dealers;
    int32_t week = 0;
    int32_t game_over_reason = game_over_none;
    int32_t level = 0;
    int32_t outcome = 0;
    int32_t goal_kind = goal_none;
    int32_t goal_target = 0;
    float instruction_delay = 0.0f;
    char instructions[256] = {};
    float time_left = -1.0f;
    float time_limit_tick = 0.0f;
    company_t companies[economy_company_count];
    uint8_t cheated = 0;
    player_job_t player_job{-1, {}};
    int32_t last_clock_display = 0;
    bool main_hud_open = false;
    // Set when the main HUD opens: its clock is written on the next frame rather than a game minute on.
    bool clock_due = false;
    route_table_t routes;
    // The shaders of the cargos' trailers, held while the game lasts.
    trailer_shader_cache_t trailer_shaders;
    int32_t current_road = -1;

private:
    // The three opponents of a new game: names, variants, headquarters, colours and first drivers.
    void set_up_opponents();

    // The bridge's world, used unless a test gives its own.
    economy_world_t* bridge_world_ = nullptr;
    economy_world_t* world_ = nullptr;
    bool registered_ = false;
    // The animated model standing at the player job's destination.
    economy_target_marker_t target_marker_;
    economy_company_ai_t company_ai_{*this};
    economy_computer_drivers_t computer_drivers_{*this};
    economy_docks_in_reach_t docks_in_reach_{*this};
};
