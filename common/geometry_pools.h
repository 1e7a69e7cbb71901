#pragma once

struct gfx_pool_t;

// The module's two render pools on the "vert" path: the first sorts by shader, the second by priority.
// Made at registration, removed at shutdown.

// Creates both pools, each with an empty queue record. A pool the renderer refuses stays null.
void geometry_pools_create();
// Removes both pools (nothing for a pool that was never made).
void geometry_pools_free();

// The pool sorted by shader, and the pool sorted by priority; null when not made.
gfx_pool_t* geometry_pool_by_shader();
gfx_pool_t* geometry_pool_by_priority();
