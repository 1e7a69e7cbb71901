#pragma once
#include <cstdint>

#include "engine/api.h"

// Graphics devices and drivers, their capability settings and their video modes. Headless: the
// stand-in offers two devices, "gl" and "soft", and one driver, "gl", each with a fixed list of modes;
// setting a mode only records it.

// A video mode, as gfx_mode_get fills it and gfx_mode_init takes it (nine 32-bit words).
struct gfx_mode_t {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bits = 0;     // bits per pixel, 16 or 32
    int32_t refresh = 0;  // Hz; 0 is the device's default rate
    int32_t reserved[3] = {0, 0, 0};
    uint8_t fullscreen = 0;  // word 7, first byte: full screen (the set-mode fallback raises it)
    uint8_t pad7[3] = {0, 0, 0};
    uint8_t fullscreen_request = 0;  // word 8, first byte: full screen asked for by "r_fullscreen"
    uint8_t pad8[3] = {0, 0, 0};
};
static_assert(sizeof(gfx_mode_t) == 36, "the mode record is nine words");

// One capability setting of a device ("level", "depth" ...). Every value crosses as text.
class gfx_device_setting {
public:
    // Kind of value the setting holds.
    enum kind_t { kind_int, kind_float };

    gfx_device_setting(const char* name, kind_t kind, double minimum, double maximum, double fallback);
    virtual ~gfx_device_setting() = default;

    // Writes the current value as text into `buffer` of `size` bytes (`flags` unused, pass 0).
    virtual void get_value(char* buffer, int size, int flags) const;
    // Writes the default value as text.
    virtual void get_default(char* buffer, int size) const;
    // Sets the value from text, clamped to the range; does nothing while the setting is unavailable.
    virtual void set_value(const char* text);
    // Sets the value read back from "hw_caps.def" (same rules as set_value).
    virtual void load_value(const char* text);
    // Puts the default value back.
    virtual void reset();
    virtual void get_min(char* buffer, int size) const;
    virtual void get_max(char* buffer, int size) const;

    // Key of the setting in "hw_caps.def".
    const char* name() const { return name_; }
    // Current value as a number (tests and the device itself read it).
    double value() const { return value_; }

    // Set while the device cannot honour the setting: the setter then does nothing.
    uint8_t unavailable = 0;

private:
    void format(double number, char* buffer, int size) const;

    const char* name_;
    kind_t kind_;
    double minimum_;
    double maximum_;
    double default_;
    double value_;
};

// A graphics device: a name ("gl"), a description, its modes and its settings.
class gfx_device_t {
public:
    gfx_device_t(const char* name, const char* description);
    gfx_device_t(const gfx_device_t&) = delete;
    gfx_device_t& operator=(const gfx_device_t&) = delete;

    const char* name() const { return name_; }
    // Writes the description (cut to fit) into `buffer` of `size` bytes.
    void describe(char* buffer, int size) const;

    // Capability settings, in a fixed order; the named ones are kept as members for the option page.
    int setting_count() const;
    gfx_device_setting* setting(int index);
    // The setting with that key, or null.
    gfx_device_setting* find_setting(const char* name);

    gfx_device_setting scale_setting;
    gfx_device_setting level_setting;
    gfx_device_setting depth_setting;
    gfx_device_setting quality_setting;
    gfx_device_setting switch_setting;
    gfx_device_setting filter_setting_1;
    gfx_device_setting filter_setting_2;
    gfx_device_setting filter_setting_3;

private:
    const char* name_;
    const char* description_;
};

// Brings the devices up and down (the device list exists between the two calls).
ENGINE_API void gfx_init_devices();
ENGINE_API void gfx_shutdown_devices();
// Number of devices, and device `index` or null out of range (or before gfx_init_devices).
ENGINE_API int gfx_device_count();
ENGINE_API gfx_device_t* gfx_device_get(int index);
// Number of drivers, and driver `index` or null out of range. A driver answers the device calls
// (modes, settings, gfx_mode_init); the stand-in offers one, "gl", with the device's modes.
ENGINE_API int gfx_driver_count();
ENGINE_API gfx_device_t* gfx_driver_get(int index);

// Number of modes a device offers, and mode `index` into `out` (false out of range or null device).
ENGINE_API int gfx_mode_count(gfx_device_t* device);
ENGINE_API bool gfx_mode_get(gfx_device_t* device, int index, gfx_mode_t* out);
// Sets a mode on a device: false (with a message) for a null device, a mode the device does not offer
// (width, height, bits) or an injected failure. On success the screen has the mode's size.
ENGINE_API bool gfx_mode_init(gfx_device_t* device, const gfx_mode_t* mode);
// Leaves the current mode of the device (nothing when it has none).
ENGINE_API void gfx_mode_shutdown(gfx_device_t* device);
// Drops the device's hardware copies of resources so that changed settings take effect.
ENGINE_API void gfx_hw_flush();
