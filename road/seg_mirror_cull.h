#pragma once
#include "engine/vec.h"

struct psm_t;

// A mirror draws only the segment server's models its view sees; the main view draws every instance its
// slots show. True while a mirror draws and `model`, placed at `position` in the current world frame
// (not yet moved there) and stretched by at most `stretch`, lies wholly outside the mirror's view. A
// model with a part on a bone (which may move the part anywhere) is never left out.
bool seg_outside_mirror(psm_t* model, const vec3_t& position, float stretch = 1.0f);
