// Feeds arbitrary text to the markup's font reader as a font file: a font that loads must have every
// character's advance a number from 0 to 1024, and one that is refused falls back to the default font.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/log.h"
#include "engine/pml_font.h"
#include "fuzz_data_root.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz_write_file(fuzz_data_root("font"), "fonts/fuzz.font", data, size);
    pml_font_reset();
    const pml_font_t& font = pml_font_get(pml_font_find("/fonts/fuzz.font"));
    for (const float width : font.widths)
        if (!std::isfinite(width) || width < 0.0f || width > 1024.0f)
            __builtin_trap();
    if (!std::isfinite(font.line_height()))
        __builtin_trap();
    log_clear_capture();
    return 0;
}
