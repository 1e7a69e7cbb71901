// Feeds arbitrary text to the make readers: the bytes before the first NUL are a trailer's
// description.def and a truck accessory's !desc.def, the bytes after it the trailer base's !desc.def.
// Whatever they hold, no slot, wheel or name may pass its bound and nothing may crash.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/log.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "vehicles/body/car_trailor.h"
#include "vehicles/body/car_truck.h"

namespace {

// The temporary data root of this run (two runs at once must not overwrite each other's files), removed
// when the run ends.
char root_folder[4096];

const std::filesystem::path& root()
{
    static const std::filesystem::path path = [] {
        const std::string pattern =
            (std::filesystem::temp_directory_path() / "kavrenta-fuzz-vehicle-make-XXXXXX").string();
        if (pattern.size() >= sizeof root_folder)
            __builtin_trap();
        pattern.copy(root_folder, pattern.size());
        if (!mkdtemp(root_folder))
            __builtin_trap();
        std::atexit([] { std::filesystem::remove_all(root_folder); });
        return std::filesystem::path(root_folder);
    }();
    return path;
}

void write(const std::string& relative, const char* data, size_t size)
{
    const std::filesystem::path file = root() / relative;
    std::filesystem::create_directories(file.parent_path());
    FILE* const out = std::fopen(file.c_str(), "wb");
    if (!out)
        __builtin_trap();
    std::fwrite(data, 1, size, out);
    std::fclose(out);
}

// The mounted root with a base model whose wheel bones have a gap.
bool mount()
{
    const char model[] = "psm 1\nbone root { }\n"
                         "bone wheel0 { parent root matrix 1 0 0 100 0 1 0 -50 0 0 1 300 0 0 0 1 }\n"
                         "bone wheel3 { parent root matrix 1 0 0 -100 0 1 0 -50 0 0 1 450 0 0 0 1 }\n"
                         "bone hook { parent root matrix 1 0 0 0 0 1 0 20 0 0 1 -500 0 0 0 1 }\n"
                         "part feet { positions { 0 0 0 1 0 0 0 1 0 } indices { 0 1 2 } }\n";
    write("makes/trailer/f/acc/base/base.psm", model, sizeof model - 1);
    write("makes/trailer/f/acc/base/a.shd", "", 0);
    write("makes/truck/f/acc/a/base.psm", model, sizeof model - 1);
    return vfs_mount_device("/", root().c_str(), 10, 0) >= 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = bind_engine_for_tests() && mount();
    if (!ready)
        __builtin_trap();
    const char* const text = reinterpret_cast<const char*>(data);
    const void* const nul = std::memchr(data, 0, size);
    const size_t first = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - data) : size;
    write("makes/trailer/f/description.def", text, first);
    write("makes/truck/f/acc/a/!desc.def", text, first);
    const size_t rest = nul ? size - first - 1 : 0;
    write("makes/trailer/f/acc/base/!desc.def", nul ? text + first + 1 : "", rest);
    {
        car_trailor_e trailer;
        trailer.read_description("f", 0);
        if (trailer.next_slot > car_phys_e::model_slot_count || trailer.wheel_count > car_trailor_e::wheel_bone_limit ||
            trailer.model_count > car_phys_e::model_slot_count)
            __builtin_trap();
        car_truck_e truck;
        const char* names[] = {"a", "base", "a"};
        truck.build("f", names, 3);
        if (truck.model_count > car_phys_e::model_slot_count || truck.power > 100.0f || truck.gear_count >= 20)
            __builtin_trap();
    }
    log_clear_capture();
    return 0;
}
