#include "engine/cipher.h"

#include <cstring>

#include "engine/log.h"
#include "engine/vfs.h"

namespace {

constexpr char magic[] = "KAVCIPH1";
constexpr size_t magic_size = sizeof magic - 1;
constexpr size_t header_size = magic_size + 4;
// Hides the stored key from a plain look at the header.
constexpr uint32_t key_mask = 0x6b1d2e97u;

// XORs `bytes` from `start` with the keystream of `key` (xorshift32); applying it twice restores them.
void apply_keystream(std::string& bytes, size_t start, uint32_t key)
{
    uint32_t state = key ^ 0x9e3779b9u;
    if (state == 0)
        state = 0x9e3779b9u;
    for (size_t i = start; i < bytes.size(); ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes[i] = static_cast<char>(static_cast<uint8_t>(bytes[i]) ^ static_cast<uint8_t>(state >> 24));
    }
}

}  // namespace

ENGINE_API uint32_t cipher_key_gen(uint32_t seed)
{
    // A finalising integer hash: nearby seeds give unrelated keys.
    uint32_t key = seed + 0x7f4a7c15u;
    key = (key ^ (key >> 16)) * 0x85ebca6bu;
    key = (key ^ (key >> 13)) * 0xc2b2ae35u;
    return key ^ (key >> 16);
}

bool cipher_is_enciphered(const std::string& bytes) { return bytes.compare(0, magic_size, magic) == 0; }

void cipher_encode(std::string& bytes, uint32_t key)
{
    const uint32_t stored = key ^ key_mask;
    std::string header(magic, magic_size);
    for (int shift = 0; shift < 32; shift += 8)
        header.push_back(static_cast<char>((stored >> shift) & 0xff));
    bytes.insert(0, header);
    apply_keystream(bytes, header_size, key);
}

bool cipher_decode(std::string& bytes)
{
    if (!cipher_is_enciphered(bytes) || bytes.size() < header_size)
        return false;
    uint32_t stored = 0;
    for (int i = 0; i < 4; ++i)
        stored |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[magic_size + static_cast<size_t>(i)])) << (8 * i);
    apply_keystream(bytes, header_size, stored ^ key_mask);
    bytes.erase(0, header_size);
    return true;
}

ENGINE_API bool cipher_file(const char* path, uint32_t key)
{
    std::string bytes;
    if (!path || !vfs_read_whole(path, bytes))
        return false;
    if (cipher_is_enciphered(bytes)) {
        error("cannot encipher %s: it is enciphered already", path);
        return false;
    }
    cipher_encode(bytes, key);
    const int file = vfs_open(path, 0x301, 0666);
    if (file < 0) {
        error("cannot open %s [%s]", path, v_strerror(*v_errno_addr()));
        return false;
    }
    const long written = vfs_write(file, bytes.data(), static_cast<long>(bytes.size()));
    const bool closed = vfs_close(file) == 0;
    if (written != static_cast<long>(bytes.size()) || !closed) {
        error("cannot write %s [%s]", path, v_strerror(*v_errno_addr()));
        return false;
    }
    return true;
}
