#pragma once
#include "engine/gfx_device.h"
#include "engine/gfx_view.h"

class game_bridge_t;

// What the parts of a world ask of the process that runs the game: the current world's bridge and
// pause state, the view parameters and the graphics mode. The game process installs itself while it
// exists; get_game_bridge (game_bridge.h), world_pause.h and view_params.h forward to it and answer as
// they document when none is installed.
class game_host_t {
public:
    virtual ~game_host_t() = default;
    // The bridge of the current world, or null.
    virtual game_bridge_t* current_bridge() const = 0;
    // The current world's pause: whether it sleeps, sleeping (or waking) it when it is pausable, and
    // its permission to pause; nothing without a current world.
    virtual bool world_paused() const = 0;
    virtual void pause_world(bool sleep, bool hide) = 0;
    virtual void allow_world_pause(bool allow) = 0;
    // The view parameters handed to the renderer at the start of every frame.
    virtual const gfx_view_t& view() const = 0;
    virtual void set_view(const gfx_view_t& view) = 0;
    // The graphics mode: set (refilling the view's viewport from it), shut down, and the capabilities
    // of a device written back.
    virtual int set_mode(gfx_device_t* device, gfx_mode_t* mode) = 0;
    virtual void gfx_mode_shutdown() = 0;
    virtual void write_hw_caps(gfx_device_t* device) = 0;
};

// Installs the host (null withdraws it); the caller keeps it alive while installed.
void game_host_install(game_host_t* host);
// Withdraws `host` when it is the one installed.
void game_host_withdraw(game_host_t* host);
// The installed host, or null.
game_host_t* game_host();
