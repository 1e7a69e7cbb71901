#pragma once
#include <cstdint>

// A fog record of the world (nine words, zeroed when made; their meaning is the fog entity's).
struct fog_record_t {
    uint32_t words[9];
};
static_assert(sizeof(fog_record_t) == 36, "the fog record is nine words");
