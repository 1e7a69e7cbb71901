#include "common/engine_api.h"
#include "road/map_file.h"
#include "road/map_file_layout.h"

namespace {

// Bytes of a section: its count and its records.
template <typename T, bool S> size_t section_size(const map_array_t<T, S>& array)
{
    return 4 + static_cast<size_t>(array.count) * map_file_record_size<T>;
}

// Writes a section at `out` and answers the byte after it.
template <typename T, bool S> uint8_t* write_section(const map_array_t<T, S>& array, uint8_t* out)
{
    map_file_put_u32(out, static_cast<uint32_t>(array.count));
    out += 4;
    for (const T& record : array) {
        map_file_encode(record, out);
        out += map_file_record_size<T>;
    }
    return out;
}

}  // namespace

size_t map_file_size(const road_network_t& network)
{
    return 8 + section_size(network.nodes) + section_size(network.aux_nodes) + section_size(network.edges) +
           section_size(network.aux_edges) + section_size(network.signs) + section_size(network.cityblocks) +
           section_size(network.freeitems) + section_size(network.stamps) + section_size(network.miscitems) + 12;
}

void map_file_write(const road_network_t& network, uint8_t* out)
{
    map_file_put_u32(out, static_cast<uint32_t>(map_file_version));
    map_file_put_u32(out + 4, static_cast<uint32_t>(network.semaphore_count));
    out += 8;
    // File order: city blocks and free items come before stamps.
    out = write_section(network.nodes, out);
    out = write_section(network.aux_nodes, out);
    out = write_section(network.edges, out);
    out = write_section(network.aux_edges, out);
    out = write_section(network.signs, out);
    out = write_section(network.cityblocks, out);
    out = write_section(network.freeitems, out);
    out = write_section(network.stamps, out);
    out = write_section(network.miscitems, out);
    for (int axis = 0; axis < 3; ++axis)
        map_file_put_u32(out + 4 * axis, map_word_get(network.start_position, axis));
}
