#include "common/save_timestamp.h"

#include <cstring>

#include "common/engine_api.h"
#include "common/vfs_le.h"

const char save_timestamp_magic[save_timestamp_magic_size] = "t1m3st4mph34d3r";

int32_t save_timestamp_write_values(const int file, const int32_t value, const float game_clock)
{
    if (api::vfs_write(file, save_timestamp_magic, save_timestamp_magic_size) != save_timestamp_magic_size ||
        !vfs_write_i32(file, value) || !vfs_write_f32(file, game_clock))
        return -1;
    return save_timestamp_size;
}

int32_t save_timestamp_read_values(const int file, int32_t* out_value, float* out_game_clock)
{
    char magic[save_timestamp_magic_size];
    if (api::vfs_read(file, magic, save_timestamp_magic_size) != save_timestamp_magic_size ||
        std::memcmp(magic, save_timestamp_magic, save_timestamp_magic_size) != 0)
        return -1;
    int32_t value = 0;
    float game_clock = 0.0f;
    if (!vfs_read_i32(file, &value) || !vfs_read_f32(file, &game_clock))
        return -1;
    if (out_value)
        *out_value = value;
    if (out_game_clock)
        *out_game_clock = game_clock;
    return save_timestamp_size;
}
