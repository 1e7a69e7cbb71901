#include "vfs_folder.h"

#include <dirent.h>
#include <strings.h>

#include <algorithm>
#include <cstring>

#include "engine/log.h"

std::vector<std::string> vfs_folder_names(const std::vector<vfs_entry_t>& folders)
{
    std::vector<std::string> names;
    for (const vfs_entry_t& folder : folders) {
        if (!folder.folder)
            continue;
        DIR* listing = opendir(folder.host_path.c_str());
        if (!listing)
            continue;
        while (const dirent* entry = readdir(listing)) {
            const char* name = entry->d_name;
            if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
                continue;
            const bool known = std::any_of(names.begin(), names.end(),
                                           [name](const std::string& n) { return strcasecmp(n.c_str(), name) == 0; });
            if (!known)
                names.emplace_back(name);
        }
        closedir(listing);
    }
    std::sort(names.begin(), names.end());
    return names;
}

long vfs_folder_read(const std::vector<std::string>& names, size_t& next, char* buffer, long size)
{
    long used = 0;
    while (next < names.size()) {
        const std::string& name = names[next];
        // The name, its NUL and the closing empty name must fit.
        const long needed = static_cast<long>(name.size()) + 2;
        if (used + needed > size) {
            if (used > 0)
                break;
            warning("vfs: the name \"%s\" does not fit a folder read of %ld bytes; skipped", name.c_str(), size);
            ++next;
            continue;
        }
        memcpy(buffer + used, name.c_str(), name.size() + 1);
        used += needed - 1;
        ++next;
    }
    if (used == 0)
        return 0;
    buffer[used] = '\0';
    return used + 1;
}
