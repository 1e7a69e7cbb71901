#include "game/economy/ai_data_file.h"

#include <cstdio>
#include <cstring>

#include "engine/mbio.h"
#include "game/economy/economy_record_io.h"

std::string map_side_path(const char* map_path, const char* extension)
{
    std::string path = map_path ? map_path : "";
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        path += '.';
    else
        path.resize(dot + 1);
    return path + extension;
}

bool ai_data_parse(const uint8_t* bytes, const size_t size, const int32_t trader_count, std::vector<dock_t>& out_docks,
                   std::string& out_error)
{
    out_docks.clear();
    mbio_t in(bytes, size);
    uint32_t version = 0;
    uint32_t count = 0;
    if (!in.read_u32(version)) {
        out_error = "no version word";
        return false;
    }
    if (version != ai_data_version) {
        out_error = "version " + std::to_string(version);
        return false;
    }
    if (!in.read_count(count, saved_record_bytes<dock_t>())) {
        out_error = "dock count larger than the file";
        return false;
    }
    std::vector<dock_t> docks(count);
    for (uint32_t i = 0; i < count; ++i) {
        dock_t& dock = docks[i];
        if (!read_record(in, dock)) {
            out_error = "dock record " + std::to_string(i) + " cut short";
            return false;
        }
        if (dock.slot_count < 0 || dock.slot_count > dock_slot_count) {
            out_error = "dock " + std::to_string(dock.id) + " has " + std::to_string(dock.slot_count) + " slots";
            return false;
        }
        if (dock.trader < -1 || dock.trader >= trader_count) {
            out_error = "dock " + std::to_string(dock.id) + " names trader " + std::to_string(dock.trader);
            return false;
        }
    }
    out_docks = std::move(docks);
    return true;
}

void route_table_t::clear()
{
    node_count_ = 0;
    offsets_.clear();
    pool_start_ = 0;
    pool_.clear();
}

bool route_table_t::parse(const uint8_t* bytes, const size_t size, std::string& out_error)
{
    clear();
    mbio_t in(bytes, size);
    uint16_t version = 0;
    uint16_t count = 0;
    if (!in.read_u16(version) || !in.read_u16(count)) {
        out_error = "no header";
        return false;
    }
    const size_t entries = static_cast<size_t>(count) * count;
    if (entries * 4 > in.remaining()) {
        out_error = "offset table of " + std::to_string(count) + " docks larger than the file";
        return false;
    }
    std::vector<uint32_t> offsets(entries);
    for (uint32_t& offset : offsets)
        in.read_u32(offset);
    // Only the routes of two or more docks have a pool; it starts where the first route does.
    if (count >= 2) {
        const uint32_t start = offsets[1];
        if (start < in.position() || start > size) {
            out_error = "route pool starts at " + std::to_string(start);
            return false;
        }
        pool_.assign(bytes + start, bytes + size);
        pool_start_ = start;
    }
    node_count_ = count;
    offsets_ = std::move(offsets);
    return true;
}

bool route_table_t::get(const uint16_t a, const uint16_t b, route_view_t& out) const
{
    if (a >= node_count_ || b >= node_count_ || pool_.empty())
        return false;
    const uint32_t offset = offsets_[static_cast<size_t>(a) * node_count_ + b];
    if (offset < pool_start_)
        return false;
    const size_t at = offset - pool_start_;
    if (at + 6 > pool_.size())
        return false;
    mbio_t in(pool_.data() + at, pool_.size() - at);
    route_view_t route;
    in.read_u16(route.length);
    in.read_u32(route.distance);
    if (static_cast<size_t>(route.length) * 4 > in.remaining())
        return false;
    route.nodes = static_cast<uint32_t>(at + 6);
    route.distances = route.nodes + 2u * route.length;
    out = route;
    return true;
}

uint16_t route_table_t::pool_u16(const uint32_t offset) const
{
    if (static_cast<size_t>(offset) + 2 > pool_.size())
        return 0;
    return static_cast<uint16_t>(pool_[offset] | pool_[offset + 1] << 8);
}

uint16_t route_table_t::node(const route_view_t& route, const uint32_t index) const
{
    return index < route.length ? pool_u16(route.nodes + 2 * index) : 0;
}

uint16_t route_table_t::node_distance(const route_view_t& route, const uint32_t index) const
{
    return index < route.length ? pool_u16(route.distances + 2 * index) : 0;
}
