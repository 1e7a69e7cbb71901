#pragma once
#include <cstdint>
#include <string>

class edit_ctrl_e;
struct map_edge_t;

// The place of `edge` in the controller's edges, -1 for a record outside them (a default edge).
int32_t edge_index_of(const edit_ctrl_e& ctrl, const map_edge_t& edge);
// The road name of the edge's start node (-1 none) and at most its first 7 characters ("" for none).
int32_t start_road_name(const edit_ctrl_e& ctrl, const map_edge_t& edge, std::string& text);
// The caption of a road or city-road dialog's frame: the edge's index, noise and AI values, road
// name and length in metres.
std::string road_index_line(const edit_ctrl_e& ctrl, const map_edge_t& edge, bool city_road);
