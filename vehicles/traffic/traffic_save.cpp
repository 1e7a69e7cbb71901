// The traffic's section of a save game: only its magic. After a load the traffic starts empty and
// spawns anew.
#include <cstring>

#include "common/engine_api.h"
#include "vehicles/traffic/traffic.h"

namespace {

// The magic that makes up the section, with its terminating zero byte.
constexpr char section_magic[] = "tr4ff1ch34d3r";
constexpr long section_size = sizeof section_magic;
static_assert(section_size == 14);

}  // namespace

int32_t traffic_e::save(const int file)
{
    return api::vfs_write(file, section_magic, section_size) == section_size ? static_cast<int32_t>(section_size) : -1;
}

int32_t traffic_e::check(const int file, const int32_t version) { return check_section(file, version); }

int32_t traffic_e::check_section(const int file, int32_t)
{
    char read[section_size];
    if (api::vfs_read(file, read, section_size) != section_size || std::memcmp(read, section_magic, section_size) != 0)
        return -1;
    return static_cast<int32_t>(section_size);
}

int32_t traffic_e::load(const int file, const int32_t version) { return check(file, version); }
