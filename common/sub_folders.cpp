#include "common/sub_folders.h"

#include <cstring>

#include "engine/vfs.h"
#include "common/engine_api.h"

std::vector<std::string> vfs_sub_folders(const std::string& folder)
{
    std::vector<std::string> names;
    const int handle = api::vfs_open(folder.c_str(), 0, 0x1b6);
    if (handle < 0)
        return names;
    char block[256];
    for (;;) {
        const long got = api::vfs_read(handle, block, sizeof block - 1);
        if (got <= 0)
            break;
        block[got] = '\0';
        for (const char* name = block; name < block + got && *name; name += std::strlen(name) + 1) {
            vfs_stat_t stat{};
            const std::string path = folder + "/" + name;
            if (name[0] != '.' && api::vfs_stat(path.c_str(), &stat) == 0 &&
                (stat.mode & vfs_mode_type_mask) == vfs_mode_folder)
                names.emplace_back(name);
        }
    }
    api::vfs_close(handle);
    return names;
}
