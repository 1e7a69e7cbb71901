// Generating a frame's markup from the view's size and its pictures' sizes.
#include <algorithm>
#include <cstdio>

#include "frame/engine_api.h"
#include "ui/components/ui_frame_base.h"

namespace {

// Bytes of the buffer one generated piece is written into.
constexpr size_t piece_bytes = 1024;

// Renders `piece` in the current bounds and appends it to `markup`. The markup system reports a bad
// piece or one that does not fit.
void append_piece(const char* piece, pml_buffer_t& markup)
{
    pml_reset();
    if (pml_render(piece))
        pml_buffer_get(markup, true);
    pml_reset();
}

// Formats one piece into a buffer of piece_bytes and appends it; a piece that would not fit is
// reported and left out rather than cut inside a tag.
template <typename... args_t> void append_formatted(pml_buffer_t& markup, const char* format, args_t... args)
{
    char piece[piece_bytes];
    const int length = snprintf(piece, sizeof piece, format, args...);
    if (length < 0 || static_cast<size_t>(length) >= sizeof piece) {
        api::error("<ui_frame_base_t> a piece of the frame is longer than %zu bytes", piece_bytes - 1);
        return;
    }
    append_piece(piece, markup);
}

}  // namespace

void ui_frame_base_t::generate()
{
    markup.reset();
    pml_set_bounds(rect, (view_flags & ui_view_reference_units) != 0);
    // The pieces are laid out in the markup's own units, whatever units the rectangle was given in.
    const pml_rect_t bounds = pml_get_render_bounds();
    const float width = bounds.right - bounds.left;
    const float height = bounds.top - bounds.bottom;
    const int cw = corner_size.width;
    const int ch = corner_size.height;
    const unsigned long tint = color;

    if (corner_size.present)
        append_formatted(markup,
                         "<COLOR VALUE=%08lX><IMG SRC=%s LEFT=0.5 TOP=0.5 WIDTH=%d HEIGHT=%d><RET>"
                         "<OFFSET VSHIFT=%.1f><IMG SRC=%s LEFT=0.5 BOTTOM=0.5 WIDTH=%d HEIGHT=%d><RET>"
                         "<OFFSET HSHIFT=%.1f><IMG SRC=%s TOP=0.5 RIGHT=0.5 WIDTH=%d HEIGHT=%d><RET>"
                         "<OFFSET VSHIFT=%.1f HSHIFT=%.1f><IMG SRC=%s RIGHT=0.5 BOTTOM=0.5 WIDTH=%d HEIGHT=%d>",
                         tint, corner, cw, ch, static_cast<double>(height - ch), corner, cw, ch,
                         static_cast<double>(width - cw), corner, cw, ch, static_cast<double>(height - ch),
                         static_cast<double>(width - cw), corner, cw, ch);
    built = true;

    if (inside_size.present) {
        const int inset_x = inside_inset ? std::min(cw, vline_size.width) : 0;
        const int inset_y = inside_inset ? std::min(ch, hline_size.height) : 0;
        if (2.0f * static_cast<float>(inset_x) < width && 2.0f * static_cast<float>(inset_y) < height)
            append_formatted(markup, "<COLOR VALUE=%08lX><OFFSET HSHIFT=%d VSHIFT=%d><IMG SRC=%s %s WIDTH=%.1f HEIGHT=%.1f>",
                             tint, inset_x, inset_y, inside,
                             inside_tile ? "XSCALE=REPEAT YSCALE=REPEAT" : "XSCALE=STRETCH YSCALE=STRETCH",
                             static_cast<double>(width - 2.0f * static_cast<float>(inset_x)),
                             static_cast<double>(height - 2.0f * static_cast<float>(inset_y)));
    }

    const char* const scale = tile ? "REPEAT" : "STRETCH";
    if (hline_size.present && 2.0f * static_cast<float>(cw) < width) {
        const int hh = hline_size.height;
        const double length = static_cast<double>(width - 2.0f * static_cast<float>(cw));
        append_formatted(markup,
                         "<COLOR VALUE=%08lX><OFFSET HSHIFT=%.1f><IMG SRC=%s XSCALE=%s TOP=0.5 WIDTH=%.1f HEIGHT=%d><RET>"
                         "<OFFSET HSHIFT=%.1f VSHIFT=%.1f><IMG SRC=%s XSCALE=%s BOTTOM=0.5 WIDTH=%.1f HEIGHT=%d>",
                         tint, static_cast<double>(cw), hline, scale, length, hh, static_cast<double>(cw),
                         static_cast<double>(height - hh), hline, scale, length, hh);
    }

    if (vline_size.present && 2.0f * static_cast<float>(ch) < height) {
        const int vw = vline_size.width;
        const double length = static_cast<double>(height - 2.0f * static_cast<float>(ch));
        append_formatted(markup,
                         "<COLOR VALUE=%08lX><OFFSET VSHIFT=%.1f><IMG SRC=%s YSCALE=%s LEFT=0.5 WIDTH=%d HEIGHT=%.1f><RET>"
                         "<OFFSET HSHIFT=%.1f VSHIFT=%.1f><IMG SRC=%s YSCALE=%s RIGHT=0.5 WIDTH=%d HEIGHT=%.1f>",
                         tint, static_cast<double>(ch), vline, scale, vw, length, static_cast<double>(width - vw),
                         static_cast<double>(ch), vline, scale, vw, length);
    }

    // The text is the script's own markup: rendered whole, never cut to a piece's size.
    if (!text.is_empty())
        append_piece(text.c_str(), markup);
    rebuild_needed = false;
}
