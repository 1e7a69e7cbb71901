#pragma once
#include <string>

#include "engine/api.h"

// The virtual file system. Paths are virtual: "/" is the game data root (read-only) with the writable
// home mounted over it; a path without a leading "/" resolves against the root. A path never leaves its
// root: a ".." that would climb above "/" is refused. Each path component matches exactly first, then
// ignoring case, so data naming "b.OGG" answers a request for "b.ogg". Errors set *v_errno_addr() to an
// errno value and return -1 (or null).

// Flags of vfs_open: bits that may be combined.
enum vfs_open_flag_t : unsigned {
    vfs_write_only = 0x001,  // open for writing (without it the handle reads)
    vfs_at_end = 0x008,      // start at the end of the file; a later vfs_seek is honoured
    vfs_create = 0x100,      // create the file when absent
    vfs_truncate = 0x200,    // empty the file (implied by every write open without vfs_at_end)
    vfs_exclusive = 0x400,   // with vfs_create: fail when the file exists
};

// Flag of vfs_mount_device: the device takes writes.
constexpr int vfs_device_writable = 2;

// Opens a file (or, for reading, a folder) and answers its handle (>= 0) or -1. Common flag words:
// 0 read; 0x101 and 0x301 create or empty a file for writing; 0x109 write without truncating, starting at
// the end; 0x701 exclusive create. `mode` gives the permission bits of a created file.
// A folder opened for reading lists the names of its entries, merged over every device that holds it.
ENGINE_API int vfs_open(const char* path, unsigned flags, unsigned mode);
// Bytes read, 0 at the end, -1 on error. On a folder each read gives whole NUL-terminated names
// followed by one empty name; a name is never split across reads (a name that can never fit the
// buffer is skipped with a warning).
ENGINE_API long vfs_read(int file, void* buffer, long size);
// Bytes written, -1 on error.
ENGINE_API long vfs_write(int file, const void* buffer, long size);
// `whence` 0 from the start, 1 from the current position, 2 from the end; the new position or -1.
ENGINE_API long vfs_seek(int file, long offset, int whence);
// 0, or -1 for a handle that is not open.
ENGINE_API int vfs_close(int file);

// What vfs_stat tells of an entry.
struct vfs_stat_t {
    unsigned mode;   // vfs_mode_file or vfs_mode_folder, or'ed with the permission bits
    long long size;  // bytes of a file, 0 for a folder
    long long time;  // last modification, seconds since 1970
};
// Type bits of vfs_stat_t::mode (mask 0xF000).
constexpr unsigned vfs_mode_type_mask = 0xF000;
constexpr unsigned vfs_mode_file = 0x8000;
constexpr unsigned vfs_mode_folder = 0x4000;

ENGINE_API int vfs_stat(const char* path, vfs_stat_t* out);
ENGINE_API int vfs_fstat(int file, vfs_stat_t* out);
// Removes a file of a writable device; a file held only by a read-only device gives EROFS.
ENGINE_API int vfs_unlink(const char* path);
// Makes a folder on the writable device (its parent must exist on some device).
ENGINE_API int vfs_mkdir(const char* path, unsigned mode);
// Moves the file `from` of a writable device over `to` on the same device in one step, its contents
// flushed to the disk first: `to` then holds either its old contents or the whole new file. -1 with
// ENOENT when `from` is missing, EROFS when no writable device holds both, EXDEV across devices.
ENGINE_API int vfs_rename(const char* from, const char* to);

// Mounts the host folder `host_path` at `mount_point`. Reads take the entry of the device of highest
// priority that holds it (equal priorities: the later mount). `flags` is 0 (read-only) or
// vfs_device_writable. Mounting the same folder at the same point again only updates priority and flags.
ENGINE_API int vfs_mount_device(const char* mount_point, const char* host_path, int priority, int flags);
// Host folder of the device that holds an open file or folder (the device of highest priority for a
// merged folder); valid while the handle is open. Null for a bad handle.
ENGINE_API const char* vfs_get_device_name(int file);
// Makes the mounted writable device of that host folder the one that takes every write it covers.
// -1 with ENODEV when no device has that folder, EROFS when it is read-only.
ENGINE_API int vfs_set_fallback_device(const char* host_path);
// Host folder of the fallback device, or null when none is set.
ENGINE_API const char* vfs_get_fallback_device();
// Forgets the fallback device: writes go to the writable device of highest priority again.
ENGINE_API void vfs_reset_fallback_device();

// Engine side: `listener` runs each time a writable device becomes the home (the fallback device);
// the console reads the home's "/config.cfg" then.
void vfs_set_home_listener(void (*listener)());

// Engine side: writes `text` as the whole file `path` on the device that takes writes, all at once: it
// goes to a temporary file beside it that is then renamed over the old one, so a crash or a full disk
// leaves the old file whole. False (with a message, the old file untouched) when it cannot.
bool vfs_write_whole(const char* path, const std::string& text);

// Engine side: reads a whole file into `out`; false (with a message) when it cannot.
bool vfs_read_whole(const char* path, std::string& out);

// Host side: mounts host_settings().data_root read-only at "/" and, when set, host_settings().home
// writable over it as the fallback device (created when missing). False when a mount failed.
bool vfs_init_from_host();
