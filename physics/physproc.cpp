#include "physics/physproc.h"

int phys_pair_all_solid(uintptr_t, const cd_geo_t*, const cd_geo_t*) { return phys_pair_solid; }

physproc_t::physproc_t() : pair_{phys_pair_all_solid, 0} {}

void physproc_t::step(float dt)
{
    last_step_ = dt;
    ++step_count_;
}

void phys_set_pair(physproc_t* process, const phys_pair_t& pair)
{
    if (process)
        process->set_pair(pair);
}
