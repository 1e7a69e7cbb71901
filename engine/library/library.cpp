#include "engine/library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "engine/log.h"
#include "engine/reset.h"

struct dll_t {
    std::string name;
    void* handle;
};

namespace {

std::vector<std::unique_ptr<dll_t>> libraries;

std::string folder_of(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// The folders searched, in order: the running program's, then the engine library's.
std::vector<std::string> search_folders()
{
    std::vector<std::string> folders;
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length > 0) {
        path[length] = '\0';
        folders.push_back(folder_of(path));
    }
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&dll_register), &info) && info.dli_fname) {
        const std::string engine_folder = folder_of(info.dli_fname);
        if (folders.empty() || folders.front() != engine_folder)
            folders.push_back(engine_folder);
    }
    return folders;
}

// "lib<name>.so" for "lib/<name>"; empty for any other form of name.
std::string file_name_of(const std::string& name)
{
    const std::string prefix = "lib/";
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
        return {};
    const std::string base = name.substr(prefix.size());
    for (const char c : base)
        if (!(isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-'))
            return {};
    return "lib" + base + ".so";
}

// Forgets the registrations but leaves the libraries loaded: the module may still hold functions it
// bound from them, and loading the same file again answers the same library.
void libraries_reset() { libraries.clear(); }

}  // namespace

ENGINE_API dll_t* dll_register(const char* name)
{
    if (!name) {
        error("dll_register: no library name");
        return nullptr;
    }
    for (const auto& library : libraries)
        if (library->name == name)
            return library.get();
    const std::string file = file_name_of(name);
    if (file.empty()) {
        error("dll_register: \"%s\" is no library name of the form lib/<name>", name);
        return nullptr;
    }
    std::string searched;
    for (const std::string& folder : search_folders()) {
        const std::string path = folder + "/" + file;
        if (access(path.c_str(), F_OK) != 0) {
            searched += (searched.empty() ? "" : ", ") + folder;
            continue;
        }
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            error("dll_register: cannot load %s: %s", path.c_str(), dlerror());
            return nullptr;
        }
        libraries.push_back(std::make_unique<dll_t>(dll_t{name, handle}));
        return libraries.back().get();
    }
    error("dll_register: cannot find %s for %s (searched %s)", file.c_str(), name, searched.c_str());
    return nullptr;
}

ENGINE_API HMODULE dll_handle(dll_t* library)
{
    for (const auto& registered : libraries)
        if (registered.get() == library)
            return registered->handle;
    return nullptr;
}

static engine_reset_registrar_t library_reset_registrar(reset_order_devices, libraries_reset);
