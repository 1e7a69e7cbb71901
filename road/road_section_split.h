#pragma once
#include <cstdint>

// How the rows of an edge's sweep are cut into pieces, each filling one pool block: the number of
// pieces, the rows each piece covers and the rows the last one covers.
struct road_section_split_t {
    int32_t pieces;
    int32_t rows_per_piece;
    int32_t last_rows;
};

// Bytes of piece data a piece is planned for (its block holds 65536).
constexpr int64_t road_section_plan_bytes = 55296;

// Cuts `rows` rows (at least 1) whose data is estimated at `bytes` bytes: one piece per 55296 bytes
// and one more, each covering rows / pieces + 1 rows, then as many pieces as those rows need.
road_section_split_t road_section_split(int64_t bytes, int32_t rows);
