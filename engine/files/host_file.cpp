#include "engine/host_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "engine/log.h"
#include "engine/mem.h"

namespace {

// Sets the engine's error number and answers -1.
int fail(int error_number)
{
    *v_errno_addr() = error_number;
    return -1;
}

}  // namespace

ENGINE_API char* v_readfile(const char* host_path, long* out_size)
{
    if (out_size)
        *out_size = 0;
    if (!host_path) {
        fail(EINVAL);
        return nullptr;
    }
    const int file = open(host_path, O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        fail(errno);
        return nullptr;
    }
    struct stat info {};
    if (fstat(file, &info) != 0 || !S_ISREG(info.st_mode)) {
        fail(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        close(file);
        return nullptr;
    }
    const size_t size = static_cast<size_t>(info.st_size);
    char* buffer = static_cast<char*>(mem_sys_alloc(size + 1));
    if (!buffer) {
        close(file);
        fail(ENOMEM);
        return nullptr;
    }
    size_t total = 0;
    while (total < size) {
        const ssize_t got = read(file, buffer + total, size - total);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            fail(errno);
            close(file);
            mem_sys_free(buffer);
            return nullptr;
        }
        if (got == 0)
            break;
        total += static_cast<size_t>(got);
    }
    close(file);
    buffer[total] = '\0';
    if (out_size)
        *out_size = static_cast<long>(total);
    return buffer;
}

ENGINE_API int v_mkdir(const char* host_path)
{
    if (!host_path || !*host_path)
        return fail(EINVAL);
    const std::string path(host_path);
    // Each prefix ending before a "/", then the whole path.
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = slash == std::string::npos ? path : path.substr(0, slash);
        if (!prefix.empty() && mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST)
            return fail(errno);
        if (slash == std::string::npos)
            break;
    }
    struct stat info;
    if (stat(host_path, &info) != 0)
        return fail(errno);
    return S_ISDIR(info.st_mode) ? 0 : fail(ENOTDIR);
}
