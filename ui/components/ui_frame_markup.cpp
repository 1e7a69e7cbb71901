// Generating a frame's markup from the view's size and its pictures' sizes.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/engine_api.h"
#include "ui/components/ui_frame_base.h"

namespace {

// Bytes of the buffer one generated piece is written into.
constexpr size_t piece_bytes = 1024;

// Formats one piece into a buffer of piece_bytes and adds it to `pieces`; a piece that would not fit
// is reported and left out rather than cut inside a tag.
template <typename... args_t> void add_piece(std::vector<std::string>& pieces, const char* format, args_t... args)
{
    char piece[piece_bytes];
    const int length = snprintf(piece, sizeof piece, format, args...);
    if (length < 0 || static_cast<size_t>(length) >= sizeof piece) {
        api::error("<ui_frame_base_t> a piece of the frame is longer than %zu bytes", piece_bytes - 1);
        return;
    }
    pieces.emplace_back(piece);
}

}  // namespace

std::vector<std::string> ui_frame_base_t::markup_pieces() const
{
    std::vector<std::string> pieces;
    pml_set_bounds(rect, (view_flags & ui_view_reference_units) != 0);
    // The pieces are laid out in the markup's own units, whatever units the rectangle was given in.
    const pml_rect_t bounds = pml_get_render_bounds();
    const float width = bounds.right - bounds.left;
    const float height = bounds.top - bounds.bottom;
    const int cw = corner_size.width;
    const int ch = corner_size.height;
    const unsigned long tint = color;

    if (corner_size.present)
        add_piece(pieces,
                  "<COLOR VALUE=%08lX><IMG SRC=%s LEFT=0.5 TOP=0.5 WIDTH=%d HEIGHT=%d><RET>"
                  "<OFFSET VSHIFT=%.1f><IMG SRC=%s LEFT=0.5 BOTTOM=0.5 WIDTH=%d HEIGHT=%d><RET>"
                  "<OFFSET HSHIFT=%.1f><IMG SRC=%s TOP=0.5 RIGHT=0.5 WIDTH=%d HEIGHT=%d><RET>"
                  "<OFFSET VSHIFT=%.1f HSHIFT=%.1f><IMG SRC=%s RIGHT=0.5 BOTTOM=0.5 WIDTH=%d HEIGHT=%d>",
                  tint, corner, cw, ch, static_cast<double>(height - ch), corner, cw, ch,
                  static_cast<double>(width - cw), corner, cw, ch, static_cast<double>(height - ch),
                  static_cast<double>(width - cw), corner, cw, ch);

    if (inside_size.present) {
        const int inset_x = inside_inset ? std::min(cw, vline_size.width) : 0;
        const int inset_y = inside_inset ? std::min(ch, hline_size.height) : 0;
        if (2.0f * static_cast<float>(inset_x) < width && 2.0f * static_cast<float>(inset_y) < height)
            add_piece(pieces, "<COLOR VALUE=%08lX><OFFSET HSHIFT=%d VSHIFT=%d><IMG SRC=%s %s WIDTH=%.1f HEIGHT=%.1f>",
                      tint, inset_x, inset_y, inside,
                      inside_tile ? "XSCALE=REPEAT YSCALE=REPEAT" : "XSCALE=STRETCH YSCALE=STRETCH",
                      static_cast<double>(width - 2.0f * static_cast<float>(inset_x)),
                      static_cast<double>(height - 2.0f * static_cast<float>(inset_y)));
    }

    const char* const scale = tile ? "REPEAT" : "STRETCH";
    if (hline_size.present && 2.0f * static_cast<float>(cw) < width) {
        const int hh = hline_size.height;
        const double length = static_cast<double>(width - 2.0f * static_cast<float>(cw));
        add_piece(pieces,
                  "<COLOR VALUE=%08lX><OFFSET HSHIFT=%.1f><IMG SRC=%s XSCALE=%s TOP=0.5 WIDTH=%.1f HEIGHT=%d><RET>"
                  "<OFFSET HSHIFT=%.1f VSHIFT=%.1f><IMG SRC=%s XSCALE=%s BOTTOM=0.5 WIDTH=%.1f HEIGHT=%d>",
                  tint, static_cast<double>(cw), hline, scale, length, hh, static_cast<double>(cw),
                  static_cast<double>(height - hh), hline, scale, length, hh);
    }

    if (vline_size.present && 2.0f * static_cast<float>(ch) < height) {
        const int vw = vline_size.width;
        const double length = static_cast<double>(height - 2.0f * static_cast<float>(ch));
        add_piece(pieces,
                  "<COLOR VALUE=%08lX><OFFSET VSHIFT=%.1f><IMG SRC=%s YSCALE=%s LEFT=0.5 WIDTH=%d HEIGHT=%.1f><RET>"
                  "<OFFSET HSHIFT=%.1f VSHIFT=%.1f><IMG SRC=%s YSCALE=%s RIGHT=0.5 WIDTH=%d HEIGHT=%.1f>",
                  tint, static_cast<double>(ch), vline, scale, vw, length, static_cast<double>(width - vw),
                  static_cast<double>(ch), vline, scale, vw, length);
    }

    // The text is the script's own markup: kept whole, never cut to a piece's size.
    if (!text.is_empty())
        pieces.emplace_back(text.c_str());
    return pieces;
}

void ui_frame_base_t::generate()
{
    markup.reset();
    for (const std::string& piece : markup_pieces()) {
        // The markup system reports a bad piece or one that does not fit.
        pml_set_bounds(rect, (view_flags & ui_view_reference_units) != 0);
        pml_reset();
        if (pml_render(piece.c_str()))
            pml_buffer_get(markup, true);
        pml_reset();
        built = true;
    }
    rebuild_needed = false;
}
