#include "vehicles/traffic.h"

#include "common/engine_api.h"

void traffic_e::print_info() const
{
    api::message("We have %d registered roads and %d of %d spawned cars", road_count, spawned_count, car_capacity);
}
