#pragma once
#include <cstdint>

class road_network_t;

// Flag bit of a sign record: search for the destination through the edge's start node rather than
// its end node.
constexpr uint32_t sign_search_backwards = 1u << 28;

// The place a sign's second board names: from edge `edge`, follow the roads (through the end node and
// each node's second link, or with `backwards` through the start node and the first links) to the
// next junction, and answer the name index of the node beyond it (the arm across the junction, or
// the one beside it). -1 when the road ends, leads nowhere the map holds, or runs in a ring.
int32_t sign_destination(const road_network_t& network, int32_t edge, bool backwards);
