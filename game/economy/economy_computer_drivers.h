#pragma once
#include <cstdint>

#include "engine/vec.h"

class economy_ctrl_e;
struct driver_t;
struct route_t;

// The computer drivers: each hauls a job at a time on his own truck, its leg timed by his truck's
// rating, with four more jobs queued, each starting where the one before ends. One driver a frame, in
// turn, moves on along his leg and is shown to the traffic when his truck comes near the player's; the
// traffic walks a shown driver along his route through the queries here.
class economy_computer_drivers_t {
public:
    explicit economy_computer_drivers_t(economy_ctrl_e& economy) : economy_(economy) {}
    economy_computer_drivers_t(const economy_computer_drivers_t&) = delete;
    economy_computer_drivers_t& operator=(const economy_computer_drivers_t&) = delete;

    // Puts into job slot `slot` of `driver` a job from `city`, by his preferred cities and cargos.
    void pick_city_job(int32_t city, int32_t driver, int32_t slot);
    // Every driver's first job, its leg and his queued jobs (a new game).
    void init_jobs();
    void assign_jobs(int32_t driver);
    // Starts the leg of `driver`'s current job: its time, his loading and his route.
    void start_leg(int32_t driver);
    // Gives `driver` the route of his current job and its direction; false (and no route flagged) when
    // the job has none.
    bool take_job_route(driver_t& driver) const;

    // Steps the next driver in turn, and one given driver.
    void step();
    void step_driver(int32_t driver);
    // The driver stepped last in turn.
    int32_t last_stepped() const { return cursor_; }
    // Moves the driver along his route to his progress; with `out_position` stores where he is instead
    // of asking the traffic to show him.
    void place_on_route(int32_t driver, vec3_t* out_position);

    // What the traffic asks of a shown driver: the edges at his current and next route positions, a
    // step to the next, his truck in or out of the traffic, and the edges ahead of him.
    bool route_node(int32_t driver, int32_t& out_node) const;
    bool next_node(int32_t driver, int32_t& out_node) const;
    void route_step(int32_t driver);
    void set_spawned(int32_t driver, bool on);
    void route_ahead(int32_t driver, route_t& route);
    void route_node6(route_t& route);

private:
    economy_ctrl_e& economy_;
    int32_t cursor_ = 0;
};
