// Feeds arbitrary bytes to the picture reader: a picture that decodes has sides within the limit and
// exactly four bytes a pixel, and the reader may neither crash nor overrun.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/log.h"
#include "engine/picture_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    picture_t picture;
    if (picture_decode(bytes, "fuzz.png", picture)) {
        const bool sized = picture.width >= 1 && picture.width <= picture_side_limit && picture.height >= 1 &&
                           picture.height <= picture_side_limit;
        if (!sized || picture.rgba.size() != static_cast<size_t>(picture.width) * picture.height * 4)
            __builtin_trap();
    }
    log_clear_capture();
    return 0;
}
