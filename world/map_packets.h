#pragma once
#include "engine/gfx_render.h"

// How the renderer reads a world map mesh: packets bound to a geometry chunk's cache item and a mesh
// index in it. "map_vpd_vertex": positions, colour triples folded into the packed colours; "map_vpd_lmap":
// positions only (the light map lights the mesh); "map_ipd": the indices.
extern const r_packet_decl_t map_vpd_vertex;
extern const r_packet_decl_t map_vpd_lmap;
extern const r_packet_decl_t map_ipd;
