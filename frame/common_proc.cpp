#include "frame/common_proc.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <strings.h>

#include "engine/arg.h"
#include "engine/cache.h"
#include "engine/def_obj.h"
#include "engine/def_pool.h"
#include "engine/host_file.h"
#include "engine/path.h"
#include "engine/text.h"
#include "engine/ui.h"
#include "engine/vfs.h"
#include "engine/win32.h"
#include "common/engine_api.h"

namespace {

// Bytes of one log line of the start-up base; longer lines are cut.
constexpr size_t base_line_capacity = 4096;

// "[common_proc] " and the formatted text, handed to `log` (the engine's message, warning or error).
void base_line(void (*log)(const char*, ...), const char* format, va_list args)
{
    char line[base_line_capacity];
    const int used = snprintf(line, sizeof line, "[common_proc] ");
    vsnprintf(line + used, sizeof line - static_cast<size_t>(used), format, args);
    log("%s", line);
}

}  // namespace

common_proc::common_proc() { set_name("common_proc"); }

void common_proc::base_message(const char* format, ...) const
{
    va_list args;
    va_start(args, format);
    base_line(api::message, format, args);
    va_end(args);
}

void common_proc::base_warning(const char* format, ...) const
{
    va_list args;
    va_start(args, format);
    base_line(api::warning, format, args);
    va_end(args);
}

void common_proc::base_error(const char* format, ...) const
{
    va_list args;
    va_start(args, format);
    base_line(api::error, format, args);
    va_end(args);
}

common_proc::~common_proc() = default;

void common_proc::mount_home(const char* title)
{
    if (!api::cdl_param("-homeless")) {
        char documents[1024] = "";
        char home[1200] = "";
        const int project = api::cdl_param("-project");
        if (SHGetSpecialFolderPathA(nullptr, documents, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, 1)) {
            v_dos2unix_path(documents);
            snprintf(home, sizeof home, "%s/%s/", documents, title);
        } else if (project && api::cdl_argv(project + 1)) {
            snprintf(home, sizeof home, "%s/usr/", api::cdl_argv(project + 1));
        }
        if (!home[0])
            base_warning("no documents folder: settings, saves and screenshots are not kept");
        if (home[0]) {
            base_message("home directory @ \"%s\"", home);
            v_mkdir(home);
            if (api::vfs_mount_device("/", home, 9999, 2) < 0) {
                base_error("home dir mount failed!!!");
                base_error("cannot use %s (%s): settings, saves and screenshots are not kept", home,
                           api::v_strerror(*api::v_errno_addr()));
                return;
            }
            if (api::vfs_set_fallback_device(home) < 0) {
                base_error("fallback device mount failed: %s", api::v_strerror(*api::v_errno_addr()));
                return;
            }
        }
    }
    for (const char* folder : {"/missions", "/saves", "/tournaments", "/screenshots"})
        api::vfs_mkdir(folder, 0777);
}

bool common_proc::find_mode(gfx_device_t* device, const gfx_mode_t& wanted, gfx_mode_t& out)
{
    const int count = api::gfx_mode_count(device);
    base_message("gfx device modecount: %d", count);
    for (int i = 0; i < count; ++i) {
        gfx_mode_t mode;
        if (!api::gfx_mode_get(device, i, &mode))
            continue;
        base_message("trying mode #%d - %dx%d/%dbpp", i, mode.width, mode.height, mode.bits);
        if (mode.width == wanted.width && mode.height == wanted.height && mode.bits == wanted.bits) {
            out = mode;
            return true;
        }
    }
    return false;
}

bool common_proc::choose_mode(const adapter_list_t& list, gfx_device_t*& chosen, gfx_mode_t& mode)
{
    api::cvar_register_variable(&r_device_, 0);
    api::cvar_register_variable(&r_mode_, 0);
    api::cvar_register_variable(&r_fullscreen_, 0);
    device_ = nullptr;

    // The capabilities file is written by the options the first time they are applied: before that a
    // player has none, and its absence is no fault to report.
    vfs_stat_t stat{};
    c_item_t* caps = api::vfs_stat("hw_caps.def", &stat) == 0 ? api::mm_map("hw_caps.def") : nullptr;
    const def_pool_t* caps_pool = nullptr;
    if (caps && caps->loader && caps->loader->make_resident(caps))
        caps_pool = static_cast<const def_pool_t*>(caps->object);
    chosen = nullptr;
    for (int i = 0; i < list.count(); ++i) {
        gfx_device_t* device = list.get(i);
        if (!chosen && device && strcasecmp(device->name(), r_device_.value()) == 0)
            chosen = device;
        if (device && caps_pool)
            apply_hw_caps(device, caps_pool);
    }
    if (caps)
        api::ci_dec_refs(caps);
    if (!chosen)
        chosen = list.get(0);
    if (!chosen) {
        base_error("invalid gfx device");
        return false;
    }

    gfx_mode_t wanted;
    wanted.width = 640;
    wanted.height = 480;
    wanted.bits = 16;
    wanted.refresh = 60;
    arg_t fields;
    fields.separate(r_mode_.value(), "x");
    int32_t* const slots[] = {&wanted.width, &wanted.height, &wanted.bits, &wanted.refresh};
    for (int i = 0; i < fields.count() && i < 4; ++i)
        *slots[i] = v_atoi(fields[i]);
    const bool fullscreen = r_fullscreen_.value()[0] != '0';

    if (!find_mode(chosen, wanted, mode)) {
        base_warning("gfx mode enumeration failed for [%dx%d %d bpp]", wanted.width, wanted.height, wanted.bits);
        gfx_mode_t fallback;
        fallback.width = 640;
        fallback.height = 480;
        fallback.bits = 16;
        // Neither offered: take the first mode rather than search again forever.
        if (!find_mode(chosen, fallback, mode) && !api::gfx_mode_get(chosen, 0, &mode)) {
            base_error("no gfx mode offered");
            return false;
        }
        wanted.refresh = 0;
    }
    if (wanted.refresh > 0)
        mode.refresh = wanted.refresh;
    mode.fullscreen_request = fullscreen ? 1 : 0;
    return true;
}

void common_proc::choose_device_mode()
{
    gfx_device_t* device = nullptr;
    gfx_mode_t mode;
    if (choose_mode({api::gfx_device_count, api::gfx_device_get}, device, mode))
        set_mode(device, &mode);
}

void common_proc::choose_driver_mode()
{
    gfx_device_t* driver = nullptr;
    gfx_mode_t mode;
    if (choose_mode({api::gfx_driver_count, api::gfx_driver_get}, driver, mode))
        set_driver_mode(driver, &mode);
}

void common_proc::init_mode(gfx_device_t* device, gfx_mode_t* mode)
{
    if (!api::gfx_mode_init(device, mode)) {
        base_error("cannot initialize gfx mode. trying default refresh...");
        mode->refresh = 0;
        if (!api::gfx_mode_init(device, mode)) {
            if (mode->fullscreen) {
                api::cmd_execute("quit");
                return;
            }
            base_error("cannot initialize gfx mode. trying fullscreen...");
            mode->fullscreen = 1;
            if (!api::gfx_mode_init(device, mode)) {
                base_error("cannot initialize gfx mode.");
                api::cmd_execute("quit");
                return;
            }
        }
    }
    api::mm_hw_free_all(-1);
    api::mm_mem_free_all(-1);
    api::mm_remove_unreferenced(-1);
    device_ = device;
    mode_ = *mode;
    ui_recache();
}

int common_proc::set_mode(gfx_device_t* device, gfx_mode_t* mode)
{
    if (!device || !mode) {
        base_error("invalid gfx device");
        return 0;
    }
    gfx_mode_shutdown();
    init_mode(device, mode);
    return 0;
}

int common_proc::set_driver_mode(gfx_device_t* driver, gfx_mode_t* mode)
{
    if (!driver || !mode) {
        base_error("invalid gfx driver");
        return 0;
    }
    gfx_mode_shutdown();
    init_mode(driver, mode);
    return 0;
}

void common_proc::gfx_mode_shutdown()
{
    if (device_)
        api::gfx_mode_shutdown(device_);
    device_ = nullptr;
}

bool common_proc::apply_hw_caps(gfx_device_t* device, const def_pool_t* caps)
{
    const def_obj_t* section = caps ? caps->find(device->name()) : nullptr;
    if (!section)
        return false;
    for (int i = 0; i < device->setting_count(); ++i) {
        gfx_device_setting* setting = device->setting(i);
        if (const char* value = section->get_value(setting->name()))
            setting->load_value(value);
    }
    return true;
}

void common_proc::write_hw_caps(gfx_device_t* device)
{
    if (!device)
        return;
    vfs_stat_t stat{};
    std::unique_ptr<def_pool_t> pool;
    if (api::vfs_stat("hw_caps.def", &stat) == 0)
        pool = def_pool_t::load("hw_caps.def");
    if (!pool)
        pool = std::make_unique<def_pool_t>("hw_caps.def");
    def_obj_t* section = pool->find(device->name());
    if (!section) {
        section = pool->new_object(device->name());
        pool->add_object(section);
    }
    section->clear();
    for (int i = 0; i < device->setting_count(); ++i) {
        const gfx_device_setting* setting = device->setting(i);
        if (setting->unavailable)
            continue;
        char value[64];
        setting->get_value(value, sizeof value, 0);
        section->set_value(setting->name(), value);
    }
    const int file = api::vfs_open("hw_caps.def", 0x301, 0666);
    if (file < 0) {
        base_error("cannot open %s [%s]", "hw_caps.def", api::v_strerror(*api::v_errno_addr()));
        return;
    }
    pool->write_to(file);
    api::vfs_close(file);
}
