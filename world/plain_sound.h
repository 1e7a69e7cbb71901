#pragma once
#include "engine/entity.h"

// A placed sound source, registered as "sounds.plain_sound". For now only what the type registry needs: the engine
// creates, names and destroys it by that type name.
class plain_sound_e : public entity_t {};
