#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/api.h"

// C text helpers the module binds by name. None of them reads or writes past the sizes it is given,
// none depends on the locale, and a null text reads as the empty text.

// Leading blanks, an optional sign, then decimal digits; 0 when there are none. A value up to
// 4294967295 keeps its low 32 bits (so colours written as unsigned decimals read back exactly);
// larger magnitudes give INT32_MAX or INT32_MIN.
ENGINE_API int v_atoi(const char* text);

// Leading blanks, then a decimal number with optional sign, fraction and exponent ("-1.5e3"); 0 when
// there is none. Characters after the number are ignored ("2.5s" reads 2.5).
ENGINE_API float v_atof(const char* text);

// printf into `buffer` of `size` bytes. Always NUL-terminated when size > 0 (truncating); returns the
// length the whole text has, as snprintf does, so a result >= size means it was cut.
ENGINE_API int v_snprintf(char* buffer, size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));

// printf into `buffer` of `size` bytes, truncating and always NUL-terminated when size > 0; returns
// the number of characters actually stored (without the NUL).
ENGINE_API int v_snprintf0(char* buffer, size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));

// Copies at most `count` characters of `source` and a terminating NUL: `dest` must hold count + 1
// bytes. Returns `dest`.
ENGINE_API char* v_strncpy(char* dest, const char* source, size_t count);

// Copies at most `count` characters of `source`, fills the rest of the first `count` bytes with NULs
// and writes a NUL at dest[count]: all count + 1 bytes are defined (fixed-size fields of files).
// Returns the address of the NUL that ends the copied text.
ENGINE_API char* v_stpncpy(char* dest, const char* source, size_t count);

// Stable 32-bit hash of the bytes of a NUL-terminated text (the same on every run and build);
// case-sensitive. Null hashes like the empty text.
ENGINE_API uint32_t v_strhash(const char* text);

// Stable 32-bit hash of `length` bytes (the hash tables' key hash; v_strhash of a text equals
// v_memhash of its characters).
uint32_t v_memhash(const void* bytes, size_t length);
