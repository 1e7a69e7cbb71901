#pragma once
#include <cstdint>

class cd_geo_t;

// Answers of a contact filter for one pair of geometries.
enum phys_pair_answer_t : int {
    phys_pair_ignore = 0,  // the pair is not tested
    phys_pair_touch = 1,   // reported, does not stop motion
    phys_pair_solid = 2,   // stops motion
};

// A contact filter: called with the user word, the moving geometry (or null) and the candidate.
using phys_pair_fn = int (*)(uintptr_t user, const cd_geo_t* moving, const cd_geo_t* candidate);

// A contact filter and the word handed to it.
struct phys_pair_t {
    phys_pair_fn function;
    uintptr_t user;
};

// The filter of a new process: every pair is solid.
int phys_pair_all_solid(uintptr_t user, const cd_geo_t* moving, const cd_geo_t* candidate);

// Copies the filter pair `source` into `target` (nothing for a null target): how a process's own
// filter is replaced.
void phys_pair_set(phys_pair_t* target, const phys_pair_t& source);
