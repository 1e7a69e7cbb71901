#include "ui/components/ui_comp_arrow.h"

#include <algorithm>
#include <cmath>

#include "ui/components/ui_quad_draw.h"

const level_list_t ui_comp_arrow_t::arrow_init_list(&entity_t::init_list, {0});
const level_list_t ui_comp_arrow_t::arrow_destroy_list(&entity_t::destroy_list, {0});

namespace {

// A point of the arrow's plane.
struct point_t {
    float x;
    float y;
};

point_t operator+(const point_t a, const point_t b) { return {a.x + b.x, a.y + b.y}; }
point_t operator-(const point_t a, const point_t b) { return {a.x - b.x, a.y - b.y}; }
point_t operator*(const point_t a, const float s) { return {a.x * s, a.y * s}; }

// Writes four points as vertices at z 0.
void set_corners(float (&out)[4][3], const point_t (&corners)[4])
{
    for (int i = 0; i < 4; ++i) {
        out[i][0] = corners[i].x;
        out[i][1] = corners[i].y;
        out[i][2] = 0.0f;
    }
}

// Length of the head, and half its width and half the marker's side.
constexpr float head_length = 32.0f;
constexpr float head_half_width = 8.0f;
constexpr float marker_half_side = 8.0f;

}  // namespace

int ui_comp_arrow_t::init(const int phase)
{
    const int result = ui_view_t::init(phase);
    if (result == 0 && phase == 0) {
        shaft_shader = ui_shader_load("/shaders/ui/white.shd");
        head_shader = ui_shader_load("/shaders/ui/arrow.shd");
        marker_shader = ui_shader_load("/shaders/ui/white.shd");
    }
    return result;
}

int ui_comp_arrow_t::destroy(const int phase)
{
    if (phase == 0) {
        ui_shader_release(shaft_shader);
        ui_shader_release(head_shader);
        ui_shader_release(marker_shader);
    }
    return ui_view_t::destroy(phase);
}

void ui_comp_arrow_t::set_state(const uint32_t new_state)
{
    state = new_state;
    uint32_t colour = 0x33FFFFFF;
    if (new_state == 2)
        colour = 0x3300FF00;
    else if (new_state == ui_arrow_state_marked)
        colour = 0xB30000FF;
    std::fill(std::begin(shaft_colours), std::end(shaft_colours), colour);
    std::fill(std::begin(head_colours), std::end(head_colours), colour);
}

void ui_comp_arrow_t::set_points(const int x1, const int y1, const int x2, const int y2, const int width,
                                 const int new_tag, const float fraction)
{
    const point_t start{static_cast<float>(x1), static_cast<float>(y1)};
    const point_t end{static_cast<float>(x2), static_cast<float>(y2)};
    point_t d = end - start;
    const float length = std::sqrt(d.x * d.x + d.y * d.y);
    // Coinciding points leave the direction zero: everything collapses onto the point.
    if (length != 0.0f)
        d = d * (1.0f / length);
    const point_t n{d.y, -d.x};

    const bool marked = state == ui_arrow_state_marked;
    const float h = static_cast<float>(marked ? width / 2 : width);
    if (marked) {
        const point_t p = start + d * (length * fraction);
        const point_t across = n * marker_half_side;
        const point_t along = d * marker_half_side;
        set_corners(marker, {p + across + along, p - across + along, p + across - along, p - across - along});
    }

    const point_t a_plus = start + n * h;
    const point_t a_minus = start - n * h;
    const point_t b_plus = end + n * h;
    const point_t b_minus = end - n * h;
    set_corners(outline, {a_plus, a_minus, b_minus, b_plus});
    const point_t short_of_end = d * head_length;
    set_corners(shaft, {a_plus, a_minus, b_plus - short_of_end, b_minus - short_of_end});
    const point_t head_side = n * head_half_width;
    set_corners(head,
                {end - head_side, end + head_side, end - short_of_end - head_side, end - short_of_end + head_side});
    tag = new_tag;
}

void ui_comp_arrow_t::get_params(uint32_t& out_state, int32_t& out_tag) const
{
    out_state = state;
    out_tag = tag;
}

bool ui_comp_arrow_t::hit_test(const int x, const int y) const
{
    if (!is_visible())
        return false;
    const float px = static_cast<float>(x);
    const float py = static_cast<float>(y);
    bool inside = false;
    // Even-odd crossings of a ray from the point towards +x. An edge spans the point's y when one end is
    // above it and the other at or below, so a corner on that line counts once and flat edges never.
    for (int i = 0, j = 3; i < 4; j = i++) {
        const float xi = outline[i][0];
        const float yi = outline[i][1];
        const float xj = outline[j][0];
        const float yj = outline[j][1];
        if ((yi > py) == (yj > py))
            continue;
        const float crossing = xi + (py - yi) * (xj - xi) / (yj - yi);
        if (crossing >= px)
            inside = !inside;
    }
    return inside;
}

void ui_comp_arrow_t::draw()
{
    if (!is_visible())
        return;
    gfx_data_t data = ui_quad_record(ui_quad_flags, 4, &shaft[0][0], shaft_colours);
    ui_submit_quads(data, shaft_shader);
    data.positions = &head[0][0];
    data.colours = head_colours;
    ui_submit_quads(data, head_shader);
    if (state != ui_arrow_state_marked)
        return;
    data.positions = &marker[0][0];
    data.colours = marker_colours;
    ui_submit_quads(data, marker_shader);
}
