#include "road/segment_vegetation.h"

#include <algorithm>
#include <cmath>

#include "road/map_edge.h"
#include "road/seg_server.h"
#include "road/segment.h"

void segment_vegetation_t::set_up(const seg_server_t& server, const map_edge_t& edge, const int side,
                                  const int32_t width)
{
    look_ = nullptr;
    distance_ = 0.0f;
    const int32_t index = edge.sides[side].vegetation;
    if (index < 0 || static_cast<size_t>(index) >= server.veg_looks.size())
        return;
    const veg_look_t& look = server.veg_looks[static_cast<size_t>(index)];
    columns_ = std::min(look.column_count, std::max(0, width - look.first_column));
    if (columns_ <= 0 || look.first_column < 0 || !(look.spacing > 0.0f))
        return;
    look_ = &look;
    jitter_ = look.spacing * 0.25f;
}

void segment_vegetation_t::scatter_row(segment_t& slot, seg_server_t& server, const vec3_t* grid, const vec3_t* normals,
                                       const int32_t stride, const int32_t row, const float row_length,
                                       uint32_t& rotation)
{
    if (!look_ || !grid || !normals || !(row_length > 0.0f))
        return;
    randomizer_t& random = slot.randomizer;
    while (distance_ < row_length) {
        if (slot.instance_count() >= segment_max_instances)
            return;
        const int32_t model = look_->models[std::lround(random.rand() * 3.0f)];
        const int32_t column = look_->first_column + static_cast<int32_t>(std::lround(random.rand() * (columns_ - 1)));
        const float q = distance_ / row_length;
        const auto at = [&](const int32_t r, const int32_t c) {
            return static_cast<size_t>(r) * static_cast<size_t>(stride) + static_cast<size_t>(c);
        };
        const vec3_t near = grid[at(row, column)] + (grid[at(row + 1, column)] - grid[at(row, column)]) * q;
        const vec3_t far = grid[at(row, column + 1)] + (grid[at(row + 1, column + 1)] - grid[at(row, column + 1)]) * q;
        const vec3_t point = near + (far - near) * random.rand();
        rotation = (rotation + 1) % seg_rotation_count;
        if (model >= 0) {
            model_instance_node_t* const plant =
                server.add_model_instance(model, point, normals[at(row, column)], static_cast<int32_t>(rotation));
            if (plant && !slot.keep_instance(plant))
                server.remove_model_instance(plant);
        }
        distance_ += look_->spacing + (1.0f - 2.0f * random.rand()) * jitter_;
    }
    distance_ -= row_length;
}
