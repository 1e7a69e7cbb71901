#pragma once
#include <cstdint>

#include "engine/entity.h"
#include "engine/entity_handle.h"

// What the frame asks of the parts a world's bridge holds. The parts are built by other subsystems
// and register in the bridge themselves; the frame reaches them through these interfaces, so a slot
// that is empty (or holds an entity without the interface) simply means there is nothing to ask.

// The economy controller's operations that the console commands run.
class economy_commands_t {
public:
    virtual ~economy_commands_t() = default;
    // A console cheat: 1 drivers, 2 dealers, 3 money, 4 stars; any other number does nothing.
    virtual void cheat(int n) = 0;
    // Opens the main HUD of a game that starts without a save game.
    virtual void open_main_hud(int keep_position) = 0;
};

// The environment's operations behind the console commands "g_set_time" and "g_set_fov".
class environment_commands_t {
public:
    virtual ~environment_commands_t() = default;
    // Sets the game clock to `seconds` of the day and relights the world.
    virtual void set_time(int32_t seconds) = 0;
    // Sets the field of view of the game's view, in degrees.
    virtual void set_fov(int32_t degrees) = 0;
};

// The traffic's report behind the console command "g_traffic_info".
class traffic_commands_t {
public:
    virtual ~traffic_commands_t() = default;
    // Reports the counts of the traffic's registered roads and spawned cars.
    virtual void print_info() const = 0;
};

// The pager of the player's truck, which shows short game messages.
class pager_owner_t {
public:
    virtual ~pager_owner_t() = default;
    virtual void pager_message(const char* text, int flag) = 0;
};

// The player's truck, as the police's contact asks it to stop for a ticket.
class ticket_owner_t {
public:
    virtual ~ticket_owner_t() = default;
    // Starts the ticket scene for `offence`; `amount` -1 charges the standard fine.
    virtual void show_ticket(int32_t offence, int32_t amount) = 0;
};

// One use of a bridge part, seen through `interface_t` for as long as this object lives; `get` is null
// when the handle is empty or stale or its entity does not offer the interface.
template <typename interface_t> class held_part_t {
public:
    explicit held_part_t(entity_handle_t handle) : handle_(handle), held_(handle.add_use())
    {
        if (held_)
            part_ = dynamic_cast<interface_t*>(handle.resolve());
    }
    ~held_part_t()
    {
        if (held_)
            handle_.release();
    }
    held_part_t(const held_part_t&) = delete;
    held_part_t& operator=(const held_part_t&) = delete;

    interface_t* get() const { return part_; }

private:
    entity_handle_t handle_;
    bool held_;
    interface_t* part_ = nullptr;
};
