#include "road/seg_mirror_cull.h"

#include <algorithm>
#include <cmath>

#include "engine/gfx_view.h"
#include "engine/psm.h"
#include "common/engine_api.h"
#include "common/world_view.h"

bool seg_outside_mirror(psm_t* model, const vec3_t& position, const float stretch)
{
    if (!drawing_secondary_view() || !model)
        return false;
    const psm_info_t* const info = api::psm_get_info(model);
    if (!info)
        return false;
    // How far the model reaches from its origin: the farthest of its parts' bounding spheres.
    float reach = 0.0f;
    for (int part = 0; part < info->part_count; ++part) {
        const psm_part_t& at = info->parts[part];
        if (at.bone >= 0)
            return false;
        reach = std::max(reach, at.bsphere_centre.length() + at.bsphere_radius);
    }
    return !api::gfx_sphere_visible(&position.x, reach * std::max(std::fabs(stretch), 1.0f));
}
