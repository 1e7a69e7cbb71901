#include "game/menu_files.h"

#include <cstring>

#include "engine/vfs.h"
#include "common/engine_api.h"

namespace {

// A folder is read in blocks of names, each ended by a NUL, the block by an empty name.
constexpr long folder_block = 2047;

}  // namespace

std::vector<std::string> folder_files(const char* folder, const size_t max_path)
{
    std::vector<std::string> files;
    const int handle = api::vfs_open(folder, 0, 0x1b6);
    if (handle < 0)
        return files;
    char block[folder_block + 1];
    for (;;) {
        const long got = api::vfs_read(handle, block, folder_block);
        if (got <= 0)
            break;
        block[got] = '\0';
        for (const char* name = block; name < block + got && *name; name += std::strlen(name) + 1) {
            const std::string path = std::string(folder) + "/" + name;
            vfs_stat_t stat{};
            if (path.size() > max_path || api::vfs_stat(path.c_str(), &stat) != 0 ||
                (stat.mode & vfs_mode_type_mask) != vfs_mode_file)
                continue;
            files.emplace_back(name);
        }
    }
    api::vfs_close(handle);
    return files;
}
