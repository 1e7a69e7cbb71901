#pragma once
#include <vector>

#include "engine/gfx_record.h"
#include "engine/vec.h"

class ui_window_t;

// What ui_wdraw3d drew: the window on a world quad, and how many markup items it put there.
struct ui_draw3d_t {
    const ui_window_t* window;
    vec_t<float, 3> origin;
    vec_t<float, 3> x_axis;
    vec_t<float, 3> y_axis;
    bool facing;
    unsigned color;
    int items;
    int frame;                   // the graphics frame (gfx_record_frames) it was drawn in
    gfx_recorded_place_t place;  // camera and view; the items' drawing orders lie between
    int end_order;               // place.order and this
};

// The 3-D window draws since the last clear (tests and the painter read them); like the markup's items,
// only those of the frame being drawn and the last one shown are kept.
const std::vector<ui_draw3d_t>& ui_draw3d_record();
void ui_draw3d_clear();
// Drops the draws of graphics frames before `frame`.
void ui_draw3d_drop_before(int frame);
