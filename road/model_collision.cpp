#include "road/model_collision.h"

#include <algorithm>

#include "common/engine_api.h"

bool model_part_collision_copy(psm_t* model, const char* part, model_collision_t& out)
{
    out = model_collision_t{};
    const int index = model ? api::psm_part_find(model, part) : -1;
    if (index < 0)
        return false;
    const psm_part_t& source = api::psm_get_info(model)->parts[index];
    out.positions.assign(source.positions, source.positions + source.vertex_count);
    out.indices.assign(source.indices, source.indices + source.index_count);
    return true;
}

int32_t model_z_extent(psm_t* model)
{
    const psm_info_t* const info = model ? api::psm_get_info(model) : nullptr;
    if (!info)
        return 0;
    bool any = false;
    float low = 0.0f, high = 0.0f;
    for (int p = 0; p < info->part_count; ++p)
        for (int v = 0; v < info->parts[p].vertex_count; ++v) {
            const float z = info->parts[p].positions[v].z;
            low = any ? std::min(low, z) : z;
            high = any ? std::max(high, z) : z;
            any = true;
        }
    return static_cast<int32_t>(high - low);
}
