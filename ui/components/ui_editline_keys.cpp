// The edit line's input: tab handling, the pointer, the accept, editing keys, typing and the clipboard.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "engine/ui_window.h"
#include "common/engine_api.h"
#include "ui/components/clipboard_text.h"
#include "ui/components/ui_editline.h"

namespace {

// Scan codes of the editing keys.
enum edit_key_t : uint16_t {
    key_c = 0x2E,
    key_v = 0x2F,
    key_pad_delete = 0x53,
    key_home = 0xC7,
    key_left = 0xCB,
    key_right = 0xCD,
    key_end = 0xCF,
    key_insert = 0xD2,
    key_delete = 0xD3,
};

// Word steps treat letters and digits as one class and everything else, the end of the text included,
// as the other.
bool is_word_character(const char* text, const unsigned length, const unsigned position)
{
    return position < length && isalnum(static_cast<unsigned char>(text[position]));
}

// Characters a key may type: control codes and DEL are not text.
bool is_typed_character(const uint32_t character)
{
    return character >= 0x20 && character <= 0xFF && character != 0x7F;
}

}  // namespace

bool ui_editline_t::handle_event(ui_event_t* event)
{
    if (!event || event->consumed())
        return false;
    if (ui_window_t* owner = window(); owner && owner->focus_view == this) {
        ui_view_t* tab_view = owner->tab_target ? owner->tab_target : this;
        if (tab_view->handle_tab(event))
            return true;
    }
    if (event->type == ui_event_pointer && event->down && (event->buttons & ui_button_first) &&
        hit(event->x, event->y)) {
        end_selection();
        place_cursor_at(event->x, event->y);
    }
    if (event->type != ui_event_key)
        return ui_view_t::handle_event(event);

    if (ui_get_ctrlcallback()(event) & ui_control_release) {
        action(this, ui_action_pressed, nullptr);
        event->consume();
        return true;
    }
    if (!event->down) {
        repeat_armed_ = false;
        return ui_view_t::handle_event(event);
    }
    if (!repeat_armed_) {
        held_event_ = *event;
        repeat_armed_ = true;
        repeat_countdown_ = repeat_delay;
    }
    const bool edit_key = handle_key(*event);
    const bool used = ui_view_t::handle_event(event);
    if (!edit_key)
        return used;
    event->consume();
    return true;
}

bool ui_editline_t::handle_key(const ui_event_t& event)
{
    const bool ctrl = (event.modifiers & ui_mod_ctrl) != 0;
    if (all_selected_ && replace_selection(event))
        return true;
    const unsigned end = length();
    switch (event.scan) {
    case ui_key_backspace:
        if (cursor_ > 0) {
            std::string proposed(text(), end);
            proposed.erase(cursor_ - 1, 1);
            propose(proposed, cursor_ - 1);
        }
        return true;
    case key_delete:
    case key_pad_delete:
        if (cursor_ < end) {
            std::string proposed(text(), end);
            proposed.erase(cursor_, 1);
            propose(proposed, cursor_);
        }
        return true;
    case key_home:
        cursor_ = 0;
        return true;
    case key_end:
        cursor_ = end;
        return true;
    case key_left:
        if (cursor_ > 0) {
            if (ctrl)
                word_step(-1);
            else
                --cursor_;
        }
        return true;
    case key_right:
        if (cursor_ < end) {
            if (ctrl)
                word_step(1);
            else
                ++cursor_;
        }
        return true;
    case key_insert:
        insert_mode_ = !insert_mode_;
        return true;
    default:
        break;
    }
    if (ctrl && event.scan == key_c) {
        copy_to_clipboard();
        return false;
    }
    if (ctrl && event.scan == key_v) {
        paste_from_clipboard();
        return false;
    }
    if (!is_typed_character(event.character))
        return false;
    type_character(static_cast<unsigned char>(event.character));
    return true;
}

void ui_editline_t::type_character(const unsigned char character)
{
    const unsigned end = length();
    std::string proposed(text(), end);
    const bool at_limit = limit_ != 0 && cursor_ >= limit_;
    if (!at_limit && !insert_mode_ && cursor_ < end)
        proposed[cursor_] = static_cast<char>(character);
    else if (!at_limit && (limit_ == 0 || end < limit_))
        proposed.insert(proposed.begin() + cursor_, static_cast<char>(character));
    else {
        // Say once that the line is full rather than swallow the keys unseen.
        if (!told_full_)
            api::warning("<ui_editline_t> the line is full: it holds %u characters", limit_);
        told_full_ = true;
        return;
    }
    told_full_ = false;
    propose(proposed, cursor_ + 1);
}

bool ui_editline_t::replace_selection(const ui_event_t& event)
{
    const bool ctrl = (event.modifiers & ui_mod_ctrl) != 0;
    const bool erase = event.scan == ui_key_backspace || event.scan == key_delete || event.scan == key_pad_delete;
    const bool typed = !ctrl && is_typed_character(event.character) && !erase;
    // Copying keeps the selection; every other key but typing and erasing ends it and acts as usual.
    if (ctrl && event.scan == key_c)
        return false;
    if (!erase && !typed) {
        end_selection();
        return false;
    }
    std::string proposed;
    if (typed)
        proposed.assign(1, static_cast<char>(event.character));
    if (propose(proposed, static_cast<unsigned>(proposed.size())))
        told_full_ = false;
    else
        end_selection();
    return true;
}

void ui_editline_t::end_selection()
{
    if (!all_selected_)
        return;
    all_selected_ = false;
    built_[markup_text] = false;
}

void ui_editline_t::word_step(const int direction)
{
    const char* line = text();
    const unsigned end = length();
    const bool start_class = is_word_character(line, end, cursor_);
    if (direction < 0) {
        do
            --cursor_;
        while (cursor_ > 0 && is_word_character(line, end, cursor_) == start_class);
    } else {
        do
            ++cursor_;
        while (cursor_ < end && is_word_character(line, end, cursor_) == start_class);
    }
}

bool ui_editline_t::propose(const std::string& proposed, const unsigned new_cursor)
{
    ui_text_param_t proposal{proposed.c_str(), 1};
    if (action(this, ui_action_propose, &proposal) && proposal.accept == 0)
        return false;
    set_text(proposed.c_str(), true);
    cursor_ = std::min(new_cursor, length());
    ui_text_param_t done{text(), 0};
    action(this, ui_action_text_changed, &done);
    return true;
}

void ui_editline_t::copy_to_clipboard() const { clipboard_put_text(text()); }

void ui_editline_t::paste_from_clipboard()
{
    std::string pasted;
    if (!clipboard_get_text(pasted, paste_limit))
        return;
    for (char& c : pasted) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (!isalnum(byte) && !ispunct(byte))
            c = ' ';
    }
    set_text(pasted.c_str(), false);
}

void ui_editline_t::place_cursor_at(const float x, const float y)
{
    const pml_buffer_t& markup = markups_[markup_text];
    const size_t first = std::min<size_t>(text_first_item_, markup.count());
    const size_t end = std::min<size_t>(first + length(), markup.count());
    int nearest = -1;
    float nearest_distance = 0.0f;
    for (size_t i = first; i < end; ++i) {
        const pml_item_t& item = markup.item(i);
        if (item.id == pml_item_image || item.is_hidden())
            continue;
        const pml_rect_t& box = item.box;
        if (y > box.top || y < box.bottom)
            continue;
        if (x >= box.left && x <= box.right) {
            cursor_ = static_cast<unsigned>(i - first);
            return;
        }
        const float distance = std::fabs(x - (box.left + box.right) * 0.5f);
        if (nearest < 0 || distance < nearest_distance) {
            nearest = static_cast<int>(i - first);
            nearest_distance = distance;
        }
    }
    if (nearest >= 0)
        cursor_ = static_cast<unsigned>(nearest);
}
