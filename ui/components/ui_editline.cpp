#include "ui/components/ui_editline.h"

#include <algorithm>
#include <cstring>

#include "engine/ui_window.h"
#include "common/engine_api.h"
#include "ui/components/ui_markup_view.h"

// "style" and "cursor" share the view's own change mark, so setting either rebuilds the markups through
// `changed`; "limit" has its own, which resizes the buffer; "keep_input" is read once, in init.
const evalue_def_t ui_editline_t::evd_keep_input = evalue_member(
    "keep_input", evalue_bool, sizeof(bool), evalue_bind<&ui_editline_t::keep_input_>, &ui_view_t::evd_id, "true");
const evalue_def_t ui_editline_t::evd_limit =
    evalue_member("limit", evalue_unsigned, sizeof(uint32_t), evalue_bind<&ui_editline_t::limit_>, &evd_keep_input, "0",
                  evalue_bind_status<&ui_editline_t::limit_status_>);
const evalue_def_t ui_editline_t::evd_cursor =
    evalue_member("cursor", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_editline_t::cursor_look>, &evd_limit,
                  "_", evalue_bind_status<&ui_view_t::view_status>);
const evalue_def_t ui_editline_t::evd_style =
    evalue_member("style", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_editline_t::style>, &evd_cursor, "%s",
                  evalue_bind_status<&ui_view_t::view_status>);

ui_editline_t::ui_editline_t()
{
    class_flags |= ui_class_markup | ui_class_input;
    view_flags |= ui_view_keeps_focus;
    text_ = static_cast<char*>(api::mem_sys_alloc(initial_capacity));
    if (text_) {
        capacity_ = initial_capacity;
        text_[0] = '\0';
    }
}

ui_editline_t::~ui_editline_t()
{
    if (text_)
        api::mem_sys_free(text_);
}

int ui_editline_t::init(const int phase)
{
    const int result = ui_view_t::init(phase);
    if (phase == 0) {
        if (keep_input_)
            view_flags |= ui_view_keeps_focus;
        else
            view_flags &= ~static_cast<uint32_t>(ui_view_keeps_focus);
        set_limit(limit_);
    }
    return result;
}

unsigned ui_editline_t::length() const { return text_ ? static_cast<unsigned>(strlen(text_)) : 0; }

bool ui_editline_t::grow_buffer(const unsigned size)
{
    if (size <= capacity_ && text_)
        return true;
    // Doubling in 64 bits: a wanted size near the top of the range must not wrap the capacity to 0.
    uint64_t grown = capacity_ ? capacity_ : initial_capacity;
    while (grown < size)
        grown *= 2;
    void* block = grown <= UINT32_MAX ? api::mem_sys_realloc(text_, static_cast<size_t>(grown)) : nullptr;
    if (!block) {
        api::error("cannot realloc buffer to size %u (capped to %u)", size, capacity_);
        limit_ = capacity_ ? capacity_ - 1 : 0;
        return false;
    }
    const bool was_empty = !text_;
    text_ = static_cast<char*>(block);
    capacity_ = static_cast<unsigned>(grown);
    if (was_empty)
        text_[0] = '\0';
    return true;
}

void ui_editline_t::set_limit(const uint32_t limit)
{
    limit_ = limit;
    // The limit counts bytes of text: the buffer needs one more for the terminator.
    if (limit != 0 && limit >= capacity_)
        grow_buffer(limit == UINT32_MAX ? limit : limit + 1);
}

void ui_editline_t::set_text(const char* text, const bool keep_cursor)
{
    if (!text)
        text = "";
    size_t wanted = strlen(text);
    if (limit_ == 0 && wanted >= capacity_)
        grow_buffer(wanted > UINT32_MAX - 1 ? UINT32_MAX : static_cast<unsigned>(wanted + 1));
    if (!text_)
        return;
    if (limit_ != 0)
        wanted = std::min<size_t>(wanted, limit_);
    // Whatever the limit says, never more than the buffer holds.
    wanted = std::min<size_t>(wanted, capacity_ - 1);
    memmove(text_, text, wanted);
    text_[wanted] = '\0';
    built_[markup_text] = false;
    all_selected_ = false;
    const unsigned end = static_cast<unsigned>(wanted);
    cursor_ = keep_cursor ? std::min(cursor_, end) : 0;
}

void ui_editline_t::clear()
{
    if (text_)
        text_[0] = '\0';
    cursor_ = 0;
    built_[markup_text] = false;
    all_selected_ = false;
}

void ui_editline_t::select_all()
{
    cursor_ = length();
    all_selected_ = length() > 0;
    built_[markup_text] = false;
}

void ui_editline_t::set_cursor(const unsigned position, const bool from_end)
{
    const unsigned end = length();
    if (from_end)
        cursor_ = position > end ? 0 : end - position;
    else
        cursor_ = std::min(position, end);
}

void ui_editline_t::unbuild() { built_[markup_text] = built_[markup_cursor] = built_[markup_measure] = false; }

void ui_editline_t::notify(const int code)
{
    if (code < 0)
        unbuild();
    ui_view_t::notify(code);
}

void ui_editline_t::changed(const unsigned mask)
{
    if (mask & (ui_change_rect | ui_change_property))
        unbuild();
    ui_view_t::changed(mask);
}

void ui_editline_t::run_blink()
{
    if (!insert_mode_) {
        blink_on_ = true;
        return;
    }
    blink_time_ += api::sys_get_lastdelta();
    while (blink_time_ >= blink_half_period_) {
        blink_time_ -= blink_half_period_;
        blink_on_ = !blink_on_;
    }
}

void ui_editline_t::run_repeat()
{
    if (!repeat_armed_)
        return;
    const ui_window_t* owner = window();
    if (!owner || owner->focus_view != this) {
        repeat_armed_ = false;
        return;
    }
    repeat_countdown_ -= api::sys_get_lastdelta();
    if (repeat_countdown_ > 0.0)
        return;
    repeat_countdown_ = repeat_interval;
    // The handling consumes the event it is given: hand it a copy of the held key.
    ui_event_t again = held_event_;
    handle_event(&again);
}

void ui_editline_t::handler()
{
    ui_view_t::handler();
    if (evalue_take_changed(this, &evd_limit))
        set_limit(limit_);
    if (active) {
        run_blink();
        run_repeat();
    }
    if (!ui_markup_view_visible(this, window_item_, shown_, int32_t{-1}))
        return;
    if (!built_[markup_text])
        build_text();
    if (!built_[markup_cursor])
        build_cursor();
    if (!built_[markup_measure])
        build_measure();
    // A window that cannot be reached now leaves the markup out this frame; the next frame tries again.
    if (shown_ != 0 && invalidate_layer(true))
        shown_ = 0;
}
