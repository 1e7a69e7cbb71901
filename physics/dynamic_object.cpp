#include "physics/dynamic_object.h"

void dynamic_object_e::handler()
{
    solid_contact = 0;
    flagged_points = 0;
}

void dynamic_object_e::apply_impact(const vclip_contact_t*, cd_geo_t*, uint32_t) {}
