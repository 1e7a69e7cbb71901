#pragma once

class bmem_manager;
class entity_t;

// The world-side entity types and the resource kinds the world and the behaviour layer load through
// the resource cache. Registered before the main type registry.

// Hands the six world kinds and the two description kinds to the cache, registers the three loaders
// (".btr", ".info.xml", ".layer.xml"), makes the 32-byte item pool, registers the eight world-side
// types ("world.map" ... "helpers.box_helper", flags 1) and the console variable "p_profile_draws".
void register_world_types();
// The destroy function of the world-side types: as the main registry's.
void world_type_destroy(entity_t* object, bool in_place);
// Frees what the cache holds unreferenced of the world and description kinds.
void free_world_resources();
// Unregisters the loaders registered above, in registration order, and forgets them.
void unregister_loaders();

// Number of loaders registered and not yet unregistered.
int world_loader_count();
// The world's pool of 32-byte items (256 per block); null before registration or when it could not
// be made.
bmem_manager* world_item_pool();
