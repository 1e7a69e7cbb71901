#include "behaviour/psb_file_text.h"

#include "common/engine_api.h"

bool psb_read_file_text(const char* name, std::string& out_text)
{
    const int file = api::vfs_open(name, 0, 0666);
    if (file < 0)
        return false;
    vfs_stat_t status{};
    // Description files are small; a size beyond this is no description file.
    constexpr long long largest_file = 1 << 28;
    bool read = api::vfs_fstat(file, &status) == 0 && status.size >= 0 && status.size <= largest_file;
    if (read) {
        out_text.resize(static_cast<size_t>(status.size));
        read = out_text.empty() || api::vfs_read(file, out_text.data(), static_cast<long>(out_text.size())) ==
                                       static_cast<long>(status.size);
    }
    api::vfs_close(file);
    return read;
}
