#include <filesystem>
#include <string>
#include <system_error>

#include "engine/host.h"
#include "sound_state.h"

// Looks a sound up as the file system mounts it: the writable home over the data root. A path
// without a leading "/" is taken from the root; ".." never leaves it.
bool sound_file_size(const char* path, long long& size)
{
    if (!path || !*path)
        return false;
    const std::string relative = path[0] == '/' ? path + 1 : path;
    if (relative.find("..") != std::string::npos)
        return false;
    const host_settings_t& settings = host_settings();
    for (const std::string& base : {settings.home, settings.data_root}) {
        if (base.empty())
            continue;
        std::error_code failed;
        const std::filesystem::path file = std::filesystem::path(base) / relative;
        if (std::filesystem::is_regular_file(file, failed)) {
            const auto bytes = std::filesystem::file_size(file, failed);
            if (failed)
                return false;
            size = static_cast<long long>(bytes);
            return true;
        }
    }
    return false;
}
