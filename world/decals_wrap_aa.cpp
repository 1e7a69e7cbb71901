#include "world/decals_wrap_aa.h"

void decals_wrap_aa_e::draw() { draw_instances(0.8f, true); }
