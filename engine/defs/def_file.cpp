// Definition pools to and from files of the virtual file system.
#include <string>

#include "engine/cipher.h"
#include "engine/def_pool.h"
#include "engine/log.h"
#include "engine/vfs.h"

std::unique_ptr<def_pool_t> def_pool_t::load(const char* path)
{
    std::string bytes;
    if (!path || !vfs_read_whole(path, bytes))
        return nullptr;
    if (cipher_is_enciphered(bytes) && !cipher_decode(bytes)) {
        error("%s: enciphered header cut short", path);
        return nullptr;
    }
    return parse(bytes, path);
}

bool def_pool_t::write_to(int file) const
{
    const std::string text = to_text();
    const long written = vfs_write(file, text.data(), static_cast<long>(text.size()));
    if (written != static_cast<long>(text.size())) {
        error("cannot write %s [%s]", name_.empty() ? "definitions" : name_.c_str(), v_strerror(*v_errno_addr()));
        return false;
    }
    return true;
}
