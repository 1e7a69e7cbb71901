#pragma once
#include <cstdint>

#include "common/decal_store.h"

// What a caller of the world's decal placement asks of a decal: its two sizes (params words 1 and 2)
// and five further words (3 to 7): the depth scale, the rotation in degrees, the angle limit, the flags
// and the index.
struct decal_request_t {
    float sizes[2];
    decal_word_t words[5];
    // The colour of the decal's points, 0xAARRGGBB: opaque white unless the caller fades it.
    uint32_t colour = 0xFFFFFFFFu;
};
