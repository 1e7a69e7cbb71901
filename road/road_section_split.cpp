#include "road/road_section_split.h"

#include <algorithm>

road_section_split_t road_section_split(const int64_t bytes, const int32_t rows)
{
    const int32_t row_count = std::max(rows, 1);
    const int64_t planned = std::max<int64_t>(bytes, 0) / road_section_plan_bytes + 1;
    const auto per = static_cast<int32_t>(row_count / planned + 1);
    // The fewest pieces of `per` rows that still cover every row: (pieces - 1) x per < rows.
    const auto pieces = static_cast<int32_t>(std::min<int64_t>(planned, (row_count + per - 1) / per));
    return road_section_split_t{pieces, per, row_count - (pieces - 1) * per};
}
