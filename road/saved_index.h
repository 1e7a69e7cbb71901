#pragma once
#include <cstdint>

#include "common/engine_api.h"

// An index a save game names for the game controller: kept when it is -1 (none) or below `limit`,
// else reported and none (-1) taken.
inline int32_t saved_index_or_none(const int32_t value, const int32_t limit, const char* what)
{
    if (value == -1 || (value >= 0 && value < limit))
        return value;
    api::error("<game_ctrl_e> the save game names %s %d, of %d; none is taken", what, value, limit);
    return -1;
}
