#include <cstring>

#include "editor/edit_ctrl.h"

void edit_ctrl_e::remove_city_block(const int32_t edge, const int32_t side)
{
    if (!edges.valid(edge) || edges[edge].kind != map_edge_city_road || (side != 0 && side != 1))
        return;
    const int32_t block = edges[edge].sides[side].profile;
    if (!cityblocks.valid(block))
        return;
    // The render slots that built the block give its buildings back now, and name no block there.
    for (int32_t s = 0; s < segment_slot_count; ++s) {
        segment_t* const slot = segment_slot(s);
        if (!slot)
            continue;
        for (int32_t& held : slot->city_blocks) {
            if (held != block)
                continue;
            if (seg_server)
                seg_server->release_city_block(cityblocks[block]);
            held = -1;
        }
    }
    for (map_edge_t& other : edges)
        if (other.kind == map_edge_city_road)
            for (map_edge_side_t& other_side : other.sides)
                if (other_side.profile == block)
                    other_side.profile = -1;
    std::memmove(static_cast<void*>(&cityblocks[block]), &cityblocks[block + 1],
                 sizeof(map_cityblock_t) * static_cast<size_t>(cityblocks.count - block - 1));
    --cityblocks.count;
    std::memset(static_cast<void*>(&cityblocks.data[cityblocks.count]), 0, sizeof(map_cityblock_t));
    // Every number above the removed block moves down with its record: in the roads and in the slots.
    for (map_edge_t& other : edges)
        if (other.kind == map_edge_city_road)
            for (map_edge_side_t& other_side : other.sides)
                if (other_side.profile > block)
                    --other_side.profile;
    for (int32_t s = 0; s < segment_slot_count; ++s)
        if (segment_t* const slot = segment_slot(s))
            for (int32_t& held : slot->city_blocks)
                if (held > block)
                    --held;
}
