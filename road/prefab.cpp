#include "road/prefab.h"

namespace {

// The list given for a slot that does not exist.
constexpr int32_t no_curves[prefab_slot_curves] = {-1, -1, -1};

}  // namespace

const int32_t* prefab_node_slot(const prefab_t& prefab, const int32_t node, const int32_t slot, const int32_t rotation)
{
    const auto count = static_cast<int64_t>(prefab.nodes.size());
    if (count == 0 || slot < 0 || slot >= prefab_node_slots)
        return no_curves;
    int64_t index = (static_cast<int64_t>(node) + rotation) % count;
    if (index < 0)
        index += count;
    return prefab.nodes[static_cast<size_t>(index)].slots[slot];
}

vec3_t prefab_turn(const vec3_t& point, const uint32_t quarter_turns)
{
    switch (quarter_turns & 3u) {
    case 1:
        return vec3_t(point.z, point.y, -point.x);
    case 2:
        return vec3_t(-point.x, point.y, -point.z);
    case 3:
        return vec3_t(-point.z, point.y, point.x);
    default:
        return point;
    }
}
