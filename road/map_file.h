#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/vec.h"
#include "road/road_network.h"

// The ".mbd" map file: a road network's nine record arrays, its semaphore count and its start position,
// little-endian, field by field (layout in docs/formats.md and road/map_file_layout.h). Whatever follows
// the start position (the editor's own data) is ignored when reading.

// Reads the map in `bytes` (`size` of them) into `network`. Without `offset` the records are appended
// as they are and the start position is taken; with `offset` they are an import: positions and bounds
// move by the offset, indices move past the records already held, and the start position is dropped.
// Every count, index and size is checked before anything changes: a damaged file is refused with an
// error naming `name` and leaves `network` as it was. Answers the bytes read (up to the start position)
// or -1; `out_allocated`, when given, receives the bytes the arrays were grown by.
int32_t map_file_read(road_network_t& network, const uint8_t* bytes, size_t size, const vec3_t* offset,
                      const char* name, int64_t* out_allocated = nullptr);

// Reads the map file at the virtual path `path` as map_file_read does, and reports the load. -1 (reported)
// when the file cannot be opened or is refused.
int32_t map_file_load(road_network_t& network, const char* path, const vec3_t* offset);

// Bytes of `network` in the map file layout.
size_t map_file_size(const road_network_t& network);
// Writes `network` in the map file layout into `out`, which holds map_file_size bytes.
void map_file_write(const road_network_t& network, uint8_t* out);

// Writes `network` to the virtual path `path`, first copying a file already there to "PATH.bak" (a backup
// that cannot be made does not stop the save). Answers the bytes written, or -1 when the file cannot be
// written.
int32_t map_file_save(const road_network_t& network, const char* path);
