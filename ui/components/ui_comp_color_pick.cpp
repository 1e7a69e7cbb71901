#include "ui/components/ui_comp_color_pick.h"

#include <algorithm>
#include <cmath>

#include "engine/cache.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"
#include "ui/components/ui_quad_draw.h"

namespace {

// The shader of the strip and the field.
constexpr const char* mesh_shader = "shaders/2d/uidefault.shd";
constexpr uint32_t white = 0xFFFFFFFFu;
const uint32_t white_corners[4] = {white, white, white, white};

// One colour channel in 0 to 1 as a byte.
uint32_t colour_byte(const float c)
{
    return static_cast<uint32_t>(std::nearbyint(std::clamp(c, 0.0f, 1.0f) * 255.0f));
}

// An engine colour word from RGB in 0 to 1 (red in the low byte): what the picker takes and gives.
uint32_t colour_word(const float red, const float green, const float blue)
{
    return 0xFF000000u | colour_byte(blue) << 16 | colour_byte(green) << 8 | colour_byte(red);
}

// A vertex colour from RGB in 0 to 1: the renderer reads red in the high byte, so the strip and the
// field are drawn in the colours the picker gives out.
uint32_t vertex_colour(const float red, const float green, const float blue)
{
    return 0xFF000000u | colour_byte(red) << 16 | colour_byte(green) << 8 | colour_byte(blue);
}

// The texture size of a shader handle, zero without a texture.
void texture_size(c_item_t* shader, int size[2])
{
    size[0] = size[1] = 0;
    if (const auto* loaded = static_cast<const gfx_shader_t*>(c_item_lock(shader))) {
        if (loaded->has_texture) {
            size[0] = loaded->width;
            size[1] = loaded->height;
        }
        c_item_release(shader);
    }
}

// A quad (strip of four corners) from left, right, bottom and top.
void set_quad(float quad[12], const float left, const float right, const float bottom, const float top)
{
    const float corners[12] = {left, bottom, 0, right, bottom, 0, left, top, 0, right, top, 0};
    std::copy(corners, corners + 12, quad);
}

bool inside(const pml_rect_t& box, const float x, const float y)
{
    return x >= box.left && x <= box.right && y >= box.bottom && y <= box.top;
}

}  // namespace

const evalue_def_t ui_comp_color_pick_t::evd_sv_cursor =
    evalue_member("sv_cursor", evalue_text, 64, evalue_bind<&ui_comp_color_pick_t::sv_cursor>, &ui_view_t::evd_id,
                  nullptr, evalue_bind_status<&ui_comp_color_pick_t::sv_cursor_status>);
const evalue_def_t ui_comp_color_pick_t::evd_hue_cursor =
    evalue_member("hue_cursor", evalue_text, 64, evalue_bind<&ui_comp_color_pick_t::hue_cursor>, &evd_sv_cursor,
                  nullptr, evalue_bind_status<&ui_comp_color_pick_t::hue_cursor_status>);
const evalue_def_t ui_comp_color_pick_t::evd_sv_width =
    evalue_member("sv_width", evalue_int, sizeof(int32_t), evalue_bind<&ui_comp_color_pick_t::sv_width>,
                  &evd_hue_cursor, "64", evalue_bind_status<&ui_comp_color_pick_t::sv_width_status>);
const evalue_def_t ui_comp_color_pick_t::evd_hue_width =
    evalue_member("hue_width", evalue_int, sizeof(int32_t), evalue_bind<&ui_comp_color_pick_t::hue_width>,
                  &evd_sv_width, "32", evalue_bind_status<&ui_comp_color_pick_t::hue_width_status>);

ui_comp_color_pick_t::ui_comp_color_pick_t() = default;

void ui_comp_color_pick_t::hsv_to_rgb(const float h, const float s, const float v, float& red, float& green,
                                      float& blue)
{
    if (h == -1.0f) {
        red = green = blue = v;
        return;
    }
    const int i = static_cast<int>(std::floor(h));
    const float f = h - static_cast<float>(i);
    const float m = v * (1.0f - s);
    const float k = (i & 1) ? v * (1.0f - s * f) : v * (1.0f - s * (1.0f - f));
    switch (i) {
    case 0:
    case 6:
        red = v, green = k, blue = m;
        break;
    case 1:
        red = k, green = v, blue = m;
        break;
    case 2:
        red = m, green = v, blue = k;
        break;
    case 3:
        red = m, green = k, blue = v;
        break;
    case 4:
        red = k, green = m, blue = v;
        break;
    case 5:
        red = v, green = m, blue = k;
        break;
    default:
        // Outside the hexcone: grey rather than colours left unset.
        red = green = blue = v;
        break;
    }
}

void ui_comp_color_pick_t::rgb_to_hsv(const float red, const float green, const float blue, float& h, float& s,
                                      float& v)
{
    v = std::max({red, green, blue});
    const float smallest = std::min({red, green, blue});
    if (v == smallest) {
        h = 0.0f;
        s = 0.0f;
        return;
    }
    const float delta = v - smallest;
    if (red == smallest)
        h = 3.0f - (green - blue) / delta;
    else if (green == smallest)
        h = 5.0f - (blue - red) / delta;
    else
        h = 1.0f - (red - green) / delta;
    s = delta / v;
}

uint32_t ui_comp_color_pick_t::get_color() const
{
    float red = 0, green = 0, blue = 0;
    hsv_to_rgb(hue, saturation, value, red, green, blue);
    return colour_word(red, green, blue);
}

void ui_comp_color_pick_t::set_color(const uint32_t colour)
{
    rgb_to_hsv(static_cast<float>(colour & 0xFF) / 255.0f, static_cast<float>(colour >> 8 & 0xFF) / 255.0f,
               static_cast<float>(colour >> 16 & 0xFF) / 255.0f, hue, saturation, value);
    colour_field();
    place_cursors();
}

int ui_comp_color_pick_t::init(const int phase)
{
    if (const int failed = ui_view_t::init(phase))
        return failed;
    if (phase == 0) {
        strip_shader = ui_shader_load(mesh_shader);
        field_shader = ui_shader_load(mesh_shader);
        build_geometry();
    }
    return 0;
}

int ui_comp_color_pick_t::destroy(const int phase)
{
    if (phase == 0)
        for (c_item_t** shader : {&strip_shader, &field_shader, &hue_cursor_shader, &sv_cursor_shader})
            ui_shader_release(*shader);
    return ui_view_t::destroy(phase);
}

void ui_comp_color_pick_t::build_geometry()
{
    if (hue_cursor[0]) {
        ui_shader_release(hue_cursor_shader);
        hue_cursor_shader = ui_shader_load(hue_cursor);
        texture_size(hue_cursor_shader, hue_cursor_size);
    }
    if (sv_cursor[0]) {
        ui_shader_release(sv_cursor_shader);
        sv_cursor_shader = ui_shader_load(sv_cursor);
        texture_size(sv_cursor_shader, sv_cursor_size);
    }
    const float height = rect.top - rect.bottom;
    strip_box = {std::max(rect.left, rect.right - static_cast<float>(hue_width)), rect.right, rect.top, rect.bottom};
    for (int r = 0; r < strip_rows; ++r) {
        const float y = rect.bottom + static_cast<float>(r) * height / static_cast<float>(strip_rows - 1);
        float* row = strip_positions + r * 6;
        row[0] = strip_box.left, row[1] = y, row[2] = 0.0f;
        row[3] = strip_box.right, row[4] = y, row[5] = 0.0f;
    }
    for (int r = 0; r + 1 < strip_rows; ++r) {
        const auto base = static_cast<uint16_t>(r * 2);
        const uint16_t quad[6] = {base,
                                  static_cast<uint16_t>(base + 1),
                                  static_cast<uint16_t>(base + 2),
                                  static_cast<uint16_t>(base + 1),
                                  static_cast<uint16_t>(base + 3),
                                  static_cast<uint16_t>(base + 2)};
        std::copy(quad, quad + 6, strip_indices + r * 6);
    }
    field_box = {rect.left, std::min(rect.right, rect.left + static_cast<float>(sv_width)), rect.top, rect.bottom};
    const float width = field_box.right - field_box.left;
    for (int r = 0; r < field_side; ++r)
        for (int c = 0; c < field_side; ++c) {
            float* vertex = field_positions + (r * field_side + c) * 3;
            vertex[0] = rect.left + static_cast<float>(c) * width / static_cast<float>(field_side - 1);
            vertex[1] = rect.bottom + static_cast<float>(r) * height / static_cast<float>(field_side - 1);
            vertex[2] = 0.0f;
        }
    for (int r = 0; r + 1 < field_side; ++r)
        for (int c = 0; c + 1 < field_side; ++c) {
            const auto at = static_cast<uint16_t>(r * field_side + c);
            const uint16_t quad[6] = {at,
                                      static_cast<uint16_t>(at + 1),
                                      static_cast<uint16_t>(at + field_side),
                                      static_cast<uint16_t>(at + 1),
                                      static_cast<uint16_t>(at + field_side + 1),
                                      static_cast<uint16_t>(at + field_side)};
            std::copy(quad, quad + 6, field_indices + (r * (field_side - 1) + c) * 6);
        }
    colour_strip();
    colour_field();
    place_cursors();
}

void ui_comp_color_pick_t::colour_strip()
{
    for (int r = 0; r < strip_rows; ++r) {
        float red = 0, green = 0, blue = 0;
        hsv_to_rgb(static_cast<float>(r) * 0.046875f, 1.0f, 1.0f, red, green, blue);
        strip_colours[r * 2] = strip_colours[r * 2 + 1] = vertex_colour(red, green, blue);
    }
}

void ui_comp_color_pick_t::colour_field()
{
    for (int r = 0; r < field_side; ++r)
        for (int c = 0; c < field_side; ++c) {
            float red = 0, green = 0, blue = 0;
            hsv_to_rgb(hue, static_cast<float>(c) / 32.0f, static_cast<float>(r) / 32.0f, red, green, blue);
            field_colours[r * field_side + c] = vertex_colour(red, green, blue);
        }
}

void ui_comp_color_pick_t::place_cursors()
{
    const float height = rect.top - rect.bottom;
    const float hue_y = rect.bottom + height * hue / 6.0f;
    const auto hue_w = static_cast<float>(hue_cursor_size[0]);
    const auto hue_h = static_cast<float>(hue_cursor_size[1]);
    set_quad(hue_cursor_quad, std::max(rect.left, rect.right - hue_w), rect.right, hue_y - hue_h / 2.0f,
             hue_y + hue_h / 2.0f);
    const float x = rect.left + (field_box.right - rect.left) * saturation;
    const float y = rect.bottom + height * value;
    const auto sv_w = static_cast<float>(sv_cursor_size[0]);
    const auto sv_h = static_cast<float>(sv_cursor_size[1]);
    set_quad(sv_cursor_quad, x - sv_w / 2.0f, x + sv_w / 2.0f, y - sv_h / 2.0f, y + sv_h / 2.0f);
}

void ui_comp_color_pick_t::handler()
{
    ui_view_t::handler();
    for (const evalue_def_t* def : {&evd_hue_width, &evd_sv_width, &evd_hue_cursor, &evd_sv_cursor})
        if (evalue_take_changed(this, def))
            changed(ui_change_property);
}

void ui_comp_color_pick_t::changed(const unsigned mask)
{
    if (mask & (ui_change_rect | ui_change_property))
        build_geometry();
    ui_view_t::changed(mask);
}

void ui_comp_color_pick_t::pick(const float x, const float y)
{
    const float height = rect.top - rect.bottom;
    if (height <= 0.0f)
        return;
    if (inside(strip_box, x, y)) {
        hue = std::clamp((y - rect.bottom) / height * 6.0f, 0.0f, 6.0f);
        colour_field();
        place_cursors();
        picked = 1;
    } else if (inside(field_box, x, y) && field_box.right > rect.left) {
        saturation = std::clamp((x - rect.left) / (field_box.right - rect.left), 0.0f, 1.0f);
        value = std::clamp((y - rect.bottom) / height, 0.0f, 1.0f);
        place_cursors();
        picked = 1;
    }
}

bool ui_comp_color_pick_t::action(ui_view_t* sender, const int code, void* param)
{
    const bool result = ui_view_t::action(sender, code, param);
    const auto* pointer = static_cast<const ui_pointer_param_t*>(param);
    if (!pointer)
        return result;
    ui_window_t* own = window();
    if (code == ui_action_pointer_down) {
        if (held_buttons) {
            held_buttons |= pointer->buttons;
            return result;
        }
        if (own)
            own->capture_events(this, true, true);
        pick(pointer->x, pointer->y);
        held_buttons |= pointer->buttons;
    } else if (code == ui_action_pointer_up) {
        held_buttons &= ~pointer->buttons;
        if (!held_buttons && own)
            own->capture_events(this, false, true);
    } else if (code == ui_action_pointer_move && held_buttons == 1) {
        pick(pointer->x, pointer->y);
    }
    return result;
}

void ui_comp_color_pick_t::draw()
{
    if (!is_visible())
        return;
    gfx_data_t strip = ui_quad_record(ui_quad_flags | gfx_data_indices, strip_rows * 2, strip_positions, strip_colours);
    strip.primitive = gfx_triangle_list;
    strip.texcoords = nullptr;
    strip.flags &= ~static_cast<uint32_t>(gfx_data_texcoords);
    strip.index_count = (strip_rows - 1) * 6;
    strip.indices = strip_indices;
    if (strip_shader)
        ui_submit_quads(strip, strip_shader);
    gfx_data_t field = strip;
    field.vertex_count = field_side * field_side;
    field.positions = field_positions;
    field.colours = field_colours;
    field.index_count = (field_side - 1) * (field_side - 1) * 6;
    field.indices = field_indices;
    if (field_shader)
        ui_submit_quads(field, field_shader);
    for (const auto& [quad, shader] :
         {std::pair{hue_cursor_quad, hue_cursor_shader}, std::pair{sv_cursor_quad, sv_cursor_shader}})
        if (shader) {
            gfx_data_t cursor = ui_quad_record(ui_quad_flags, 4, quad, white_corners);
            ui_submit_quads(cursor, shader);
        }
}
