#include "road/road_network.h"

namespace {

// Index of the first node of `nodes` closer than the merge distance to `position`, or -1.
template <typename A> int32_t find_close_node(const A& nodes, const vec3_t& position)
{
    for (int32_t i = 0; i < nodes.count; ++i) {
        if ((nodes[i].position - position).length_sq() < map_node_merge_distance_sq)
            return i;
    }
    return -1;
}

}  // namespace

int32_t road_network_t::add_node(const vec3_t& position)
{
    const int32_t close = find_close_node(nodes, position);
    if (close >= 0)
        return close;
    const int32_t index = nodes.append(map_node_step);
    if (index >= 0)
        nodes[index] = map_node_make(position);
    return index;
}

int32_t road_network_t::add_aux_node(const vec3_t& position)
{
    const int32_t close = find_close_node(aux_nodes, position);
    if (close >= 0)
        return close;
    const int32_t index = aux_nodes.append(map_node_step);
    if (index >= 0)
        aux_nodes[index] = map_aux_node_make(position);
    return index;
}

int32_t road_network_t::add_edge() { return edges.append(map_edge_step); }
int32_t road_network_t::add_aux_edge() { return aux_edges.append(map_edge_step); }
int32_t road_network_t::add_sign() { return signs.append(map_item_step); }
int32_t road_network_t::add_cityblock() { return cityblocks.append(map_item_step); }
int32_t road_network_t::add_freeitem() { return freeitems.append(map_item_step); }
int32_t road_network_t::add_miscitem() { return miscitems.append(map_item_step); }
int32_t road_network_t::add_stamp_group() { return stamps.append(map_stamp_step, map_stamp_group_size); }

void road_network_t::free_semaphores()
{
    if (semaphores)
        api::mem_sys_free(semaphores);
    semaphores = nullptr;
    semaphore_count = 0;
}

void road_network_t::clear_records()
{
    nodes.count = aux_nodes.count = edges.count = aux_edges.count = signs.count = 0;
    stamps.count = cityblocks.count = freeitems.count = miscitems.count = 0;
    free_semaphores();
}

void road_network_t::free_records()
{
    nodes.release();
    aux_nodes.release();
    edges.release();
    aux_edges.release();
    signs.release();
    stamps.release();
    cityblocks.release();
    freeitems.release();
    miscitems.release();
    free_semaphores();
}
