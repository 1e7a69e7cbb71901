#pragma once
#include "engine/cache.h"

// The common body of the module's loader matchers: when `name` ends in `suffix` (any case), a new
// cache item of the kind `ops`, named `name`, made under the loader lock (the kind's finish gives the
// lock back); null for any other name or when the cache cannot make an item.
c_item_t* match_by_suffix(const char* name, const char* suffix, const resource_ops_t* ops);
