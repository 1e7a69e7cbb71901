#pragma once
// Shared by the fuzz targets that read files through the virtual file system: a data root of the run's
// own (two runs at once must not overwrite each other's files), mounted writable at "/" and removed
// when the run ends, and the writing of one input into it.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/vfs.h"

// The run's data root, made and mounted on the first call; `name` tells the runs' folders apart.
inline const std::filesystem::path& fuzz_data_root(const char* name)
{
    static const std::filesystem::path root = [name] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (std::string("kavrenta-fuzz-") + name + "-XXXXXX")).string();
        if (!mkdtemp(pattern.data()))
            __builtin_trap();
        static std::filesystem::path made;
        made = pattern;
        std::atexit([] { std::filesystem::remove_all(made); });
        if (vfs_mount_device("/", pattern.c_str(), 10, vfs_device_writable) < 0 ||
            vfs_set_fallback_device(pattern.c_str()) < 0)
            __builtin_trap();
        return std::filesystem::path(pattern);
    }();
    return root;
}

// Writes `size` bytes as the file `relative` of the run's data root (its folders made).
inline void fuzz_write_file(const std::filesystem::path& root, const std::string& relative, const void* data,
                            const size_t size)
{
    const std::filesystem::path path = root / relative;
    std::filesystem::create_directories(path.parent_path());
    FILE* const out = std::fopen(path.c_str(), "wb");
    if (!out)
        __builtin_trap();
    std::fwrite(data, 1, size, out);
    std::fclose(out);
}
