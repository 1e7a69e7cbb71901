// Builds windows from arbitrary UI scripts: each must be refused with a message or built, drawn and
// removed, never crash or leak.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "engine/host.h"
#include "engine/log.h"
#include "engine/pml.h"
#include "engine/ui.h"
#include "engine/vfs.h"

namespace {

std::string script_path;  // host path of "/ui/fuzz.esc"

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char pattern[] = "/tmp/kavrenta-fuzz-ui-XXXXXX";
    const char* root = mkdtemp(pattern);
    if (!root)
        return 1;
    const std::string ui_folder = std::string(root) + "/ui";
    mkdir(ui_folder.c_str(), 0700);
    script_path = ui_folder + "/fuzz.esc";
    host_settings().data_root = root;
    host_settings().home.clear();
    vfs_init_from_host();
    pml_init();
    ui_init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::ofstream(script_path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    c_item_t* window = ui_winsert("fuzz", "window", 0, "/ui/fuzz.esc", true);
    if (window) {
        ui_process();
        ui_wremove(window);
    }
    ui_process();
    log_clear_capture();
    return 0;
}
