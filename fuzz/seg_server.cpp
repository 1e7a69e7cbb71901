// Feeds arbitrary text to the segment server as its road_segs.def: a load that is accepted must hold
// transition and blend entries that name shaders of their own groups, and nothing may crash, overrun
// or keep a reference after unload.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/cache.h"
#include "engine/log.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "road/seg_server.h"

namespace {

// The temporary data root of this run, removed when the run ends.
std::filesystem::path run_root;

// A data root of this run's own (two runs at once must not overwrite each other's file), mounted once
// at "/"; answers the path road_segs.def is written to.
std::filesystem::path mount_root()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kavrenta-fuzz-seg-server-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        __builtin_trap();
    run_root = pattern;
    std::atexit([] { std::filesystem::remove_all(run_root); });
    const std::filesystem::path root = run_root;
    std::filesystem::create_directories(root / "defs/seg_server");
    if (vfs_mount_device("/", root.c_str(), 10, 0) < 0)
        __builtin_trap();
    return root / "defs/seg_server/road_segs.def";
}

// Traps unless every table entry of a loaded server names a shader of its group.
void check_tables(const seg_server_t& server)
{
    const int32_t terrains = server.terrain_shader_count;
    for (int32_t i = 0; i < server.road_shader_count * terrains; ++i)
        if (server.trans_table[i] < -1 || server.trans_table[i] >= server.trans_shader_count)
            __builtin_trap();
    for (int32_t i = 0; i < terrains * terrains * seg_blend_steps; ++i)
        if (server.blend_table[i] < -1 || server.blend_table[i] >= server.blend_shader_count)
            __builtin_trap();
    const int32_t table = terrains + server.trans_shader_count + server.blend_shader_count;
    for (int32_t a = 0; a < terrains; ++a)
        for (int32_t step = 0; step <= seg_blend_steps + 1; ++step)
            if (server.terrain_blend_shader(a, terrains - 1, step) >= table)
                __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool bound = bind_engine_for_tests();
    static const std::filesystem::path file = mount_root();
    if (!bound)
        __builtin_trap();
    FILE* const out = std::fopen(file.c_str(), "wb");
    if (!out)
        __builtin_trap();
    std::fwrite(data, 1, size, out);
    std::fclose(out);
    {
        seg_server_t server;
        if (server.load() > 0)
            check_tables(server);
    }
    if (!cache_leak_report().empty())
        __builtin_trap();
    log_clear_capture();
    return 0;
}
