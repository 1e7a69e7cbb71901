#include "common/save_game_calls.h"

#include "common/engine_api.h"
#include "common/save_timestamp.h"

namespace {

// The frame's container calls; installed when the module is loaded, kept for its life.
save_games_t* installed = nullptr;

// Flags and permission bits of vfs_open for reading.
constexpr unsigned open_read = 0;
constexpr unsigned file_mode = 0666;
// vfs_seek from the end of the file.
constexpr int seek_from_end = 2;

}  // namespace

void save_games_install(save_games_t* calls) { installed = calls; }

bool save_game_write_current(const char* path)
{
    if (!installed) {
        api::error("[save_game] no world to save to %s", path);
        return false;
    }
    return installed->write_current(path);
}

save_game_check_t save_game_check_file(const char* path)
{
    return installed ? installed->check_file(path) : save_game_unreadable;
}

bool save_game_read_timestamp(const char* path, int32_t* out_value, float* out_game_clock)
{
    const int file = api::vfs_open(path, open_read, file_mode);
    if (file < 0) {
        api::warning("[save_game] cannot open %s", path);
        return false;
    }
    const bool read = api::vfs_seek(file, -save_timestamp_size, seek_from_end) >= 0 &&
                      save_timestamp_read_values(file, out_value, out_game_clock) == save_timestamp_size;
    api::vfs_close(file);
    return read;
}
