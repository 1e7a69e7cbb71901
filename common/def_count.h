#pragma once

class def_obj_t;

// Reads the count `key` of a definition object that numbers its entries as further keys of its own
// ("color_count" with "color0", "color1" ...). A count cannot be more than the values the object holds:
// a larger one, or a negative one, is reported with the file and capped, so a damaged file cannot make
// the game allocate or loop for an entry it does not have.
int def_count(const def_obj_t& object, const char* key, const char* path);
