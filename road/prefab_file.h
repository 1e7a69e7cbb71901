#pragma once
#include <cstddef>
#include <cstdint>

#include "road/prefab.h"

// The version a prefab model file must carry.
constexpr uint32_t prefab_file_version = 3;
// Bytes one render part (32 per vertex, 2 per index) or collision part may take at most: one 16-bit
// indexed vertex and index buffer.
constexpr int32_t prefab_part_size_limit = 65500;

// Parses the bytes of a prefab model file (little-endian; see docs/formats.md) into `out`'s parts,
// collision parts, nodes, curves, signs, points, loading docks and traffic-light places, leaving its
// name and definition fields alone. Refuses (false, reported naming `path`) a wrong version, counts
// that do not fit the file, an index past its part's vertices and a curve without segments; `out`'s
// tables are then empty. Oversized parts and unknown collision kinds are reported and read.
bool prefab_file_parse(const uint8_t* bytes, size_t size, const char* path, prefab_t& out);

// Bytes the tables of `prefab` hold (what its one block would take).
size_t prefab_bytes(const prefab_t& prefab);
