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

// The physics world of one scene. Bodies and geometries cannot be inserted yet, so a step only
// records its length and count: there is nothing to move.
class physproc_t {
public:
    physproc_t();

    // Advances every active body by `dt` seconds.
    void step(float dt);

    // The filter queries use when they are given none.
    const phys_pair_t& pair() const { return pair_; }
    void set_pair(const phys_pair_t& pair) { pair_ = pair; }

    // Steps taken since construction and the length of the last one.
    long step_count() const { return step_count_; }
    float last_step() const { return last_step_; }

private:
    phys_pair_t pair_;
    long step_count_ = 0;
    float last_step_ = 0.0f;
};

// The filter of a new process: every pair is solid.
int phys_pair_all_solid(uintptr_t user, const cd_geo_t* moving, const cd_geo_t* candidate);

// Replaces the contact filter of a physics process.
void phys_set_pair(physproc_t* process, const phys_pair_t& pair);
