#pragma once
#include <cstring>
#include <vector>

#include "road/map_file.h"
#include "road/road_network.h"

// A small road network with one or two records of every kind, valid indices throughout, and
// memory-only words set to values a load must not bring back.
inline void make_sample_network(road_network_t& network)
{
    network.add_node({0.0f, 0.0f, 0.0f});
    network.add_node({1000.0f, 10.0f, 0.0f});
    network.nodes[0].links[0] = 0;
    network.nodes[0].links[1] = 1;
    network.nodes[1].links[0] = 1;
    network.nodes[1].flags = 0x00030212u;
    network.add_aux_node({0.0f, 0.0f, 50.0f});
    network.add_aux_node({0.0f, 0.0f, 550.0f});
    network.aux_nodes[0].links[0] = 0;

    for (int e = 0; e < 2; ++e) {
        map_edge_t& edge = network.edges[network.add_edge()];
        edge.kind = e == 0 ? map_edge_road : map_edge_cross;
        edge.kind_words[0] = 7 + e;
        edge.bounds.set_empty();
        edge.bounds.add_point(0.0f, 0.0f, 0.0f);
        edge.bounds.add_point(1000.0f, 10.0f, 40.0f);
        edge.definition = 3;
        edge.segment_slot = 12;
        edge.nodes[0] = e;
        edge.nodes[1] = 1 - e;
        edge.nodes[2] = edge.nodes[3] = -1;
        edge.sides[0] = {4, 5, 6, 7, 2, 1.5f, -1};
        edge.sides[1] = {-1, 5, 6, 7, 3, 0.5f, 9};
        edge.flags = 0x00100031u;
        edge.length = 1000.0f;
        edge.noise_row = 77;
        edge.traffic_road = 4;
        edge.sign = e == 0 ? 0 : -1;
        edge.semaphore = e == 0 ? -1 : 2;
        edge.stamp = e == 0 ? 0 : -1;
    }
    map_aux_edge_t& aux = network.aux_edges[network.add_aux_edge()];
    aux.words[0] = 11;
    aux.bounds.set_empty();
    aux.bounds.add_point(0.0f, 0.0f, 50.0f);
    aux.model = 2;
    aux.nodes[0] = 0;
    aux.nodes[1] = 1;
    aux.length = 500.0f;
    aux.segment_slot = 3;

    map_sign_t& sign = network.signs[network.add_sign()];
    sign = {6, 0, 250, {1, 2, -1}, {3, -1, -1}, 0x10000213u, 0.25f};

    const int32_t stamps = network.add_stamp_group();
    for (int s = 0; s < map_stamp_group_size; ++s)
        network.stamps[stamps + s] = {s == 0 ? 5 : -1, -1, 3 * s, -2 * s};

    map_cityblock_t& block = network.cityblocks[network.add_cityblock()];
    block.point_count = 4;
    for (int p = 0; p < map_cityblock_table_size; ++p) {
        block.points[p] = vec3_t(100.0f * static_cast<float>(p), 1.0f, 2.0f);
        block.normals[p] = vec3_t(0.0f, 1.0f, 0.0f);
        block.texcoords[p][0] = static_cast<float>(p);
        block.texcoords[p][1] = 0.5f;
    }
    block.shader = 1;
    block.definition = 2;
    block.seed = 12345;
    block.instance = 99;

    map_freeitem_t& item = network.freeitems[network.add_freeitem()];
    item.model = 4;
    item.position = vec3_t(300.0f, 0.0f, -300.0f);
    item.rotation = vec3_t(0.0f, 90.0f, 0.0f);
    item.flags = 1;
    item.bounds.set_empty();
    item.bounds.add_point(290.0f, 0.0f, -310.0f);
    item.shown = 0x101;
    item.shown_node = 8;

    for (int m = 0; m < 2; ++m) {
        map_miscitem_t& misc = network.miscitems[network.add_miscitem()];
        misc.type = m == 0 ? map_misc_mover : map_misc_headquarters;
        for (int p = 0; p < 4; ++p)
            misc.points[p] = vec3_t(static_cast<float>(p), 2.0f, 3.0f);
        misc.params[0] = 500000;
        misc.flags = 0x0Du;
        misc.bounds.set_empty();
        misc.bounds.add_point(0.0f, 2.0f, 3.0f);
        misc.selected_point = 2;
        misc.active = 1;
    }
    network.semaphore_count = 20;
    network.start_position = vec3_t(1.0f, 2.0f, 3.0f);
}

// The network in the map file layout: what a save would write.
inline std::vector<uint8_t> map_bytes(const road_network_t& network)
{
    std::vector<uint8_t> bytes(map_file_size(network));
    map_file_write(network, bytes.data());
    return bytes;
}

// True when the two records hold the same bytes.
template <typename T> bool same_record(const T& a, const T& b) { return std::memcmp(&a, &b, sizeof(T)) == 0; }
