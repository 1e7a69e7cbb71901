#pragma once
#include <sys/stat.h>

#include <string>
#include <vector>

#include "engine/vfs.h"

#include "vfs_path.h"

// One mounted host folder.
struct vfs_device_t {
    vfs_parts_t mount_point;
    std::string host_path;
    int priority = 0;
    bool writable = false;
};

// An entry of the virtual tree found on one device.
struct vfs_entry_t {
    const vfs_device_t* device = nullptr;
    std::string host_path;
    bool folder = false;
};

// Mounts (or re-mounts) a device; answers 0 or an errno value.
int vfs_devices_mount(const vfs_parts_t& mount_point, const std::string& host_path, int priority, bool writable);

// The mounted device of that host folder, or null.
vfs_device_t* vfs_devices_find(const std::string& host_path);

// The entry `parts` on every device that holds it, highest priority first.
std::vector<vfs_entry_t> vfs_devices_lookup(const vfs_parts_t& parts);

// The device that takes writes to `parts` (the fallback device when it covers the path, else the
// writable device of highest priority that does), or null; `host_path` receives where the entry goes
// on it (components matched ignoring case where they exist).
const vfs_device_t* vfs_devices_write_target(const vfs_parts_t& parts, std::string& host_path);

// The fallback device, or null.
const vfs_device_t* vfs_devices_fallback();
void vfs_devices_set_fallback(const vfs_device_t* device);

// Forgets every device and the fallback.
void vfs_devices_clear();

// Converts a host entry's status into the file system's.
void vfs_fill_stat(const struct stat& info, vfs_stat_t* out);
