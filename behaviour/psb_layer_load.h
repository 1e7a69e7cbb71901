#pragma once
#include "behaviour/psb_layer.h"

struct c_item_t;

// Loading and freeing of ".layer.xml" resources: the layer lives in its cache item's memory.

// The layer the layer grammar's actions build; set only while one layer file is parsed.
extern psb_layer_t* psb_current_layer;

// The cache's load of a layer item: a new layer in the item's memory, filled from the file the item
// names; null (and no memory kept) when the file is missing or does not parse.
void* psb_layer_load(c_item_t* item);
// The cache's free of a layer item: destroys the layer and gives the memory back.
void psb_layer_free(c_item_t* item);
// Reads and parses the whole layer file `name` into the current layer; false when it is missing or
// does not parse ("cannot find naming file (%s)" for a missing file).
bool psb_layer_read(const char* name);
