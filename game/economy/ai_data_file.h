#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/economy/economy_records.h"

// The two files the map editor writes beside a map and the economy reads: the AI data file (".aid":
// the loading docks with their trailer slots) and the route table (".rte": a route between every pair
// of docks, as road-network edges with running lengths).

// Version word of the AI data file.
constexpr uint32_t ai_data_version = 2;
// Version word the editor writes into the route table (the reader does not test it).
constexpr uint16_t route_table_version = 1;

// The path of a file beside `map_path` with extension `extension`: the text after the last "." of the
// file name is replaced, or ".extension" added when the name has none.
std::string map_side_path(const char* map_path, const char* extension);

// Reads an AI data file image: version 2, a count, that many 312-byte dock records. Every count, slot
// count and trader index is checked (`trader_count` traders exist); false with `out_error` set when the
// image is refused, and then `out_docks` is left empty.
bool ai_data_parse(const uint8_t* bytes, size_t size, int32_t trader_count, std::vector<dock_t>& out_docks,
                   std::string& out_error);

// One route of the table, walked by its nodes (road-network edges) and the running lengths in metres.
struct route_view_t {
    uint16_t length = 0;
    uint32_t distance = 0;
    // Byte offsets of the node list and the running-length list in the table's pool.
    uint32_t nodes = 0;
    uint32_t distances = 0;
};

// The route table of a map, as read from its ".rte" file.
class route_table_t {
public:
    // Reads a route table image; false with `out_error` set when its table or pool is refused (then the
    // table is empty). A table of fewer than two docks holds no route.
    bool parse(const uint8_t* bytes, size_t size, std::string& out_error);
    // Forgets every route.
    void clear();
    // The route from dock `a` to dock `b` (a < b): false when either dock is past the table or the
    // route record does not lie wholly inside the pool.
    bool get(uint16_t a, uint16_t b, route_view_t& out) const;
    // The u16 at byte `offset` of the pool; 0 past its end.
    uint16_t pool_u16(uint32_t offset) const;
    // The node `index` of `route`, and its running length; 0 past the route's end.
    uint16_t node(const route_view_t& route, uint32_t index) const;
    uint16_t node_distance(const route_view_t& route, uint32_t index) const;
    uint16_t node_count() const { return node_count_; }

    // The file the table was read from (kept for the save reader's reload).
    std::string path;

private:
    uint16_t node_count_ = 0;
    std::vector<uint32_t> offsets_;
    uint32_t pool_start_ = 0;
    std::vector<uint8_t> pool_;
};
