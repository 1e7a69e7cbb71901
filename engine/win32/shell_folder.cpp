#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/host.h"
#include "engine/log.h"
#include "engine/win32.h"

namespace {

// The user's documents folder: the host's --home when given (so a headless run keeps everything it
// writes there), else $XDG_DOCUMENTS_DIR or $HOME/Documents; empty when none gives one.
std::string documents_folder()
{
    if (!host_settings().documents.empty())
        return host_settings().documents;
    const char* documents = getenv("XDG_DOCUMENTS_DIR");
    if (documents && *documents)
        return documents;
    const char* home = getenv("HOME");
    if (home && *home)
        return std::string(home) + "/Documents";
    return {};
}

}  // namespace

ENGINE_API BOOL SHGetSpecialFolderPathA(HWND, char* path, int folder, BOOL create)
{
    if (!path)
        return 0;
    if ((folder & 0xff) != CSIDL_PERSONAL) {
        warning("SHGetSpecialFolderPathA: folder %d is not known here", folder);
        return 0;
    }
    const std::string documents = documents_folder();
    if (documents.empty()) {
        warning("SHGetSpecialFolderPathA: neither XDG_DOCUMENTS_DIR nor HOME names a documents folder");
        return 0;
    }
    if (documents.size() + 1 > static_cast<size_t>(MAX_PATH)) {
        warning("SHGetSpecialFolderPathA: the documents folder's path is longer than %d bytes", MAX_PATH - 1);
        return 0;
    }
    std::error_code problem;
    if (!std::filesystem::is_directory(documents, problem)) {
        if (!create && !(folder & CSIDL_FLAG_CREATE))
            return 0;
        std::filesystem::create_directories(documents, problem);
        if (problem) {
            warning("SHGetSpecialFolderPathA: cannot create %s: %s", documents.c_str(), problem.message().c_str());
            return 0;
        }
    }
    memcpy(path, documents.c_str(), documents.size() + 1);
    return 1;
}
