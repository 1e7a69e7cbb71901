// Opening, reading and writing files and folders of the virtual file system.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "engine/host_file.h"
#include "engine/vfs.h"
#include "vfs_devices.h"
#include "vfs_error.h"
#include "vfs_folder.h"
#include "vfs_handles.h"

namespace {

constexpr unsigned known_flags = vfs_write_only | vfs_at_end | vfs_create | vfs_truncate | vfs_exclusive;

// A write empties the file unless it starts at the end (the in-place and append form).
bool truncating(unsigned flags) { return (flags & vfs_truncate) || !(flags & vfs_at_end); }

// The host folder that holds a host path.
std::string parent_of(const std::string& host_path) { return host_path.substr(0, host_path.rfind('/')); }

// Copies a host file, so a file of a read-only device can be changed on the writable one.
bool copy_host_file(const std::string& from, const std::string& to)
{
    const int source = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return false;
    const int target = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    bool copied = target >= 0;
    char block[65536];
    while (copied) {
        const ssize_t got = read(source, block, sizeof block);
        if (got <= 0) {
            copied = got == 0;
            break;
        }
        copied = write(target, block, static_cast<size_t>(got)) == got;
    }
    close(source);
    if (target >= 0)
        close(target);
    return copied;
}

// Opens the entry of highest priority: a file to read, or a folder to list.
int open_for_reading(const std::vector<vfs_entry_t>& found)
{
    if (found.empty())
        return vfs_fail(ENOENT);
    vfs_open_file_t file;
    file.device_name = found.front().device->host_path;
    file.host_path = found.front().host_path;
    if (found.front().folder) {
        file.names = vfs_folder_names(found);
        return vfs_handles_add(std::move(file));
    }
    file.descriptor = open(file.host_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file.descriptor < 0)
        return vfs_fail(errno);
    return vfs_handles_add(std::move(file));
}

// Opens a file on the device that takes writes, creating its folders there when needed.
int open_for_writing(const vfs_parts_t& parts, const std::vector<vfs_entry_t>& found, unsigned flags, unsigned mode)
{
    if (parts.empty() || (!found.empty() && found.front().folder))
        return vfs_fail(EISDIR);
    if ((flags & vfs_exclusive) && !found.empty())
        return vfs_fail(EEXIST);
    std::string host_path;
    const vfs_device_t* target = vfs_devices_write_target(parts, host_path);
    if (!target)
        return vfs_fail(EROFS);
    bool on_target = false;
    for (const vfs_entry_t& entry : found)
        on_target = on_target || entry.device == target;
    if (!on_target) {
        if (found.empty() && !(flags & vfs_create))
            return vfs_fail(ENOENT);
        // The folder must exist somewhere in the virtual tree; the writable device then gets it too.
        bool parent_exists = false;
        for (const vfs_entry_t& parent : vfs_devices_lookup(vfs_parts_t(parts.begin(), parts.end() - 1)))
            parent_exists = parent_exists || parent.folder;
        if (!parent_exists)
            return vfs_fail(ENOENT);
        if (v_mkdir(parent_of(host_path).c_str()) != 0)
            return -1;
        if (!found.empty() && !truncating(flags) && !copy_host_file(found.front().host_path, host_path))
            return vfs_fail(errno ? errno : EIO);
    }
    int open_flags = O_WRONLY | O_CLOEXEC;
    open_flags |= (flags & vfs_create) ? O_CREAT : 0;
    open_flags |= truncating(flags) ? O_TRUNC : 0;
    open_flags |= (flags & vfs_exclusive) ? O_EXCL : 0;
    vfs_open_file_t file;
    file.writing = true;
    file.device_name = target->host_path;
    file.host_path = host_path;
    file.descriptor = open(host_path.c_str(), open_flags, mode & 0777);
    if (file.descriptor < 0)
        return vfs_fail(errno);
    if ((flags & vfs_at_end) && lseek(file.descriptor, 0, SEEK_END) < 0) {
        const int problem = errno;
        close(file.descriptor);
        return vfs_fail(problem);
    }
    return vfs_handles_add(std::move(file));
}

}  // namespace

void vfs_fill_stat(const struct stat& info, vfs_stat_t* out)
{
    out->mode = (S_ISDIR(info.st_mode) ? vfs_mode_folder : vfs_mode_file) | (info.st_mode & 0777);
    out->size = S_ISDIR(info.st_mode) ? 0 : static_cast<long long>(info.st_size);
    out->time = static_cast<long long>(info.st_mtime);
}

ENGINE_API int vfs_open(const char* path, unsigned flags, unsigned mode)
{
    vfs_parts_t parts;
    if (!path || (flags & ~known_flags))
        return vfs_fail(EINVAL);
    if (!vfs_split_path(path, parts))
        return vfs_fail(EACCES);
    if (!(flags & vfs_write_only) && flags != 0)
        return vfs_fail(EINVAL);
    const std::vector<vfs_entry_t> found = vfs_devices_lookup(parts);
    if (!(flags & vfs_write_only))
        return open_for_reading(found);
    return open_for_writing(parts, found, flags, mode);
}

ENGINE_API long vfs_read(int handle, void* buffer, long size)
{
    vfs_open_file_t* file = vfs_handles_get(handle);
    if (!file || file->writing)
        return vfs_fail(EBADF);
    if (size < 0 || (!buffer && size > 0))
        return vfs_fail(EINVAL);
    if (file->descriptor < 0)
        return vfs_folder_read(file->names, file->next_name, static_cast<char*>(buffer), size);
    long total = 0;
    while (total < size) {
        const ssize_t got =
            read(file->descriptor, static_cast<char*>(buffer) + total, static_cast<size_t>(size - total));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return vfs_fail(errno);
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

ENGINE_API long vfs_write(int handle, const void* buffer, long size)
{
    vfs_open_file_t* file = vfs_handles_get(handle);
    if (!file || !file->writing)
        return vfs_fail(EBADF);
    if (size < 0 || (!buffer && size > 0))
        return vfs_fail(EINVAL);
    long total = 0;
    while (total < size) {
        const ssize_t put =
            write(file->descriptor, static_cast<const char*>(buffer) + total, static_cast<size_t>(size - total));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return vfs_fail(put < 0 ? errno : EIO);
        total += put;
    }
    return total;
}

ENGINE_API long vfs_seek(int handle, long offset, int whence)
{
    vfs_open_file_t* file = vfs_handles_get(handle);
    if (!file)
        return vfs_fail(EBADF);
    if (file->descriptor < 0)
        return vfs_fail(ESPIPE);
    const int host_whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (whence < 0 || whence > 2)
        return vfs_fail(EINVAL);
    const off_t position = lseek(file->descriptor, offset, host_whence[whence]);
    if (position < 0)
        return vfs_fail(errno);
    return static_cast<long>(position);
}

ENGINE_API int vfs_close(int handle) { return vfs_handles_close(handle) ? 0 : vfs_fail(EBADF); }

ENGINE_API int vfs_fstat(int handle, vfs_stat_t* out)
{
    vfs_open_file_t* file = vfs_handles_get(handle);
    if (!file)
        return vfs_fail(EBADF);
    if (!out)
        return vfs_fail(EINVAL);
    struct stat info;
    const int result = file->descriptor >= 0 ? fstat(file->descriptor, &info) : stat(file->host_path.c_str(), &info);
    if (result != 0)
        return vfs_fail(errno);
    vfs_fill_stat(info, out);
    return 0;
}

ENGINE_API const char* vfs_get_device_name(int handle)
{
    vfs_open_file_t* file = vfs_handles_get(handle);
    if (!file) {
        vfs_fail(EBADF);
        return nullptr;
    }
    return file->device_name.c_str();
}
