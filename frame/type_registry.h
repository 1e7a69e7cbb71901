#pragma once

#include "common/save_game_owners.h"

class entity_t;
struct entity_reg_t;

// The module's registry of the entity and UI types the engine creates by type name.

// Sets the loader lock to the model library process's lock, registers the world-side types and
// loaders, then every row of the registry in order, then makes the two render pools.
void register_entity_types();
// The destroy function shared by every row: destroys the object (keeping caller memory when
// `in_place`, freeing it otherwise; nothing for null) and gives back the loader lock.
void entity_type_destroy(entity_t* object, bool in_place);

// The registry's rows in registration order, and how many there are.
const entity_reg_t* entity_type_rows();
int entity_type_row_count();

// The checks of the save game's sections by their owners' types, so a save can be checked before a
// world is built for it.
const save_game_checks_t& save_game_section_checks();
