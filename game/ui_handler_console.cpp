#include "game/ui_handler_console.h"

#include "engine/evalue.h"
#include "engine/text.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "engine/ui_window.h"
#include "common/cvar_value.h"
#include "common/engine_api.h"
#include "common/ui_find_component.h"
#include "ui/components/ui_comp_logview.h"
#include "ui/components/ui_editline.h"

namespace {

// The mini console: a few log lines shown while the console is closed.
constexpr const char* minicon_group = "system_03";
constexpr const char* minicon_name = "minicon";
constexpr const char* minicon_script = "/ui/system/minicon.esc";
constexpr unsigned minicon_flags = 44;
// The version shown in the console's corner.
constexpr const char* version_text = "<align hstyle=right>ver. %s</align>";
constexpr const char* version = "1.10";

// Scan codes of the scroll keys.
constexpr uint16_t key_page_up = 0xC9;
constexpr uint16_t key_page_down = 0xD1;
// Modifier bits that scroll a whole history or five lines at a time.
constexpr uint8_t modifiers_whole = 0x30;
constexpr uint8_t modifiers_five = 0x03;

bool minicon_wanted()
{
    const char* value = cvar_string_value(api::cvar_get("g_minicon"));
    return value && value[0] != '0';
}

c_item_t* minicon_get_or_insert()
{
    c_item_t* window = ui_wget(minicon_group, minicon_name);
    return window ? window : ui_winsert(minicon_group, minicon_name, minicon_flags, minicon_script, false);
}

bool window_visible(c_item_t* window)
{
    const auto* view = window ? static_cast<const ui_view_t*>(window->object) : nullptr;
    return view && view->is_visible();
}

}  // namespace

ui_comp_logview_t* ui_handler_console_t::log_view() const
{
    return dynamic_cast<ui_comp_logview_t*>(ui_window_component(window, log_view_id));
}

ui_editline_t* ui_handler_console_t::input_line() const
{
    return dynamic_cast<ui_editline_t*>(ui_window_component(window, input_line_id));
}

void ui_handler_console_t::on_wcreate()
{
    if (ui_view_t* text = ui_window_component(window, version_id)) {
        char line[64];
        v_snprintf0(line, sizeof line, version_text, version);
        evalue_set(text, "text", 0, line);
    }
    c_item_t* minicon = minicon_get_or_insert();
    if (minicon && minicon_wanted())
        ui_wshow(minicon, 0);
}

void ui_handler_console_t::on_wshow()
{
    c_item_t* minicon = ui_wget(minicon_group, minicon_name);
    if (window_visible(minicon))
        ui_whide(minicon);
    if (ui_comp_logview_t* log = log_view())
        log->history_offset = 0;
    auto* own = window ? static_cast<ui_window_t*>(window->object) : nullptr;
    if (own)
        own->focus(ui_window_component(window, input_line_id));
}

void ui_handler_console_t::on_whide()
{
    if (!minicon_wanted())
        return;
    c_item_t* minicon = minicon_get_or_insert();
    if (minicon && !window_visible(minicon))
        ui_wshow(minicon, 0);
}

void ui_handler_console_t::start_scrolling(const int direction, const uint8_t modifiers)
{
    scrolling = 1;
    scroll_timer = 0.0f;
    int lines = 2;
    if (modifiers & modifiers_whole)
        lines = api::message_history_count();
    else if (modifiers & modifiers_five)
        lines = 5;
    scroll_step = direction * lines;
}

bool ui_handler_console_t::handle(ui_view_t* view, const int code, void* param)
{
    if (code == ui_action_pressed && view && view->id == input_line_id) {
        if (const ui_editline_t* line = input_line())
            api::cmd_execute(line->text());
    }
    const bool own_view = view && window && view->item == window;
    if (own_view && param && (code == ui_action_key_down || code == ui_action_key_up)) {
        const auto* key = static_cast<const ui_key_param_t*>(param);
        if (key->key == key_page_up || key->key == key_page_down) {
            if (code == ui_action_key_up)
                scrolling = 0;
            else
                start_scrolling(key->key == key_page_up ? 1 : -1, key->modifiers);
            return true;
        }
    }
    return ui_handler_t::handle(view, code, param);
}

void ui_handler_console_t::handler()
{
    scroll_timer -= api::sys_get_lastdelta();
    if (!scrolling || scroll_timer > 0.0f)
        return;
    if (ui_comp_logview_t* log = log_view())
        log->history_offset += scroll_step;
    scroll_timer = scroll_interval;
}
