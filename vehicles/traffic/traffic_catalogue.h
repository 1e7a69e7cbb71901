#pragma once
#include <cstdint>
#include <vector>

#include "vehicles/traffic/ai_car_def.h"

// The models the traffic spawns its cars from ("/defs/ai/cars.def", entry 0 the police car), with the
// happy-hour car: the model whose hour the game clock is in is drawn first in three of ten choices.
class traffic_catalogue_t {
public:
    // No model is preferred this hour.
    static constexpr uint8_t no_happy_hour_car = 255;

    traffic_catalogue_t() = default;
    traffic_catalogue_t(const traffic_catalogue_t&) = delete;
    traffic_catalogue_t& operator=(const traffic_catalogue_t&) = delete;

    // Reads the catalogue file (at most its "car_count" entries).
    void load();
    // Reads "/models/ai/NAME/car.def" and appends the model; false when its definition is missing (the
    // entry is not added) or the catalogue is full.
    bool load_car_def(const char* name);
    // Appends a model; false once 255 are held (a car's model number is a byte and 255 names none).
    bool add(const ai_car_def_t& car);
    // Frees the models and empties the catalogue.
    void free();
    // The model for a car about to be spawned on a city road (`city`) or not, at night (`dark`) or by
    // day; false when no model is taken this time.
    bool choose(bool city, bool dark, uint8_t& model) const;
    // The clock is in `hour` (0 to 23): on entering an hour from 1 on, the first model preferred in it
    // becomes the happy-hour car; entering hour 0 changes nothing.
    void follow_hour(uint8_t hour);

    // Model `model`, or null when the catalogue has none of that number.
    const ai_car_def_t* find(uint8_t model) const { return model < cars_.size() ? &cars_[model] : nullptr; }
    const std::vector<ai_car_def_t>& entries() const { return cars_; }
    size_t size() const { return cars_.size(); }
    bool empty() const { return cars_.empty(); }
    uint8_t happy_hour_car() const { return happy_hour_car_; }
    uint8_t current_hour() const { return current_hour_; }

private:
    std::vector<ai_car_def_t> cars_;
    // "car_count" of the catalogue file.
    uint8_t capacity_ = 0;
    uint8_t happy_hour_car_ = no_happy_hour_car;
    uint8_t current_hour_ = 0;
};
