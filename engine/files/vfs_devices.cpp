#include "vfs_devices.h"

#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <list>

namespace {

// A list keeps devices at fixed addresses while others are mounted.
std::list<vfs_device_t> devices;  // highest priority first; equal priorities: later mount first
const vfs_device_t* fallback = nullptr;

// Mount points compare ignoring case, as paths do.
bool same_part(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

// The components of `parts` below the device's mount point, or false when it does not cover them.
bool relative_to(const vfs_device_t& device, const vfs_parts_t& parts, vfs_parts_t& relative)
{
    const vfs_parts_t& mount = device.mount_point;
    if (mount.size() > parts.size())
        return false;
    for (size_t i = 0; i < mount.size(); ++i)
        if (!same_part(mount[i], parts[i]))
            return false;
    relative.assign(parts.begin() + static_cast<long>(mount.size()), parts.end());
    return true;
}

}  // namespace

int vfs_devices_mount(const vfs_parts_t& mount_point, const std::string& host_path, int priority, bool writable)
{
    struct stat info;
    if (stat(host_path.c_str(), &info) != 0)
        return errno;
    if (!S_ISDIR(info.st_mode))
        return ENOTDIR;
    auto same = std::find_if(devices.begin(), devices.end(), [&](const vfs_device_t& d) {
        return d.host_path == host_path && d.mount_point == mount_point;
    });
    // Before the first device of lower or equal priority, so the later of two equals wins.
    auto position = std::find_if(devices.begin(), devices.end(), [&](const vfs_device_t& d) {
        return &d != (same == devices.end() ? nullptr : &*same) && d.priority <= priority;
    });
    if (same == devices.end()) {
        devices.insert(position, vfs_device_t{mount_point, host_path, priority, writable});
        return 0;
    }
    // A re-mount keeps the device's address, so a fallback pointing at it stays valid.
    same->priority = priority;
    same->writable = writable;
    if (!writable && fallback == &*same)
        fallback = nullptr;
    devices.splice(position, devices, same);
    return 0;
}

vfs_device_t* vfs_devices_find(const std::string& host_path)
{
    for (vfs_device_t& device : devices)
        if (device.host_path == host_path)
            return &device;
    return nullptr;
}

std::vector<vfs_entry_t> vfs_devices_lookup(const vfs_parts_t& parts)
{
    std::vector<vfs_entry_t> found;
    vfs_parts_t relative;
    for (const vfs_device_t& device : devices) {
        if (!relative_to(device, parts, relative))
            continue;
        const vfs_host_match_t match = vfs_match_host(device.host_path, relative);
        if (match.existing != relative.size())
            continue;
        struct stat info;
        if (stat(match.host_path.c_str(), &info) != 0)
            continue;
        found.push_back({&device, match.host_path, S_ISDIR(info.st_mode)});
    }
    return found;
}

const vfs_device_t* vfs_devices_write_target(const vfs_parts_t& parts, std::string& host_path)
{
    vfs_parts_t relative;
    const vfs_device_t* target = nullptr;
    if (fallback && relative_to(*fallback, parts, relative)) {
        target = fallback;
    } else {
        for (const vfs_device_t& device : devices) {
            if (device.writable && relative_to(device, parts, relative)) {
                target = &device;
                break;
            }
        }
    }
    if (target)
        host_path = vfs_match_host(target->host_path, relative).host_path;
    return target;
}

const vfs_device_t* vfs_devices_fallback() { return fallback; }
void vfs_devices_set_fallback(const vfs_device_t* device) { fallback = device; }

void vfs_devices_clear()
{
    devices.clear();
    fallback = nullptr;
}
