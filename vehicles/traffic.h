#pragma once
#include <cstdint>
#include <vector>

#include "common/bridge_parts.h"
#include "engine/entity.h"
#include "vehicles/ai_car_def.h"

// The AI traffic, registered as "traffic". So far: its car catalogue and the choice of a model for a
// spawn, and the counts "g_traffic_info" prints (which stay 0 until the traffic registers roads and
// spawns cars).
class traffic_e : public entity_t, public traffic_commands_t {
public:
    // The most cars the traffic runs at once.
    static constexpr int32_t car_capacity = 128;
    // No model is preferred this hour.
    static constexpr uint8_t no_happy_hour_car = 255;

    ~traffic_e() override;

    int init(int phase) override;

    // Reports "We have N registered roads and M of 128 spawned cars".
    void print_info() const override;

    // Reads "/defs/ai/cars.def" into the catalogue (at most its "car_count" entries).
    void load_catalogue();
    // Reads "/models/ai/NAME/car.def" and appends the model to the catalogue; false when its definition
    // is missing (the entry is not added) or the catalogue is full.
    bool load_car_def(const char* name);
    // Frees the catalogue's models and empties it.
    void free_catalogue();
    // The model for a car about to be spawned on `edge`; false when no model is taken this time.
    bool choose_car_model(int32_t edge, uint8_t& model) const;
    // The clock entered `hour` (1 to 23): the first model preferred in it becomes the happy-hour car;
    // entering hour 0 changes nothing.
    void set_hour(int32_t hour);

    std::vector<ai_car_def_t> catalogue;  // entry 0 is the police car
    uint8_t catalogue_capacity = 0;       // "car_count" of the catalogue file
    uint8_t happy_hour_car = no_happy_hour_car;
    bool dark = false;                // night: models are taken by their night probability
    entity_handle_t controller_link;  // the game controller, asked which edges are city roads
    int32_t road_count = 0;           // roads registered with the traffic
    int32_t spawned_count = 0;        // cars on the roads now
};
