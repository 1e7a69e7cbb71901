#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "engine/gfx_record.h"

// Where the frame record stands now: records queued after it are what a test's next frames draw.
inline size_t ui_drawn_mark() { return gfx_record_current().data.size(); }

// The immediate records queued since `mark` for the shader at `path`, in submission order.
inline std::vector<gfx_recorded_data_t> ui_drawn_with(const std::string& path, size_t mark)
{
    const std::vector<gfx_recorded_data_t>& data = gfx_record_current().data;
    if (mark > data.size())
        mark = 0;  // the frame was swapped since
    std::vector<gfx_recorded_data_t> found;
    for (size_t i = mark; i < data.size(); ++i)
        if (data[i].shader_path == path)
            found.push_back(data[i]);
    return found;
}

// Corner `i` of a record as (x, y).
inline std::vector<float> ui_drawn_corner(const gfx_recorded_data_t& record, const int i)
{
    return {record.geometry.positions[3 * i], record.geometry.positions[3 * i + 1]};
}
