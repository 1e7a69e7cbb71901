#pragma once
#include "engine/entity.h"

// A box placed as an editing helper, registered as "helpers.box_helper". For now only what the type registry needs: the
// engine creates, names and destroys it by that type name.
class box_helper_e : public entity_t {};
