#pragma once
#include <cstddef>
#include <string>

#include "engine/evalue.h"

// Reading and writing one value of a descriptor's type as text. The member editors build on it.

// True when the descriptor's element size suits its type (a wrong size is a programming error
// that would write outside the member).
bool evalue_size_fits(const evalue_def_t* def, std::string* why);
// Reads `text` into the value at `element`; on failure leaves it untouched and says why.
bool evalue_parse(const evalue_def_t* def, const char* text, void* element, std::string* why);
// Writes the value at `element` as text; false when `out` is too small.
bool evalue_format(const evalue_def_t* def, const void* element, char* out, size_t size);
// Gives the value at `element` the descriptor's default (zero or empty without one).
void evalue_default(const evalue_def_t* def, void* element);
// Copies one value (owned text is copied, not shared).
void evalue_copy_value(const evalue_def_t* def, void* target, const void* source);
// Releases what one value owns.
void evalue_release_value(const evalue_def_t* def, void* element);
