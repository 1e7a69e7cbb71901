#include "frame/save_game.h"

#include <string>

#include "engine/check.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "common/save_timestamp.h"
#include "common/vfs_le.h"

namespace {

// Flags of vfs_open: read; create or empty for writing.
constexpr unsigned open_read = 0;
constexpr unsigned open_write = vfs_create | vfs_truncate | vfs_write_only;
// Permission bits of a created save game.
constexpr unsigned file_mode = 0666;

// Smallest possible save game: the version and the trailer.
constexpr long long smallest_size = 4 + save_timestamp_size;

// Closes a file handle when it goes out of scope.
class open_file_t {
public:
    explicit open_file_t(const int handle) : handle_(handle) {}
    ~open_file_t()
    {
        if (handle_ >= 0)
            api::vfs_close(handle_);
    }
    open_file_t(const open_file_t&) = delete;
    open_file_t& operator=(const open_file_t&) = delete;
    int handle() const { return handle_; }
    bool is_open() const { return handle_ >= 0; }
    // Closes now; false when the close failed (the last writes may be lost).
    bool close()
    {
        const int result = api::vfs_close(handle_);
        handle_ = -1;
        return result == 0;
    }

private:
    int handle_;
};

bool version_is_read(const int32_t version)
{
    return version >= save_game_oldest_version && version <= save_game_version;
}

// True when every section and the trailer have an owner; otherwise reports the first one missing.
bool owners_complete(const save_game_owners_t& owners, const char* path)
{
    for (int section = 0; section < save_section_count; ++section) {
        if (!owners.sections[section]) {
            api::error("[save_game] %s: the world has no %s to save or load", path, save_section_name(section));
            return false;
        }
    }
    if (!owners.timestamp) {
        api::error("[save_game] %s: the world has no owner of the time stamp", path);
        return false;
    }
    return true;
}

void report_corrupted(const char* path) { api::error("savegame %s is corrupted !", path); }

// True when the file's size leaves room for the version and the trailer and its last 24 bytes begin
// with the trailer's magic. Leaves the position after the version.
bool trailer_in_place(const int file)
{
    vfs_stat_t stat{};
    if (api::vfs_fstat(file, &stat) != 0 || stat.size < smallest_size)
        return false;
    const bool found = api::vfs_seek(file, -save_timestamp_size, 2) >= 0 &&
                       save_timestamp_read_values(file, nullptr, nullptr) == save_timestamp_size;
    return api::vfs_seek(file, 4, 0) == 4 && found;
}

// True when every section, checked by `check_section`(section, file, version) without being applied,
// is recognised and the sections with the version and the trailer make up the whole file; otherwise
// reports the first section refused.
template <typename check_t>
bool sections_fill_the_file(const check_t& check_section, const int file, const int32_t version, const char* path)
{
    long long total = 4;
    for (int section = 0; section < save_section_count; ++section) {
        const int32_t size = check_section(section, file, version);
        if (size < 0) {
            api::error("[save_game] %s: the %s section is not recognised", path, save_section_name(section));
            return false;
        }
        total += size;
    }
    // The trailer was found at the end: the sections must end where it begins.
    vfs_stat_t stat{};
    return api::vfs_fstat(file, &stat) == 0 && total + save_timestamp_size == stat.size;
}

// Checks the open file whole with `check_section` (see sections_fill_the_file), reporting what it
// refuses; stores the version and leaves the position after it.
template <typename check_t>
save_game_check_t check_open_file(const check_t& check_section, const int file, const char* path, int32_t& version)
{
    if (!vfs_read_i32(file, &version)) {
        report_corrupted(path);
        return save_game_damaged;
    }
    if (!version_is_read(version)) {
        api::error("incorrect version of save file !");
        return save_game_wrong_version;
    }
    if (!trailer_in_place(file) || !sections_fill_the_file(check_section, file, version, path)) {
        report_corrupted(path);
        return save_game_damaged;
    }
    api::vfs_seek(file, 4, 0);
    return save_game_loadable;
}

// The current position of an open file, or -1.
long position_of(const int file) { return api::vfs_seek(file, 0, 1); }

// Writes the version, the sections and the trailer; false at the first part that fails.
bool write_parts(const save_game_owners_t& owners, const int file, const char* path)
{
    if (!vfs_write_i32(file, save_game_version))
        return false;
    long long total = 4;
    for (int section = 0; section < save_section_count; ++section) {
        const int32_t written = owners.sections[section]->save(file);
        if (written < 0) {
            api::error("[save_game] %s: the %s section could not be written", path, save_section_name(section));
            return false;
        }
        total += written;
    }
    if (owners.timestamp->save_timestamp_write(file) != save_timestamp_size)
        return false;
    total += save_timestamp_size;
    // A write that fell short shows as a position that differs from what the owners reported.
    return position_of(file) == total;
}

}  // namespace

const char* save_section_name(const int section)
{
    static const char* const names[save_section_count] = {"environment", "game controller", "traffic", "economy"};
    return section >= 0 && section < save_section_count ? names[section] : "unknown section";
}

bool save_game_write(const save_game_owners_t& owners, const char* path)
{
    if (!owners_complete(owners, path))
        return false;
    // The game is written beside the old save and moved over it only once it is whole, so a failed or
    // interrupted write leaves the old save as it was.
    const std::string temporary = std::string(path) + save_game_temporary_suffix;
    open_file_t file(api::vfs_open(temporary.c_str(), open_write, file_mode));
    if (!file.is_open()) {
        api::error("[save_game] cannot create %s", temporary.c_str());
        return false;
    }
    const bool written = write_parts(owners, file.handle(), path);
    if (file.close() && written && api::vfs_rename(temporary.c_str(), path) == 0)
        return true;
    api::error("[save_game] failed to write %s; the old save is kept", path);
    api::vfs_unlink(temporary.c_str());
    return false;
}

bool save_game_read(const save_game_owners_t& owners, const char* path)
{
    if (!owners_complete(owners, path))
        return false;
    open_file_t file(api::vfs_open(path, open_read, file_mode));
    if (!file.is_open()) {
        api::error("[save_game] cannot open %s", path);
        return false;
    }
    const auto owner_check = [&owners](const int section, const int at, const int32_t version) {
        return owners.sections[section]->check(at, version);
    };
    int32_t version = 0;
    if (check_open_file(owner_check, file.handle(), path, version) != save_game_loadable)
        return false;
    // Every section was checked: now the owners take them.
    for (int section = 0; section < save_section_count; ++section) {
        if (owners.sections[section]->load(file.handle(), version) < 0) {
            api::error("[save_game] %s: the %s section is not recognised", path, save_section_name(section));
            report_corrupted(path);
            return false;
        }
    }
    return owners.timestamp->save_timestamp_read(file.handle()) == save_timestamp_size;
}

save_game_check_t save_game_check(const save_game_checks_t& checks, const char* path)
{
    for (const save_section_check_t check : checks.sections)
        kv_assert(check);
    open_file_t file(api::vfs_open(path, open_read, file_mode));
    if (!file.is_open()) {
        api::error("[save_game] cannot open %s", path);
        return save_game_unreadable;
    }
    const auto table_check = [&checks](const int section, const int at, const int32_t version) {
        return checks.sections[section](at, version);
    };
    int32_t version = 0;
    return check_open_file(table_check, file.handle(), path, version);
}

bool save_game_check_version(const char* path)
{
    open_file_t file(api::vfs_open(path, open_read, file_mode));
    if (!file.is_open())
        return false;
    int32_t version = 0;
    if (vfs_read_i32(file.handle(), &version) && version_is_read(version))
        return true;
    api::error("incorrect version of save file !");
    return false;
}
