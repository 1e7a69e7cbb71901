#pragma once
#include "engine/dstring.h"

// Two owned texts at the start of a record (the name and text of a list item built in place).
struct dstring_pair_t {
    dstring_t first;
    dstring_t second;
};

// Ends the two texts of a record constructed in place, the second first; the record's memory stays
// the caller's and must not be used as a pair afterwards.
void destroy_dstring_pair(dstring_pair_t* record);
