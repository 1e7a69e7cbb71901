#include "common/vfs_le.h"

#include <cstring>

#include "common/engine_api.h"

namespace {

bool write_u32(const int file, const uint32_t value)
{
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return api::vfs_write(file, bytes, 4) == 4;
}

bool read_u32(const int file, uint32_t* out)
{
    uint8_t bytes[4];
    if (api::vfs_read(file, bytes, 4) != 4)
        return false;
    *out = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return true;
}

}  // namespace

bool vfs_write_i32(const int file, const int32_t value) { return write_u32(file, static_cast<uint32_t>(value)); }

bool vfs_write_f32(const int file, const float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return write_u32(file, bits);
}

bool vfs_read_i32(const int file, int32_t* out)
{
    uint32_t bits;
    if (!read_u32(file, &bits))
        return false;
    *out = static_cast<int32_t>(bits);
    return true;
}

bool vfs_read_f32(const int file, float* out)
{
    uint32_t bits;
    if (!read_u32(file, &bits))
        return false;
    std::memcpy(out, &bits, 4);
    return true;
}
