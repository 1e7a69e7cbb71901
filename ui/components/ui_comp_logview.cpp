#include "ui/components/ui_comp_logview.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/gfx_view.h"
#include "engine/pml_font.h"
#include "engine/ui.h"
#include "common/engine_api.h"
#include "ui/components/ui_markup_view.h"

const evalue_def_t ui_comp_logview_t::evd_offset = evalue_member(
    "offset", evalue_int, sizeof(int32_t), evalue_bind<&ui_comp_logview_t::history_offset>, &ui_view_t::evd_id, "0");

ui_comp_logview_t::ui_comp_logview_t() { class_flags |= ui_class_markup; }

void ui_comp_logview_t::handler()
{
    ui_view_t::handler();
    if (!ui_markup_view_visible(this, window_item, built, false))
        return;
    countdown -= api::sys_get_lastdelta();
    if (built && countdown > 0.0f)
        return;
    countdown = ui_logview_refresh;
    build_lines();
    if (ui_view_invalidate_layer(this, window_item, true))
        built = true;
}

void ui_comp_logview_t::build_lines()
{
    const pml_font_t& font = pml_font_get(pml_font_find(pml_default_font_path));
    const float ascent = static_cast<float>(font.ascent);
    const float descent = static_cast<float>(font.descent);

    const int count = api::message_history_count();
    if (count <= 0 || history_offset < 0)
        history_offset = 0;
    else if (history_offset >= count)
        history_offset = count - 1;

    // The lines fill the hit area when the script gave one, else the rectangle.
    const pml_rect_t box = area.left == ui_area_unset ? rect : area;
    const bool reference_units = (view_flags & ui_view_reference_units) != 0;
    int reference_width = 0;
    int reference_height = 0;
    ui_get_reference_mode(&reference_width, &reference_height);
    gfx_params_t device{};
    api::gfx_get_params(&device);
    const float pixel = reference_units && device.height > 0 && reference_height > 0
                            ? static_cast<float>(reference_height) / static_cast<float>(device.height)
                            : 1.0f;

    markup.reset();
    pml_set_bounds(box, reference_units);
    float position = box.top;
    int index = history_offset;
    bool more_line = history_offset != 0;
    while (position > box.bottom) {
        std::string line = ui_logview_more_line;
        if (!more_line) {
            if (index >= count)
                break;
            // Messages show as written: a message about bad markup must not make another one.
            const char* const text = api::message_history(index++);
            line = std::string("<VERBATIM>") + (text ? text : "") + "</VERBATIM>";
        }
        more_line = false;
        pml_reset();
        pml_render(line.c_str());
        const bool fetched = pml_buffer_get(scratch, false);
        pml_reset();
        pml_rect_t bounds;
        if (!fetched || !scratch.get_bounds(bounds)) {
            position -= ascent + descent;
            continue;
        }
        const float top = std::floor(position / pixel + 0.5f) * pixel;
        scratch.offset(0.0f, top - bounds.top);
        for (size_t i = 0; i < scratch.count(); ++i)
            if (scratch.item(i).box.bottom < box.bottom)
                scratch.item(i).flags |= pml_item_hidden;
        if (!markup.append_from(scratch))
            break;
        position -= std::max(ascent + descent, bounds.top - bounds.bottom + descent);
    }
}

void ui_comp_logview_t::pml_precache() { ui_markup_view_precache(this, window_item, built, markup); }
