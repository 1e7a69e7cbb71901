#include <algorithm>

#include "engine/pml.h"
#include "engine/pml_font.h"
#include "dialog_window.h"

namespace {

// Reference screen and the caption bar above a dialog's client area.
constexpr float screen_width = 1024.0f;
constexpr float screen_height = 768.0f;
constexpr float units = 2.0f;
constexpr float caption_height = 22.0f;
constexpr float border = 3.0f;
// Lines at least a pixel wide on the smallest screen (640 pixels across the 1024 reference units).
constexpr float line = 2.0f;

// Colours, 0xAABBGGRR.
constexpr unsigned face = 0xFFC0C0C0;
constexpr unsigned white = 0xFFFFFFFF;
constexpr unsigned black = 0xFF000000;
constexpr unsigned grey_text = 0xFF808080;
constexpr unsigned shadow = 0xFF404040;
constexpr unsigned title_blue = 0xFF800000;

struct canvas_t {
    pml_buffer_t buffer{16384 * pml_item_bytes};

    void box(float left, float top, float right, float bottom, unsigned colour)
    {
        pml_item_t item;
        item.box = {left, right, top, bottom};
        item.color = colour;
        buffer.push(item);
    }
    void frame(float left, float top, float right, float bottom, unsigned colour)
    {
        box(left, top, right, top - line, colour);
        box(left, bottom + line, right, bottom, colour);
        box(left, top, left + line, bottom, colour);
        box(right - line, top, right, bottom, colour);
    }
    // Writes `text` from (left, top) on one line, cut at `right`.
    void text(const std::string& text, float left, float top, float right, unsigned colour)
    {
        const pml_font_t& font = pml_font_get(0);
        float x = left;
        for (const char c : text) {
            const float width = font.width(static_cast<unsigned char>(c));
            if (x + width > right)
                break;
            pml_item_t item;
            item.id = static_cast<unsigned char>(c);
            item.box = {x, x + width, top, top - font.line_height()};
            item.color = colour;
            buffer.push(item);
            x += width;
        }
    }
    float text_width(const std::string& text) const
    {
        const pml_font_t& font = pml_font_get(0);
        float width = 0.0f;
        for (const char c : text)
            width += font.width(static_cast<unsigned char>(c));
        return width;
    }
};

void paint_control(canvas_t& canvas, const dialog_control_t& control, const dialog_place_t& place, bool focused)
{
    const float left = place.left + control.x * place.scale;
    const float top = place.top - control.y * place.scale;
    const float right = left + control.cx * place.scale;
    const float bottom = top - control.cy * place.scale;
    const float text_line = pml_font_get(0).line_height();
    const unsigned ink = control.enabled ? black : grey_text;
    const float middle = (top + bottom + text_line) * 0.5f;
    switch (control.kind) {
    case dlg_static:
        canvas.text(control.text, left, top, right, ink);
        break;
    case dlg_group:
        canvas.frame(left, top - text_line * 0.5f, right, bottom, grey_text);
        canvas.box(left + 6.0f, top, left + 10.0f + canvas.text_width(control.text), top - text_line, face);
        canvas.text(control.text, left + 8.0f, top, right, ink);
        break;
    case dlg_push: {
        canvas.box(left, top, right, bottom, shadow);
        canvas.box(left, top, right - line, bottom + line, white);
        canvas.box(left + line, top - line, right - line, bottom + line, face);
        if (focused)
            canvas.frame(left + 4.0f, top - 4.0f, right - 4.0f, bottom + 4.0f, black);
        const float width = canvas.text_width(control.text);
        canvas.text(control.text, std::max(left + 2.0f, (left + right - width) * 0.5f), middle, right, ink);
        break;
    }
    case dlg_check:
    case dlg_radio: {
        const float size = 12.0f;
        const float box_top = (top + bottom + size) * 0.5f;
        canvas.box(left, box_top, left + size, box_top - size, shadow);
        canvas.box(left + 1.0f, box_top - 1.0f, left + size - 1.0f, box_top - size + 1.0f,
                   control.enabled ? white : face);
        if (control.checked) {
            const float inset = control.kind == dlg_radio ? 4.0f : 3.0f;
            canvas.box(left + inset, box_top - inset, left + size - inset, box_top - size + inset, ink);
        }
        canvas.text(control.text, left + size + 4.0f, middle, right, ink);
        if (focused)
            canvas.frame(left + size + 2.0f, middle + 1.0f,
                         std::min(right, left + size + 6.0f + canvas.text_width(control.text)),
                         middle - text_line - 1.0f, black);
        break;
    }
    case dlg_edit:
    case dlg_combo: {
        const float height = control.kind == dlg_combo ? text_line + 6.0f : top - bottom;
        canvas.box(left, top, right, top - height, shadow);
        canvas.box(left + line, top - line, right - line, top - height + line, control.enabled ? white : face);
        std::string shown = control.text;
        if (control.kind == dlg_combo)
            shown = control.selected >= 0 ? control.rows[static_cast<size_t>(control.selected)].first : "";
        const float text_right = control.kind == dlg_combo ? right - 16.0f : right - 3.0f;
        if (focused)
            canvas.box(left + 2.0f, top - 2.0f, std::min(text_right, left + 4.0f + canvas.text_width(shown)),
                       top - height + 2.0f, title_blue);
        canvas.text(shown, left + 3.0f, top - 3.0f, text_right, focused ? white : ink);
        if (control.kind == dlg_combo) {
            canvas.box(right - 15.0f, top - line, right - line, top - height + line, face);
            canvas.box(right - 11.0f, top - height * 0.5f + 2.0f, right - 5.0f, top - height * 0.5f - 2.0f, ink);
        }
        break;
    }
    case dlg_list: {
        canvas.box(left, top, right, bottom, shadow);
        canvas.box(left + line, top - line, right - line, bottom + line, control.enabled ? white : face);
        float y = top - 2.0f;
        for (size_t row = 0; row < control.rows.size() && y - text_line >= bottom; ++row, y -= text_line) {
            const bool selected = static_cast<int>(row) == control.selected;
            if (selected)
                canvas.box(left + 2.0f, y, right - 2.0f, y - text_line, focused ? title_blue : grey_text);
            canvas.text(control.rows[row].first, left + 4.0f, y, right - 2.0f, selected ? white : ink);
        }
        break;
    }
    case dlg_trackbar: {
        const float axis = (top + bottom) * 0.5f;
        canvas.box(left + 4.0f, axis + 2.0f, right - 4.0f, axis - 2.0f, shadow);
        const int span = std::max(1, control.range_max - control.range_min);
        const float at =
            left + 4.0f +
            (right - left - 8.0f) * static_cast<float>(control.position - control.range_min) / static_cast<float>(span);
        canvas.box(at - 4.0f, axis + 9.0f, at + 4.0f, axis - 9.0f, focused ? black : shadow);
        canvas.box(at - 3.0f, axis + 8.0f, at + 3.0f, axis - 8.0f, face);
        break;
    }
    }
}

}  // namespace

dialog_place_t dialog_place(const dialog_window_t& dialog)
{
    const float width = dialog.cx * units;
    const float height = dialog.cy * units + caption_height;
    return {(screen_width - width) * 0.5f, (screen_height + height) * 0.5f - caption_height, units};
}

void dialog_paint_running()
{
    canvas_t canvas;
    for (const dialog_window_t* dialog : dialog_running()) {
        const dialog_place_t place = dialog_place(*dialog);
        const float right = place.left + dialog->cx * place.scale;
        const float bottom = place.top - dialog->cy * place.scale;
        canvas.box(place.left - border, place.top + caption_height + border, right + border, bottom - border, shadow);
        canvas.box(place.left - border + 1.0f, place.top + caption_height + border - 1.0f, right + border - 1.0f,
                   bottom - border + 1.0f, face);
        canvas.box(place.left, place.top + caption_height, right, place.top + 2.0f, title_blue);
        canvas.text(dialog->caption, place.left + 4.0f, place.top + caption_height - 3.0f, right - 4.0f, white);
        for (size_t i = 0; i < dialog->controls.size(); ++i) {
            const dialog_control_t& control = *dialog->controls[i];
            if (control.visible)
                paint_control(canvas, control, place, static_cast<int>(i) == dialog->focus);
        }
    }
    pml_buffer_flush(canvas.buffer, 0.0f, 0.0f);
}
