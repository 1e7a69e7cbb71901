#include "ui/components/ui_comp_double_bar.h"

#include <algorithm>

#include "engine/ui_window.h"
#include "ui/components/ui_quad_draw.h"

const evalue_def_t ui_comp_double_bar_t::evd_worse_color =
    evalue_member("worse_color", evalue_hex, sizeof(uint32_t), evalue_bind<&ui_comp_double_bar_t::worse_color>,
                  &ui_view_t::evd_id, "0xFF2020F0", evalue_bind_status<&ui_comp_double_bar_t::color_status>);
const evalue_def_t ui_comp_double_bar_t::evd_better_color =
    evalue_member("better_color", evalue_hex, sizeof(uint32_t), evalue_bind<&ui_comp_double_bar_t::better_color>,
                  &evd_worse_color, "0xFF20F020", evalue_bind_status<&ui_comp_double_bar_t::color_status>);
const evalue_def_t ui_comp_double_bar_t::evd_normal_color =
    evalue_member("normal_color", evalue_hex, sizeof(uint32_t), evalue_bind<&ui_comp_double_bar_t::normal_color>,
                  &evd_better_color, "0xFFFFFFFF", evalue_bind_status<&ui_comp_double_bar_t::color_status>);

const level_list_t ui_comp_double_bar_t::double_bar_init_list(&entity_t::init_list, {0});
const level_list_t ui_comp_double_bar_t::double_bar_destroy_list(&entity_t::destroy_list, {0});

namespace {

// A fraction of the bar: at most 1, and nothing left of the bar's start.
float bar_fraction(const float value) { return value >= 1.0f ? 1.0f : (value > 0.0f ? value : 0.0f); }

}  // namespace

int ui_comp_double_bar_t::init(const int phase)
{
    const int result = ui_view_t::init(phase);
    if (result == 0 && phase == 0)
        show_first_values();
    return result;
}

int ui_comp_double_bar_t::destroy(const int phase)
{
    if (phase == 0)
        ui_shader_release(shader);
    return ui_view_t::destroy(phase);
}

void ui_comp_double_bar_t::handler()
{
    ui_view_t::handler();
    if ((color_status & evalue_changed) == 0)
        return;
    color_status &= static_cast<uint8_t>(~evalue_changed);
    std::fill(colours, colours + 4, normal_color);
    std::fill(colours + 4, colours + 8, better_color);
    changed(ui_change_property);
}

void ui_comp_double_bar_t::changed(const unsigned mask)
{
    ui_view_t::changed(mask);
    if (mask & (ui_change_rect | ui_change_property))
        show_first_values();
}

void ui_comp_double_bar_t::show_first_values()
{
    if (const ui_window_t* const owner = window()) {
        if (owner->preview)
            set_values(0.5f, 0.2f, false);
        else
            set_values(0.0f, 0.0f, false);
    }
    // Taken again before the old reference goes, so the shader is never unloaded in between.
    c_item_t* old = shader;
    shader = ui_shader_load("/shaders/ui/white.shd");
    ui_shader_release(old);
}

void ui_comp_double_bar_t::place_quad(const int quad, const float from, const float to)
{
    const float width = rect.right - rect.left;
    const float start = rect.left + from * width;
    const float end = rect.left + to * width;
    const float corners[4][2] = {{start, rect.top}, {start, rect.bottom}, {end, rect.top}, {end, rect.bottom}};
    for (int i = 0; i < 4; ++i) {
        float* const vertex = vertices[quad * 4 + i];
        vertex[0] = corners[i][0];
        vertex[1] = corners[i][1];
        vertex[2] = 0.0f;
    }
}

void ui_comp_double_bar_t::set_values(const float first, const float second, const bool reversed)
{
    const float a = bar_fraction(first);
    const float b = bar_fraction(second);
    if (b > 0.001f && b < a) {
        place_quad(0, 0.0f, b);
        place_quad(1, b, a);
    } else {
        place_quad(0, 0.0f, a);
        place_quad(1, a, b);
    }
    if (b <= 0.001f || a == b) {
        vertex_count = 4;
        return;
    }
    vertex_count = 8;
    const bool better = (b > a) != reversed;
    std::fill(colours + 4, colours + 8, better ? better_color : worse_color);
}

void ui_comp_double_bar_t::draw()
{
    if (!is_visible())
        return;
    gfx_data_t data = ui_quad_record(ui_quad_world_flags, vertex_count, &vertices[0][0], colours);
    ui_submit_quads(data, shader);
}
