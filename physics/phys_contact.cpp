#include "physics/phys_contact.h"

void phys_contact_t::reset()
{
    const uint8_t kept = constraint;
    *this = phys_contact_t{};
    constraint = kept;
}
