#pragma once
#include <cstdint>

// One contact of a pair test: the item of the moving geometry that the primitive touched (as its
// primitive test names it; cd_item_none when it names none) and the primitive's id on the other one.
struct phys_pair_hit_t {
    uint32_t item;
    uint32_t other_item;

    bool operator==(const phys_pair_hit_t&) const = default;
};
