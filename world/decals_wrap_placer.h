#pragma once
#include "engine/entity.h"

// The placer of wrapped decals, registered as "decals.wrap.placer". For now only what the type registry needs: the
// engine creates, names and destroys it by that type name.
class decals_wrap_placer_e : public entity_t {};
