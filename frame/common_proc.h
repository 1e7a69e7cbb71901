#pragma once
#include "engine/cvar.h"
#include "engine/gfx_device.h"
#include "engine/process.h"

class def_pool_t;

// Start-up base of the game process: mounts the user's home directory and chooses and sets the
// graphics device and video mode from "r_device", "r_mode", "r_fullscreen" and "hw_caps.def".
class common_proc : public vprocess_t {
public:
    common_proc();
    ~common_proc() override;

    // Mounts "<documents>/<title>/" (or "<project>/usr/") at "/" as the fallback device and creates
    // the game's folders; with "-homeless" only the folders are created.
    virtual void mount_home(const char* title);
    // Registers the graphics variables, picks the device and mode they ask for, and sets it.
    virtual void choose_device_mode();
    // Leaves the current mode.
    virtual void gfx_mode_shutdown();
    // Sets a mode, falling back to the default refresh and then to full screen; "quit" when all fail.
    virtual int set_mode(gfx_device_t* device, gfx_mode_t* mode);
    // The same choice as choose_device_mode over the graphics drivers, ending in set_driver_mode.
    virtual void choose_driver_mode();
    // Sets a mode on a driver, with the fallbacks of set_mode.
    virtual int set_driver_mode(gfx_device_t* driver, gfx_mode_t* mode);
    // Applies the device's section of a capability file; false when it has none.
    virtual bool apply_hw_caps(gfx_device_t* device, const def_pool_t* caps);
    // Stores the device's available settings as its section of "hw_caps.def", keeping the others.
    virtual void write_hw_caps(gfx_device_t* device);

    gfx_device_t* current_device() const { return device_; }
    const gfx_mode_t& current_mode() const { return mode_; }

private:
    // The start-up base's log lines carry its own name, "[common_proc] ", whatever the process is called.
    void base_message(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    void base_warning(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    void base_error(const char* format, ...) const __attribute__((format(printf, 2, 3)));

    // Which list of graphics adapters a choice walks.
    struct adapter_list_t {
        int (*count)();
        gfx_device_t* (*get)(int index);
    };
    // Registers the variables, picks the adapter and the mode of `list` they ask for; false when
    // there is no adapter or it offers no mode.
    bool choose_mode(const adapter_list_t& list, gfx_device_t*& chosen, gfx_mode_t& mode);
    // Initialises the mode, retrying at the default refresh and then full screen; "quit" when all
    // three fail. On success frees the cached resources and makes the mode current.
    void init_mode(gfx_device_t* device, gfx_mode_t* mode);
    // The mode of `device` equal in size and depth to `wanted`, into `out`; false when none is.
    bool find_mode(gfx_device_t* device, const gfx_mode_t& wanted, gfx_mode_t& out);

    gfx_device_t* device_ = nullptr;
    gfx_mode_t mode_;
    cvar_t r_device_{"r_device", "gl", cvar_t::type_text, nullptr, 1};
    cvar_t r_mode_{"r_mode", "640x480x16x0", cvar_t::type_text, nullptr, 1};
    cvar_t r_fullscreen_{"r_fullscreen", "0", cvar_t::type_integer, nullptr, 1};
};
