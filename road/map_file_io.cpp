#include <algorithm>
#include <limits>
#include <memory>
#include <string>

#include "common/engine_api.h"
#include "road/map_file.h"

namespace {

// Flags and permission of a map file opened for writing (write, create, truncate; rw for everyone).
constexpr unsigned write_flags = 0x301;
constexpr unsigned write_mode = 0x1B6;
// Bytes copied at a time into a backup.
constexpr long copy_chunk = 65536;

// A buffer from the engine's allocator.
struct engine_free_t {
    void operator()(void* block) const { api::mem_sys_free(block); }
};
using engine_buffer_t = std::unique_ptr<uint8_t, engine_free_t>;

// An open file of the virtual file system, closed at the end of its scope.
class vfs_file_t {
public:
    vfs_file_t(const char* path, const unsigned flags, const unsigned mode) : handle_(api::vfs_open(path, flags, mode))
    {}
    ~vfs_file_t()
    {
        if (handle_ >= 0)
            api::vfs_close(handle_);
    }
    vfs_file_t(const vfs_file_t&) = delete;
    vfs_file_t& operator=(const vfs_file_t&) = delete;
    bool is_open() const { return handle_ >= 0; }
    int handle() const { return handle_; }

private:
    int handle_;
};

// Writes all `size` bytes; false when the file takes fewer.
bool write_all(const int file, const uint8_t* bytes, const size_t size)
{
    size_t done = 0;
    while (done < size) {
        const long chunk = static_cast<long>(std::min<size_t>(size - done, static_cast<size_t>(copy_chunk)));
        const long written = api::vfs_write(file, bytes + done, chunk);
        if (written <= 0)
            return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

// Copies the file at `path` to "PATH.bak" when it exists; a backup that cannot be made is reported and
// the save goes on.
void make_backup(const char* path)
{
    vfs_file_t source(path, 0, 0);
    if (!source.is_open())
        return;
    const std::string backup_path = std::string(path) + ".bak";
    vfs_file_t backup(backup_path.c_str(), write_flags, write_mode);
    if (!backup.is_open()) {
        api::warning("Cannot make the backup %s of the map", backup_path.c_str());
        return;
    }
    uint8_t chunk[4096];
    for (;;) {
        const long got = api::vfs_read(source.handle(), chunk, sizeof chunk);
        if (got == 0)
            return;
        if (got < 0 || !write_all(backup.handle(), chunk, static_cast<size_t>(got))) {
            api::warning("Cannot make the backup %s of the map", backup_path.c_str());
            return;
        }
    }
}

}  // namespace

int32_t map_file_load(road_network_t& network, const char* path, const vec3_t* offset)
{
    vfs_file_t file(path, 0, 0);
    vfs_stat_t stat{};
    if (!file.is_open() || api::vfs_fstat(file.handle(), &stat) != 0 ||
        (stat.mode & vfs_mode_type_mask) != vfs_mode_file) {
        api::error("Cannot open %s map file", path);
        return -1;
    }
    if (stat.size < 0 || stat.size > std::numeric_limits<int32_t>::max()) {
        api::error("Map file %s is too large", path);
        return -1;
    }
    const auto size = static_cast<size_t>(stat.size);
    engine_buffer_t bytes(static_cast<uint8_t*>(api::mem_sys_alloc(size > 0 ? size : 1)));
    if (!bytes) {
        api::error("Not enough memory to read map %s", path);
        return -1;
    }
    size_t have = 0;
    while (have < size) {
        const long got = api::vfs_read(file.handle(), bytes.get() + have, static_cast<long>(size - have));
        if (got < 0) {
            api::error("Cannot read %s map file", path);
            return -1;
        }
        if (got == 0)
            break;
        have += static_cast<size_t>(got);
    }
    int64_t allocated = 0;
    const int32_t read = map_file_read(network, bytes.get(), have, offset, path, &allocated);
    if (read >= 0)
        api::message("Map %s successfuly loaded (%.2f kB)....", path, static_cast<double>(allocated) * 0.0009765625);
    return read;
}

int32_t map_file_save(const road_network_t& network, const char* path)
{
    const size_t size = map_file_size(network);
    if (size > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        api::error("Map %s is too large to save", path);
        return -1;
    }
    engine_buffer_t bytes(static_cast<uint8_t*>(api::mem_sys_alloc(size)));
    if (!bytes) {
        api::error("Not enough memory to save map %s", path);
        return -1;
    }
    map_file_write(network, bytes.get());
    make_backup(path);
    vfs_file_t file(path, write_flags, write_mode);
    if (!file.is_open())
        return -1;
    if (!write_all(file.handle(), bytes.get(), size)) {
        api::error("Cannot write %s map file", path);
        return -1;
    }
    api::message("Map successfuly saved ....");
    return static_cast<int32_t>(size);
}
