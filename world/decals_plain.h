#pragma once
#include "world/decals_wrap.h"

// Plain decals, registered as "decals.plain": wrapped decals given their own class. For now only what
// the type registry needs.
class decals_plain_e : public decals_wrap_e {
};
