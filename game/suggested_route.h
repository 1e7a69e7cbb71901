#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "road/scenery_def.h"

class road_network_t;
class route_table_t;
struct route_view_t;

// Longest route text the job HUD builds: names that would not fit whole are left off.
constexpr size_t suggested_route_text_max = 1024;

// The names of the roads along `route` of `routes`, walked from its last edge to its first when
// `from_end`, joined with ", ". Only City Road and Road edges count, each by the place name of its start
// node; a node without a name, the name just taken again and a name containing "city" are left out, as
// are edges, nodes and names outside the network or the table.
std::string suggested_route_names(const route_table_t& routes, const route_view_t& route, bool from_end,
                                  const road_network_t& network, const std::vector<place_name_t>& names);
