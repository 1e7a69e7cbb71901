#include "road/map_node.h"

map_node_t map_node_make(const vec3_t& position)
{
    map_node_t node{};
    node.position = position;
    node.links[0] = node.links[1] = -1;
    node.link_kinds[0] = node.link_kinds[1] = 1;
    node.road_name = -1;
    return node;
}

map_aux_node_t map_aux_node_make(const vec3_t& position)
{
    map_aux_node_t node{};
    node.position = position;
    node.links[0] = node.links[1] = -1;
    return node;
}
