#include "engine/ui_event.h"

namespace {

bool is_enter(uint16_t scan) { return scan == ui_key_enter || scan == ui_key_pad_enter; }

uint32_t engine_ctrlcallback(const ui_event_t* event)
{
    if (!event)
        return 0;
    switch (event->type) {
    case ui_event_pointer:
        if ((event->buttons & ui_button_first) == 0)
            return 0;
        return event->down ? ui_control_press : ui_control_release;
    case ui_event_key:
        if (is_enter(event->scan))
            return event->down ? ui_control_press : ui_control_release;
        if (!event->down)
            return 0;
        if (event->scan == ui_key_escape)
            return ui_control_cancel;
        if (event->scan == ui_key_up)
            return ui_control_older;
        if (event->scan == ui_key_down)
            return ui_control_newer;
        if (event->scan == ui_key_left)
            return ui_control_left;
        if (event->scan == ui_key_right)
            return ui_control_right;
        return 0;
    default:
        return 0;
    }
}

}  // namespace

ui_ctrlcallback_t ui_get_ctrlcallback() { return engine_ctrlcallback; }
