#pragma once
// Shared by the description-grammar fuzz targets: binds the engine once and clears the captured log
// after each input.
#include <cstddef>
#include <cstdint>

#include "engine/log.h"
#include "common/engine_api.h"

// Binds the module's engine pointers on the first call; traps when that fails.
inline void psb_fuzz_bind()
{
    static const bool bound = bind_engine_for_tests();
    if (!bound)
        __builtin_trap();
}
