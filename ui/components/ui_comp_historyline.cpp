#include "ui/components/ui_comp_historyline.h"

#include <algorithm>
#include <cstring>

bool ui_comp_historyline_t::handle_event(ui_event_t* event)
{
    if (!event || event->consumed())
        return false;
    const uint32_t control = ui_get_ctrlcallback()(event);
    if (control & (ui_control_older | ui_control_newer)) {
        if (const char* entry = (control & ui_control_older) ? older() : newer()) {
            set_text(entry, false);
            set_cursor(0, true);
        }
        event->consume();
        return true;
    }
    return ui_editline_t::handle_event(event);
}

bool ui_comp_historyline_t::action(ui_view_t* sender, const int code, void* param)
{
    const bool handled = ui_editline_t::action(sender, code, param);
    if (code != ui_action_pressed || sender != this)
        return handled;
    add(text());
    clear();
    return true;
}

void ui_comp_historyline_t::add(const char* text)
{
    const size_t bytes = text ? strnlen(text, entry_bytes - 1) : 0;
    memcpy(entries_[write_], text ? text : "", bytes);
    entries_[write_][bytes] = '\0';
    write_ = (write_ + 1) % entry_count;
    stored_ = std::min(stored_ + 1, entry_count);
    browse_ = write_;
}

const char* ui_comp_historyline_t::older()
{
    if (stored_ == 0)
        return nullptr;
    browse_ = browse_ == 0 ? stored_ - 1 : browse_ - 1;
    return entries_[browse_];
}

const char* ui_comp_historyline_t::newer()
{
    if (stored_ == 0)
        return nullptr;
    browse_ = browse_ + 1 < stored_ ? browse_ + 1 : 0;
    return entries_[browse_];
}
