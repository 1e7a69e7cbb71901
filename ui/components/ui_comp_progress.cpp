#include "ui/components/ui_comp_progress.h"

#include "engine/ui_window.h"
#include "ui/components/ui_quad_draw.h"

const level_list_t ui_comp_progress_t::progress_init_list(&entity_t::init_list, {0});
const level_list_t ui_comp_progress_t::progress_destroy_list(&entity_t::destroy_list, {0});

int ui_comp_progress_t::init(const int phase)
{
    const int result = ui_view_t::init(phase);
    if (result == 0 && phase == 0)
        show_first_value();
    return result;
}

int ui_comp_progress_t::destroy(const int phase)
{
    if (phase == 0)
        ui_shader_release(shader);
    return ui_view_t::destroy(phase);
}

void ui_comp_progress_t::changed(const unsigned mask)
{
    ui_view_t::changed(mask);
    if (mask & (ui_change_rect | ui_change_property))
        show_first_value();
}

void ui_comp_progress_t::show_first_value()
{
    if (const ui_window_t* const owner = window())
        set_progress(owner->preview ? 0.5f : 0.0f);
    // Taken again before the old reference goes, so the shader is never unloaded in between.
    c_item_t* old = shader;
    shader = ui_shader_load("/shaders/ui/white.shd");
    ui_shader_release(old);
}

void ui_comp_progress_t::set_progress(const float fraction)
{
    // A negative fraction would draw to the left of the bar.
    const float filled = fraction >= 1.0f ? 1.0f : (fraction > 0.0f ? fraction : 0.0f);
    const float end = rect.left + (rect.right - rect.left) * filled;
    const float corners[4][2] = {{rect.left, rect.top}, {rect.left, rect.bottom}, {end, rect.top}, {end, rect.bottom}};
    for (int i = 0; i < 4; ++i) {
        vertices[i][0] = corners[i][0];
        vertices[i][1] = corners[i][1];
        vertices[i][2] = 0.0f;
    }
}

void ui_comp_progress_t::draw()
{
    if (!is_visible())
        return;
    gfx_data_t data = ui_quad_record(ui_quad_flags, 4, &vertices[0][0], colours);
    ui_submit_quads(data, shader);
}
