#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/gfx_device.h"
#include "engine/gfx_record.h"
#include "engine/log.h"
#include "engine/reset.h"
#include "engine/scanner.h"
#include "render_state.h"

namespace {

// Modes the headless devices offer, in the order gfx_mode_get walks them; refresh 0 is the default rate.
constexpr gfx_mode_t offered_mode(int width, int height, int bits, int refresh = 0)
{
    gfx_mode_t mode{};
    mode.width = width;
    mode.height = height;
    mode.bits = bits;
    mode.refresh = refresh;
    return mode;
}
// The "gl" device and driver: every size in both depths, two of them also at 75 Hz.
constexpr gfx_mode_t gl_modes[] = {
    offered_mode(640, 480, 16),      offered_mode(640, 480, 32),   offered_mode(800, 600, 16),
    offered_mode(800, 600, 32),      offered_mode(1024, 768, 16),  offered_mode(1024, 768, 32),
    offered_mode(1280, 1024, 32),    offered_mode(1920, 1080, 32), offered_mode(800, 600, 32, 75),
    offered_mode(1024, 768, 32, 75),
};
// The "soft" device: a software fallback with two small 16-bit modes.
constexpr gfx_mode_t soft_modes[] = {offered_mode(640, 480, 16), offered_mode(800, 600, 16)};

// One adapter (device or driver) with the modes it offers.
struct adapter_t {
    std::unique_ptr<gfx_device_t> device;
    const gfx_mode_t* modes;
    int mode_count;
};

template <size_t count>
adapter_t make_adapter(const char* name, const char* description, const gfx_mode_t (&modes)[count])
{
    return {std::make_unique<gfx_device_t>(name, description), modes, static_cast<int>(count)};
}

std::vector<adapter_t> devices;
// The drivers the stand-in offers: one, "gl", with the same modes as the "gl" device.
std::vector<adapter_t> drivers;
gfx_device_t* mode_device = nullptr;
gfx_mode_t current_mode{};
int failures_to_inject = 0;
int hw_flushes = 0;

// The adapter of a device or driver, or null for one the family does not hold.
const adapter_t* adapter_of(const gfx_device_t* device)
{
    for (const auto* list : {&devices, &drivers})
        for (const adapter_t& adapter : *list)
            if (adapter.device.get() == device)
                return &adapter;
    return nullptr;
}

bool offers(const adapter_t& adapter, const gfx_mode_t& mode)
{
    for (int i = 0; i < adapter.mode_count; ++i) {
        const gfx_mode_t& offered = adapter.modes[i];
        if (offered.width == mode.width && offered.height == mode.height && offered.bits == mode.bits)
            return true;
    }
    return false;
}

void reset_devices()
{
    devices.clear();
    drivers.clear();
    mode_device = nullptr;
    current_mode = gfx_mode_t{};
    failures_to_inject = 0;
    hw_flushes = 0;
}

engine_reset_registrar_t device_reset_registrar(reset_order_devices, reset_devices);

}  // namespace

gfx_device_setting::gfx_device_setting(const char* name, kind_t kind, double minimum, double maximum, double fallback)
    : name_(name), kind_(kind), minimum_(minimum), maximum_(maximum), default_(fallback), value_(fallback)
{}

void gfx_device_setting::format(double number, char* buffer, int size) const
{
    if (!buffer || size <= 0)
        return;
    if (kind_ == kind_int)
        snprintf(buffer, static_cast<size_t>(size), "%d", static_cast<int>(number));
    else
        snprintf(buffer, static_cast<size_t>(size), "%f", number);
}

void gfx_device_setting::get_value(char* buffer, int size, int) const { format(value_, buffer, size); }
void gfx_device_setting::get_default(char* buffer, int size) const { format(default_, buffer, size); }
void gfx_device_setting::get_min(char* buffer, int size) const { format(minimum_, buffer, size); }
void gfx_device_setting::get_max(char* buffer, int size) const { format(maximum_, buffer, size); }

void gfx_device_setting::set_value(const char* text)
{
    if (unavailable || !text)
        return;
    double number = 0.0;
    if (scanner_read_real(text, -scanner_t::real_limit, scanner_t::real_limit, number) != number_fault_t::none) {
        warning("gfx setting %s: \"%s\" is not a number", name_, text);
        return;
    }
    value_ = number < minimum_ ? minimum_ : number > maximum_ ? maximum_ : number;
    // Clamped first, so a huge number never overflows on its way to a whole one.
    if (kind_ == kind_int)
        value_ = std::trunc(value_);
}

void gfx_device_setting::load_value(const char* text) { set_value(text); }
void gfx_device_setting::reset() { value_ = default_; }

gfx_device_t::gfx_device_t(const char* name, const char* description)
    : scale_setting("scale", gfx_device_setting::kind_float, 0.0, 1.0, 1.0),
      level_setting("level", gfx_device_setting::kind_int, 0, 16, 0),
      depth_setting("depth", gfx_device_setting::kind_int, 0, 1, 0),
      quality_setting("quality", gfx_device_setting::kind_int, 0, 3, 0),
      switch_setting("switch", gfx_device_setting::kind_int, 0, 1, 0),
      filter_setting_1("filter1", gfx_device_setting::kind_int, 0, 1, 1),
      filter_setting_2("filter2", gfx_device_setting::kind_int, 0, 1, 1),
      filter_setting_3("filter3", gfx_device_setting::kind_int, 0, 1, 1), name_(name), description_(description)
{}

void gfx_device_t::describe(char* buffer, int size) const
{
    if (buffer && size > 0)
        snprintf(buffer, static_cast<size_t>(size), "%s", description_);
}

int gfx_device_t::setting_count() const { return 8; }

gfx_device_setting* gfx_device_t::setting(int index)
{
    gfx_device_setting* all[] = {&scale_setting,  &level_setting,    &depth_setting,    &quality_setting,
                                 &switch_setting, &filter_setting_1, &filter_setting_2, &filter_setting_3};
    return index >= 0 && index < setting_count() ? all[index] : nullptr;
}

gfx_device_setting* gfx_device_t::find_setting(const char* name)
{
    for (int i = 0; name && i < setting_count(); ++i)
        if (strcmp(setting(i)->name(), name) == 0)
            return setting(i);
    return nullptr;
}

ENGINE_API void gfx_init_devices()
{
    if (devices.empty()) {
        devices.push_back(make_adapter("gl", "headless recording device", gl_modes));
        devices.push_back(make_adapter("soft", "headless software device", soft_modes));
    }
    if (drivers.empty())
        drivers.push_back(make_adapter("gl", "headless recording driver", gl_modes));
}

ENGINE_API void gfx_shutdown_devices()
{
    if (mode_device)
        gfx_mode_shutdown(mode_device);
    devices.clear();
    drivers.clear();
}

ENGINE_API int gfx_device_count() { return static_cast<int>(devices.size()); }

ENGINE_API gfx_device_t* gfx_device_get(int index)
{
    if (index < 0 || index >= gfx_device_count())
        return nullptr;
    return devices[static_cast<size_t>(index)].device.get();
}

ENGINE_API int gfx_driver_count() { return static_cast<int>(drivers.size()); }

ENGINE_API gfx_device_t* gfx_driver_get(int index)
{
    if (index < 0 || index >= gfx_driver_count())
        return nullptr;
    return drivers[static_cast<size_t>(index)].device.get();
}

ENGINE_API int gfx_mode_count(gfx_device_t* device)
{
    const adapter_t* adapter = adapter_of(device);
    return adapter ? adapter->mode_count : 0;
}

ENGINE_API bool gfx_mode_get(gfx_device_t* device, int index, gfx_mode_t* out)
{
    const adapter_t* adapter = adapter_of(device);
    if (!adapter || !out || index < 0 || index >= adapter->mode_count)
        return false;
    *out = adapter->modes[index];
    return true;
}

ENGINE_API bool gfx_mode_init(gfx_device_t* device, const gfx_mode_t* mode)
{
    const adapter_t* adapter = adapter_of(device);
    if (!adapter || !mode) {
        error("gfx_mode_init: no such device");
        return false;
    }
    if (!offers(*adapter, *mode)) {
        error("gfx_mode_init: %s does not offer %dx%d/%dbpp", device->name(), mode->width, mode->height, mode->bits);
        return false;
    }
    if (failures_to_inject > 0) {
        --failures_to_inject;
        error("gfx_mode_init: %s refused %dx%d/%dbpp at %d Hz", device->name(), mode->width, mode->height, mode->bits,
              mode->refresh);
        return false;
    }
    mode_device = device;
    current_mode = *mode;
    return true;
}

ENGINE_API void gfx_mode_shutdown(gfx_device_t* device)
{
    if (device && device == mode_device) {
        mode_device = nullptr;
        current_mode = gfx_mode_t{};
    }
}

ENGINE_API void gfx_hw_flush() { ++hw_flushes; }

void render_screen_size(int& width, int& height)
{
    width = mode_device ? current_mode.width : 640;
    height = mode_device ? current_mode.height : 480;
}

void gfx_record_fail_mode_inits(int count) { failures_to_inject = count > 0 ? count : 0; }
const gfx_mode_t* gfx_record_mode() { return mode_device ? &current_mode : nullptr; }
const gfx_device_t* gfx_record_mode_device() { return mode_device; }
int gfx_record_hw_flushes() { return hw_flushes; }
