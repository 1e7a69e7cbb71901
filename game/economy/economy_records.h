#pragma once
#include <cstdint>

#include "engine/quat.h"
#include "engine/vec.h"

// The economy's records: plain fixed-size structures linked by indices (-1 none). Their field widths
// and order are those of the save section and the AI data file (economy_record_io.h describes them).

// Companies of a game: the player's (0) and three opponents.
constexpr int economy_company_count = 4;
// Truck slots of a company; slot 0 is the company's own truck.
constexpr int company_truck_slots = 8;
// Jobs a driver keeps: the current one and four queued.
constexpr int driver_job_slots = 5;
// Slots of a loading dock.
constexpr int dock_slot_count = 8;
// Accessories of a company truck.
constexpr int truck_accessory_count = 64;
// Ordinary cargos a game keeps at most.
constexpr int economy_max_cargos = 40;
// Traders a city holds at most.
constexpr int city_max_traders = 4;
// A special cargo k in an accepted list.
constexpr int32_t special_cargo_base = 0x100000;

// Bits of driver_t::flags.
constexpr uint32_t driver_is_player = 1u;
constexpr uint32_t driver_loading = 0x20u;
// The bit of driver_t::flags that says company `company` does not know the driver yet.
constexpr uint32_t driver_unknown_bit(int company) { return 2u << company; }
// Bits of driver_t::state.
constexpr uint8_t driver_in_traffic = 1;
constexpr uint8_t driver_has_route = 2;
// Bits of cargo_t::flags.
constexpr uint32_t cargo_offered = 1u;
constexpr uint32_t cargo_can_overweight = 4u;
// Bits of job_t::flags.
constexpr uint32_t job_flag_overweight = 1u;
constexpr uint32_t job_flag_taken = 2u;
// Bits of company_truck_t::flags.
constexpr uint32_t truck_of_driver = 1u;
constexpr uint32_t truck_assigned = 2u;
// Dock slot states.
enum dock_slot_state_t : uint16_t {
    slot_idle = 0,
    slot_open = 1,
    slot_trailer_standing = 2,
    slot_job_ready = 3,
    slot_placement_failed = 4,
};
// A slot without a job.
constexpr uint16_t slot_no_job = 0xFFFF;

// One company: the player's or an opponent.
struct company_t {
    int32_t trucks[company_truck_slots];
    int32_t money;
    int32_t colour;
    int32_t level;
    int32_t headquarters;
    char name[32];
    int32_t opponent_variant;
    float prestige;
    float driver_check;
    float expansion_timer;
    double last_step_time;
    int32_t deliveries;
    int32_t haul_score;
    int32_t income;
    // Added to with every delivery and never reset; it enters the weekly costs.
    int32_t haul_score_second;
    int32_t week_driver_income;
    int32_t week_costs;
    int32_t week_loan_repayment;
    int32_t loan;
    int32_t target_city;
    int32_t reserved;
};

// One driver definition: a driver who hauls jobs on his own truck.
struct driver_t {
    char name[64];
    uint32_t flags;
    int32_t salary;
    int8_t company;
    int8_t prestige;
    int8_t voice;
    uint8_t reserved0;
    int32_t truck;
    int8_t pref_cities[3];
    int8_t pref_cargos[3];
    uint16_t reserved1;
    int32_t jobs[driver_job_slots];
    // 0 to 1 along the leg; while loading the seconds spent loading.
    float progress;
    float leg_time;
    uint32_t reserved2;
    double leg_clock;
    uint16_t route_length;
    uint16_t reserved3;
    uint32_t route_distance;
    // Byte offsets of the route's nodes and cumulative distances in the route pool.
    uint32_t route_nodes;
    uint32_t route_distances;
    uint8_t route_direction;
    uint8_t reserved4;
    uint16_t next_node;
    uint16_t current_node;
    uint16_t reserved5;
    float covered;
    uint8_t state;
    uint8_t week_deliveries;
    uint16_t reserved6;
    int32_t week_income;
    int32_t week_haul_score;
};

// One cargo definition.
struct cargo_t {
    uint32_t flags;
    char name[32];
    char trailer[32];
    int16_t variant;
    int16_t deliveries[economy_company_count];
    int16_t record_deliveries;
    int16_t record_company;
    // Pay units per kilometre.
    int16_t income;
    float weight;
    float fragility;
};

// One city definition.
struct city_t {
    char name[32];
    char display_name[32];
    int32_t trader_count;
    int32_t traders[city_max_traders];
    int32_t haul_score[economy_company_count];
    int32_t record_haul_score;
    int32_t master;
};

// One trader definition.
struct trader_t {
    char name[32];
    int32_t city;
    int32_t dock;
    // -1 for "!all".
    int32_t produced_count;
    int32_t produced[32];
    int32_t accepted_count;
    int32_t accepted[33];
    char icon_shader[64];
    int32_t first_job;
};

// One truck dealer.
struct dealer_t {
    char name[32];
    uint32_t flags;
};

// A loading dock of the map, from the AI data file.
struct dock_t {
    int32_t id;
    int32_t slot_count;
    uint16_t slot_states[dock_slot_count];
    uint16_t slot_jobs[dock_slot_count];
    vec3_t slot_positions[dock_slot_count];
    quat_t slot_orientations[dock_slot_count];
    // Entity handle words of the trailers standing at the slots (0 none).
    uint32_t slot_trailers[dock_slot_count];
    vec3_t position;
    int32_t trader;
};

// One job: a cargo from a trader to a trader.
struct job_t {
    int32_t cargo;
    int32_t source;
    int32_t destination;
    // Centimetres.
    float distance;
    uint32_t flags;
};

// A truck of a driver or of a dealer's stock.
struct company_truck_t {
    float condition;
    char make[32];
    char accessories[truck_accessory_count][32];
    uint32_t flags;
    uint32_t colour;
    // Average speed in miles per hour.
    float rating;
    int32_t prestige;
    int32_t owner;
};

// The job the player carries and where its target marker stands.
struct player_job_t {
    int32_t job;
    vec3_t target;
};

// The timed special cargo offer.
struct special_cargo_offer_t {
    float countdown;
    uint8_t active;
    float deadline;
    char text[2048];
    float next_reminder;
    int32_t reminders;
};
