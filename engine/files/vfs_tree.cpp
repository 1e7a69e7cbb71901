// Entries, folders and devices of the virtual file system.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "engine/host.h"
#include "engine/host_file.h"
#include "engine/vfs.h"
#include "vfs_devices.h"
#include "vfs_error.h"
#include "vfs_handles.h"

namespace {

// True when the folder holding `parts` exists on some device.
bool parent_is_folder(const vfs_parts_t& parts)
{
    for (const vfs_entry_t& parent : vfs_devices_lookup(vfs_parts_t(parts.begin(), parts.end() - 1)))
        if (parent.folder)
            return true;
    return false;
}

// Finds the entries of `path` on every device; answers 0, or -1 with the error number set when the
// path is null (EINVAL), leaves the tree (EACCES) or names nothing (ENOENT).
int find_existing(const char* path, std::vector<vfs_entry_t>& found)
{
    vfs_parts_t parts;
    if (!path)
        return vfs_fail(EINVAL);
    if (!vfs_split_path(path, parts))
        return vfs_fail(EACCES);
    found = vfs_devices_lookup(parts);
    if (found.empty())
        return vfs_fail(ENOENT);
    return 0;
}

}  // namespace

ENGINE_API int vfs_stat(const char* path, vfs_stat_t* out)
{
    if (!out)
        return vfs_fail(EINVAL);
    std::vector<vfs_entry_t> found;
    if (find_existing(path, found) != 0)
        return -1;
    struct stat info;
    if (stat(found.front().host_path.c_str(), &info) != 0)
        return vfs_fail(errno);
    vfs_fill_stat(info, out);
    return 0;
}

ENGINE_API int vfs_unlink(const char* path)
{
    std::vector<vfs_entry_t> found;
    if (find_existing(path, found) != 0)
        return -1;
    if (found.front().folder)
        return vfs_fail(EISDIR);
    for (const vfs_entry_t& entry : found) {
        if (entry.device->writable && !entry.folder)
            return unlink(entry.host_path.c_str()) == 0 ? 0 : vfs_fail(errno);
    }
    return vfs_fail(EROFS);
}

ENGINE_API int vfs_rename(const char* from, const char* to)
{
    std::vector<vfs_entry_t> found;
    if (find_existing(from, found) != 0)
        return -1;
    const vfs_entry_t* source = nullptr;
    for (const vfs_entry_t& entry : found)
        if (!source && entry.device->writable && !entry.folder)
            source = &entry;
    if (!source)
        return vfs_fail(found.front().folder ? EISDIR : EROFS);
    vfs_parts_t parts;
    if (!to)
        return vfs_fail(EINVAL);
    if (!vfs_split_path(to, parts) || parts.empty())
        return vfs_fail(EACCES);
    std::string target_path;
    const vfs_device_t* target = vfs_devices_write_target(parts, target_path);
    if (!target)
        return vfs_fail(EROFS);
    if (target != source->device)
        return vfs_fail(EXDEV);
    // The new contents reach the disk before the name moves, so a crash leaves one whole file.
    const int file = open(source->host_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return vfs_fail(errno);
    const int synced = fsync(file) == 0 ? 0 : errno;
    close(file);
    if (synced != 0)
        return vfs_fail(synced);
    return rename(source->host_path.c_str(), target_path.c_str()) == 0 ? 0 : vfs_fail(errno);
}

ENGINE_API int vfs_mkdir(const char* path, unsigned mode)
{
    vfs_parts_t parts;
    if (!path)
        return vfs_fail(EINVAL);
    if (!vfs_split_path(path, parts))
        return vfs_fail(EACCES);
    if (parts.empty() || !vfs_devices_lookup(parts).empty())
        return vfs_fail(EEXIST);
    if (!parent_is_folder(parts))
        return vfs_fail(ENOENT);
    std::string host_path;
    if (!vfs_devices_write_target(parts, host_path))
        return vfs_fail(EROFS);
    if (v_mkdir(host_path.substr(0, host_path.rfind('/')).c_str()) != 0)
        return -1;
    return mkdir(host_path.c_str(), mode & 0777) == 0 ? 0 : vfs_fail(errno);
}

ENGINE_API int vfs_mount_device(const char* mount_point, const char* host_path, int priority, int flags)
{
    vfs_parts_t parts;
    if (!mount_point || !host_path || !*host_path || (flags != 0 && flags != vfs_device_writable))
        return vfs_fail(EINVAL);
    if (!vfs_split_path(mount_point, parts))
        return vfs_fail(EACCES);
    const int problem = vfs_devices_mount(parts, vfs_trim_host_path(host_path), priority, flags == vfs_device_writable);
    return problem == 0 ? 0 : vfs_fail(problem);
}

namespace {
// Told each time a writable device becomes the home (the fallback device).
void (*home_listener)() = nullptr;
}  // namespace

ENGINE_API int vfs_set_fallback_device(const char* host_path)
{
    if (!host_path)
        return vfs_fail(EINVAL);
    const vfs_device_t* device = vfs_devices_find(vfs_trim_host_path(host_path));
    if (!device)
        return vfs_fail(ENODEV);
    if (!device->writable)
        return vfs_fail(EROFS);
    vfs_devices_set_fallback(device);
    if (home_listener)
        home_listener();
    return 0;
}

void vfs_set_home_listener(void (*listener)()) { home_listener = listener; }

ENGINE_API const char* vfs_get_fallback_device()
{
    const vfs_device_t* device = vfs_devices_fallback();
    return device ? device->host_path.c_str() : nullptr;
}

ENGINE_API void vfs_reset_fallback_device() { vfs_devices_set_fallback(nullptr); }

bool vfs_write_whole(const char* path, const std::string& text)
{
    vfs_parts_t parts;
    std::string host_path;
    int problem = 0;
    if (!path || !vfs_split_path(path, parts) || parts.empty())
        problem = EACCES;
    else if (!parent_is_folder(parts))
        problem = ENOENT;
    else if (!vfs_devices_write_target(parts, host_path))
        problem = EROFS;
    else if (v_mkdir(host_path.substr(0, host_path.rfind('/')).c_str()) != 0)
        problem = *v_errno_addr();
    const std::string temporary = host_path + ".new";
    if (problem == 0) {
        const int file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (file < 0) {
            problem = errno;
        } else {
            size_t done = 0;
            while (done < text.size() && problem == 0) {
                const ssize_t wrote = write(file, text.data() + done, text.size() - done);
                if (wrote > 0)
                    done += static_cast<size_t>(wrote);
                else if (wrote < 0 && errno != EINTR)
                    problem = errno;
                else if (wrote == 0)
                    problem = EIO;
            }
            if (problem == 0 && fsync(file) != 0)
                problem = errno;
            if (close(file) != 0 && problem == 0)
                problem = errno;
            if (problem == 0 && rename(temporary.c_str(), host_path.c_str()) != 0)
                problem = errno;
            if (problem != 0)
                unlink(temporary.c_str());
        }
    }
    if (problem != 0) {
        error("cannot write %s (%s)", path ? path : "(null)", v_strerror(problem));
        return false;
    }
    return true;
}

bool vfs_read_whole(const char* path, std::string& out)
{
    out.clear();
    const int file = vfs_open(path, 0, 0);
    vfs_stat_t info{};
    int problem = 0;
    if (file < 0 || vfs_fstat(file, &info) != 0)
        problem = *v_errno_addr();
    else if ((info.mode & vfs_mode_type_mask) != vfs_mode_file)
        problem = EISDIR;
    if (problem != 0) {
        error("cannot read %s (%s)", path ? path : "(null)", v_strerror(problem));
        vfs_close(file);
        return false;
    }
    out.resize(static_cast<size_t>(info.size));
    const long got = vfs_read(file, out.data(), static_cast<long>(out.size()));
    vfs_close(file);
    if (got < 0) {
        error("cannot read %s (%s)", path, v_strerror(*v_errno_addr()));
        out.clear();
        return false;
    }
    out.resize(static_cast<size_t>(got));
    return true;
}

bool vfs_init_from_host()
{
    const host_settings_t& settings = host_settings();
    if (!settings.data_root.empty() && vfs_mount_device("/", settings.data_root.c_str(), 0, 0) != 0) {
        error("cannot mount the data root %s (%s)", settings.data_root.c_str(), v_strerror(*v_errno_addr()));
        return false;
    }
    if (settings.home.empty())
        return true;
    if (v_mkdir(settings.home.c_str()) != 0 ||
        vfs_mount_device("/", settings.home.c_str(), 9999, vfs_device_writable) != 0 ||
        vfs_set_fallback_device(settings.home.c_str()) != 0) {
        error("cannot mount the home %s (%s)", settings.home.c_str(), v_strerror(*v_errno_addr()));
        return false;
    }
    return true;
}

#include "engine/reset.h"
static engine_reset_registrar_t vfs_reset_registrar(reset_order_files, [] {
    vfs_handles_close_all();
    vfs_devices_clear();
});
