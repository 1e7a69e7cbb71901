#pragma once
#include <cstdint>
#include <string>

#include "engine/api.h"

// A simple reversible encipherment of whole files (high-score tables and the like): a magic header,
// the key, then the bytes XORed with a keystream drawn from the key. It hides a file's text from a
// casual reader; it is not a protection against anyone determined. See docs/formats.md.

// Derives a key from a 32-bit seed.
ENGINE_API uint32_t cipher_key_gen(uint32_t seed);
// Enciphers a file of the virtual file system in place; false (logged) when it cannot be read or
// written or is already enciphered.
ENGINE_API bool cipher_file(const char* path, uint32_t key);

// True when `bytes` begins with the enciphered-file magic.
bool cipher_is_enciphered(const std::string& bytes);
// Turns enciphered `bytes` back into the original in place; false when the header is cut short.
bool cipher_decode(std::string& bytes);
// Enciphers `bytes` in place with `key`, header included.
void cipher_encode(std::string& bytes, uint32_t key);
