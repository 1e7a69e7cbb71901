#pragma once
#include "common/decal_store.h"

// What a caller of world_process_t::place_decal asks of a decal: its two sizes (params words 1 and
// 2) and five further words (3 to 7).
struct decal_request_t {
    float sizes[2];
    decal_word_t words[5];
};
