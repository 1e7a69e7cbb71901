#include "engine/vfs.h"
#include "sound_state.h"

bool sound_file_size(const char* path, long long& size)
{
    vfs_stat_t status{};
    if (!path || vfs_stat(path, &status) != 0 || (status.mode & vfs_mode_type_mask) != vfs_mode_file)
        return false;
    size = status.size;
    return true;
}
