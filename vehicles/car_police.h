#pragma once
#include "engine/entity.h"

// The police truck, registered as "actors.ai". For now only what the type registry needs: the engine
// creates, names and destroys it by that type name.
class car_police_e : public entity_t {};
