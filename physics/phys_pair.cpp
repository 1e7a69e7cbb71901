#include "physics/phys_pair.h"

void phys_pair_set(phys_pair_t* target, const phys_pair_t& source)
{
    if (target)
        *target = source;
}
