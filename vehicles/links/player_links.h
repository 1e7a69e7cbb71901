#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/quat.h"
#include "engine/vec.h"
#include "common/hud_pager.h"

class ui_view_t;

// What the player's truck asks of the world's parts beyond vehicle_links.h: the traffic, the police,
// the economy's money and drivers, and the main HUD's own operations. The parts implement these when
// they are built; an empty bridge slot, or a part without the interface, means nothing is asked.

// The traffic, as the player's truck drives it and reports to it.
class player_traffic_t {
public:
    virtual ~player_traffic_t() = default;
    // One step of the traffic (run once per frame, from the first physics step after the handler).
    virtual void update() = 0;
    // The player broke a rule: 150 wrong way, 160 no headlights at night, 120 hit the police ...
    virtual void report_offence(int32_t code, int32_t value) = 0;
    // Where the traffic sees the player: two points of the truck and the trailer's.
    virtual void set_player_points(const vec3_t& second, const vec3_t& first, const vec3_t& trailer) = 0;
    // Removes every car (after a ticket or a rescue).
    virtual void reset() = 0;
    // Stops the smoking car the police stopped.
    virtual void stop_smoke() = 0;
    // The offence the police is after, -1 none.
    virtual int32_t pending_offence() const = 0;
    // The driver of the AI truck in slot 0, -1 none; and the traffic's density level 0..2.
    virtual int32_t ai_truck_driver() const = 0;
    virtual int32_t level() const = 0;
    // The AI truck may sound its horn once in reply.
    virtual void answer_horn() = 0;
    // The place and turn of car slot `car`; false (outputs untouched) while no car drives in it.
    virtual bool car_pose(int32_t car, vec3_t& out_position, quat_t& out_rotation) const = 0;
};

// The police truck, as the ticket scene uses it.
class player_police_t {
public:
    virtual ~player_police_t() = default;
    virtual vec3_t police_position() const = 0;
    // Leaves the world once the ticket was given.
    virtual void request_remove() = 0;
};

// The economy, as the player's truck charges it and names its drivers.
class player_economy_t {
public:
    virtual ~player_economy_t() = default;
    // Adds dollars (negative: charges) to the player's company and shows it when `show`.
    virtual void charge_player(int32_t dollars, bool show) = 0;
    virtual void show_call911_icon(bool shown) = 0;
    // What a call-911 rescue costs at the game's difficulty.
    virtual int32_t call911_cost() const = 0;
    // The name (at most `size` - 1 characters) and the CB voice number of `driver`; -1 is the player.
    // False when there is no such driver.
    virtual bool cb_speaker(int32_t driver, char* out_name, int size, int32_t& out_voice) const = 0;
    // The driver panel's picture, name and employer line of `driver`; false when there is none.
    virtual bool driver_card(int32_t driver, char* out_image, char* out_name, char* out_employer, int size) const = 0;
};

// The job HUD as the player's truck reaches it (window "jobhud"): the hitched job's suggested route.
// The HUD's handler implements it.
class job_route_hud_t {
public:
    virtual ~job_route_hud_t() = default;
    // Shows job `job` with its destination's picture and leaves the route's pager text in `out_text`
    // (cut to `out_size`), or leaves the buffer untouched when there is no route to tell.
    virtual void show_suggested_route(int32_t job, char* out_text, size_t out_size) = 0;
};

// The buttons of the UI components the HUD feeds press (the blinker arrows). The UI components install
// it: the truck does not know the component classes.
class hud_buttons_t {
public:
    virtual ~hud_buttons_t() = default;
    // Sets a button's pressed flag; false when `view` is no button.
    virtual bool set_pressed(ui_view_t* view, bool pressed) = 0;
};

// Installs (null removes) the HUD buttons' presser.
void hud_buttons_install(hud_buttons_t* buttons);
hud_buttons_t* hud_buttons();
