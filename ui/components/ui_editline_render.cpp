// The edit line's markups: the text fitted to the view, the cursor, the measuring sample; their drawing.
#include <algorithm>
#include <string>
#include <strings.h>

#include "engine/lcl.h"
#include "engine/ui_window.h"
#include "common/engine_api.h"
#include "ui/components/ui_editline.h"
#include "ui/components/ui_markup_view.h"

namespace {

// Where the text goes in "style".
constexpr const char* text_slot = "%s";
// The colour of a text that is selected whole (select_all): amber, so that it reads as "to be replaced".
constexpr const char* selected_open = "<color value=FFFFC040>";
constexpr const char* selected_close = "</color>";

// The first `count` bytes of `text` as markup shown literally. A closing VERBATIM tag inside the text
// would end the literal section early, so the section is closed and reopened right after its '<'.
std::string verbatim(const char* text, const size_t count)
{
    static constexpr char closing[] = "</verbatim>";
    static constexpr size_t closing_length = sizeof closing - 1;
    std::string out = "<VERBATIM>";
    for (size_t i = 0; i < count; ++i) {
        out += text[i];
        if (text[i] == '<' && i + closing_length <= count && strncasecmp(text + i, closing, closing_length) == 0)
            out += "</VERBATIM><VERBATIM>";
    }
    out += "</VERBATIM>";
    return out;
}

// Renders `markup` in the current bounds into `out`, with localisation off when `plain` (the caller
// translated what needed it); false, `out` empty, when the markup is bad or does not fit `out`.
bool render_markup(const std::string& markup, pml_buffer_t& out, const bool plain)
{
    const bool localized = pml_is_localized();
    if (plain && localized)
        pml_localized(false);
    pml_reset();
    const bool good = pml_render(markup.c_str()) && pml_buffer_get(out, false);
    pml_reset();
    if (plain && localized)
        pml_localized(true);
    if (!good)
        out.reset();
    return good;
}

// True when no item of `markup` is hidden.
bool all_visible(const pml_buffer_t& markup)
{
    for (const pml_item_t& item : markup.items())
        if (item.is_hidden())
            return false;
    return true;
}

}  // namespace

void ui_editline_t::build_text()
{
    built_[markup_text] = true;
    shown_ = -2;
    pml_set_bounds(rect, (view_flags & ui_view_reference_units) != 0);
    // The style is translated once, before the text goes in, so the text itself is never translated.
    const std::string translated = pml_is_localized() ? lcl_translate(style.c_str()) : style.c_str();
    const size_t slot = translated.find(text_slot);
    const std::string head = slot == std::string::npos ? translated : translated.substr(0, slot);
    const std::string tail = slot == std::string::npos ? std::string() : translated.substr(slot + 2);
    pml_buffer_t& markup = markups_[markup_text];

    text_first_item_ = render_markup(head, markup, true) ? static_cast<unsigned>(markup.count()) : 0;
    if (!render_markup(head + tail, markup, true)) {
        // A bad style shows nothing; the text stays as it is.
        base_items_ = text_first_item_ = 0;
        return;
    }
    base_items_ = static_cast<unsigned>(markup.count());
    if (slot == std::string::npos)
        return;

    const std::string open = all_selected_ ? selected_open : "";
    const std::string close = all_selected_ ? selected_close : "";
    const auto fits = [&](const unsigned count) {
        // More characters than the buffer has items for cannot fit: no need to try (and be refused).
        if (static_cast<size_t>(base_items_) + count > markup.capacity())
            return false;
        return render_markup(head + open + verbatim(text(), count) + close + tail, markup, true) &&
               markup.count() == static_cast<size_t>(base_items_) + count && all_visible(markup);
    };
    const unsigned whole = length();
    if (fits(whole))
        return;
    // Fitting is monotonic in the length: bisect for the longest prefix that fits.
    unsigned low = 0;
    unsigned high = whole;
    while (high - low > 1) {
        const unsigned middle = low + (high - low) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle;
    }
    fits(low);
    // The line holds what its box shows: say so rather than drop the rest unseen.
    api::warning("<ui_editline_t> the line is full: %u of %u characters fit", low, whole);
    text_[low] = '\0';
    cursor_ = std::min(cursor_, low);
}

void ui_editline_t::build_cursor()
{
    built_[markup_cursor] = true;
    pml_set_bounds(rect, (view_flags & ui_view_reference_units) != 0);
    pml_buffer_t& markup = markups_[markup_cursor];
    pml_rect_t box;
    if (!render_markup(cursor_look.c_str(), markup, false) || !markup.get_bounds(box))
        return;
    markup.offset(-box.left, -box.bottom);
    markup.set_position(0, nullptr);
}

void ui_editline_t::build_measure()
{
    built_[markup_measure] = true;
    pml_set_bounds(rect, (view_flags & ui_view_reference_units) != 0);
    const std::string translated = pml_is_localized() ? lcl_translate(style.c_str()) : style.c_str();
    std::string sample = translated;
    const size_t slot = sample.find(text_slot);
    if (slot != std::string::npos)
        sample.replace(slot, 2, "Aa_");
    render_markup(sample, markups_[markup_measure], true);
}

void ui_editline_t::draw()
{
    ui_view_t::draw();
    pml_buffer_t& cursor = markups_[markup_cursor];
    if (!is_visible() || !blink_on_ || cursor.count() == 0)
        return;
    const ui_window_t* owner = window();
    if (!owner || owner->focus_view != this)
        return;
    // The box of the character the cursor stands on; at the end, the last character's box moved past it;
    // for an empty text, the sample's first character where the text would begin.
    const pml_buffer_t& text_markup = markups_[markup_text];
    const unsigned end = length();
    pml_rect_t box;
    if (end > 0 && text_first_item_ + end <= text_markup.count()) {
        box = text_markup.item(text_first_item_ + std::min(cursor_, end - 1)).box;
        if (cursor_ >= end) {
            const float width = box.right - box.left;
            box.left = box.right;
            box.right += width;
        }
    } else if (end == 0 && text_first_item_ < markups_[markup_measure].count()) {
        box = markups_[markup_measure].item(text_first_item_).box;
    } else {
        return;
    }
    pml_item_t& first = cursor.item(0);
    const pml_rect_t kept = first.box;
    first.box.right = first.box.left + (box.right - box.left);
    pml_buffer_flush(cursor, box.left, box.bottom);
    first.box = kept;
}

bool ui_editline_t::invalidate_layer(const bool create) { return ui_view_invalidate_layer(this, window_item_, create); }

void ui_editline_t::pml_precache() { ui_markup_view_precache(this, window_item_, shown_ == 0, markups_[markup_text]); }
