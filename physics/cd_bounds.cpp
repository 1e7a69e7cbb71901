#include "physics/cd_bounds.h"

#include <algorithm>
#include <iterator>

void cd_bounds_t::set_empty()
{
    std::fill(std::begin(minimum), std::end(minimum), cd_bound_empty);
    std::fill(std::begin(maximum), std::end(maximum), -cd_bound_empty);
}

void cd_bounds_t::add_box(const float box_minimum[3], const float box_maximum[3])
{
    const float x0 = box_minimum[0], y0 = box_minimum[1], z0 = box_minimum[2];
    const float x1 = box_maximum[0], y1 = box_maximum[1], z1 = box_maximum[2];
    const cd_bounds_t box = {{x0, y0, z0, (x0 + z0) / 2.0f, (x0 - z1) / 2.0f},
                             {x1, y1, z1, (x1 + z1) / 2.0f, (x1 - z0) / 2.0f}};
    add_bounds(box);
}

void cd_bounds_t::add_bounds(const cd_bounds_t& other)
{
    for (int axis = 0; axis < cd_bound_axes; ++axis) {
        minimum[axis] = std::min(minimum[axis], other.minimum[axis]);
        maximum[axis] = std::max(maximum[axis], other.maximum[axis]);
    }
}

void cd_bounds_t::widen(float margin)
{
    for (int axis = 0; axis < cd_bound_axes; ++axis) {
        minimum[axis] -= margin;
        maximum[axis] += margin;
    }
}

void cd_bounds_t::translate(float x, float y, float z)
{
    const float shift[cd_bound_axes] = {x, y, z, (x + z) / 2.0f, (x - z) / 2.0f};
    for (int axis = 0; axis < cd_bound_axes; ++axis) {
        minimum[axis] += shift[axis];
        maximum[axis] += shift[axis];
    }
}

cd_bounds_t cd_bounds_make_empty()
{
    cd_bounds_t bounds;
    bounds.set_empty();
    return bounds;
}
