#pragma once
#include "engine/vdatalist.h"
#include "physics/phys_contact.h"

// A list of contacts sorted by key, at most one per identity, its nodes drawn from its own pool.
class contact_list_t : public vdatalist_t<phys_contact_t> {
public:
    // Contacts each block of the list's pool holds.
    static constexpr size_t records_per_block = 32;

    contact_list_t() { init_mm(records_per_block); }
};

// Files `record` in `list`. With `at_end`, first drops the records at the tail whose key exceeds the
// new key plus `margin`, then appends; otherwise inserts before the first record with a greater key.
// A record of the same identity already in the list is replaced. The filed copy's flag byte is clear.
void contact_list_insert(contact_list_t& list, const phys_contact_t& record, bool at_end, float margin);

// Appends every record of `source` to `destination` unless it already holds one with the same second
// geometry and item ids.
void contact_list_merge(contact_list_t& destination, const contact_list_t& source);

// The output list every physics process answers its queries from.
contact_list_t& phys_output_contacts();
