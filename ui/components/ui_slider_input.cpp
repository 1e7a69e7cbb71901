// How a slider answers the pointer and the keys: dragging the knob, paging toward a press beside it
// and stepping with the direction keys.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/ui_action.h"
#include "engine/ui_window.h"
#include "ui/components/ui_slider_base.h"
#include "ui/components/ui_window_layer.h"

namespace {

// `value` moved by `step` (which may be negative), held between the two ends of a range in either order.
int32_t step_within(int32_t value, int64_t step, int32_t end_a, int32_t end_b)
{
    const int64_t low = std::min(end_a, end_b);
    const int64_t high = std::max(end_a, end_b);
    return static_cast<int32_t>(std::clamp(static_cast<int64_t>(value) + step, low, high));
}

}  // namespace

void ui_slider_base_t::set_from_pointer(float x, float y)
{
    // Measured from the track's low end, y growing upwards, so the value grows upwards too.
    const float along = vertical ? y - track_box.bottom : x - track_box.left;
    const float pixel = std::trunc(along - static_cast<float>(margin));
    const float clamped = std::clamp(pixel, 0.0f, static_cast<float>(track_length));
    const float share = track_length > 0 ? clamped / static_cast<float>(track_length) : 0.0f;
    const double range = static_cast<double>(maximum) - static_cast<double>(minimum);
    const double value = std::round(static_cast<double>(share) * range + static_cast<double>(minimum));
    place_value(static_cast<int32_t>(value));
    changed(ui_change_property);
    if (action_on_drag)
        send_value();
}

void ui_slider_base_t::page_step()
{
    if (tick == 0)
        return;
    const pml_rect_t knob = placed_knob();
    const bool reached =
        vertical ? paging_y >= knob.bottom && paging_y <= knob.top : paging_x >= knob.left && paging_x <= knob.right;
    if (reached)
        return;
    // Toward the minimum or the maximum, whichever order the range has.
    const int32_t target = paging_down ? minimum : maximum;
    const int32_t other = paging_down ? maximum : minimum;
    const int64_t step = target >= other ? static_cast<int64_t>(tick) : -static_cast<int64_t>(tick);
    const int32_t value = get_int_value();
    const int32_t next = step_within(value, step, minimum, maximum);
    if (next == value)
        return;
    place_value(next);
    changed(ui_change_property);
    send_value();
}

void ui_slider_base_t::press(const ui_pointer_param_t& pointer, void* param)
{
    const pml_rect_t knob = placed_knob();
    const bool on_knob =
        pointer.x >= knob.left && pointer.x <= knob.right && pointer.y >= knob.bottom && pointer.y <= knob.top;
    if (!on_knob) {
        paging = true;
        paging_countdown = 0.0f;
        paging_x = pointer.x;
        paging_y = pointer.y;
        paging_down = vertical ? pointer.y < knob.bottom : pointer.x < knob.left;
        return;
    }
    dragging = true;
    // The knob leaves the layer: it is drawn directly while it moves.
    ui_view_invalidate_layer(this, window_item, true);
    drag_to(pointer);
    if (ui_window_t* owner = window())
        owner->capture_events(this, true, true);
    action(this, ui_action_grab, param);
}

void ui_slider_base_t::drag_to(const ui_pointer_param_t& pointer)
{
    // The pointer holds the knob by its centre.
    const float half_width = (knob_box.right - knob_box.left) / 2.0f;
    const float half_height = (knob_box.top - knob_box.bottom) / 2.0f;
    set_from_pointer(pointer.x - half_width, pointer.y - half_height);
}

void ui_slider_base_t::release()
{
    if (!dragging) {
        paging = false;
        return;
    }
    // The engine answers with the end of the capture (notify), which ends the drag.
    if (ui_window_t* owner = window())
        owner->capture_events(this, false, true);
    else
        notify(ui_notify_capture_lost);
}

bool ui_slider_base_t::action(ui_view_t* sender, int code, void* param)
{
    if (sender == this && param &&
        (code == ui_action_pointer_down || code == ui_action_pointer_up || code == ui_action_pointer_move)) {
        const auto& pointer = *static_cast<const ui_pointer_param_t*>(param);
        const bool first = (pointer.buttons & ui_button_first) != 0;
        if (code == ui_action_pointer_down && first && !dragging)
            press(pointer, param);
        else if (code == ui_action_pointer_up && first)
            release();
        else if (code == ui_action_pointer_move && dragging)
            drag_to(pointer);
    }
    return ui_view_t::action(sender, code, param);
}

bool ui_slider_base_t::handle_event(ui_event_t* event)
{
    if (!event || event->consumed())
        return ui_view_t::handle_event(event);
    const uint32_t control = ui_get_ctrlcallback()(event);
    const uint32_t down_bits = vertical ? ui_control_older | ui_control_left : ui_control_left;
    const uint32_t up_bits = vertical ? ui_control_newer | ui_control_right : ui_control_right;
    int64_t step = 0;
    if (control & down_bits)
        step = -static_cast<int64_t>(tick);
    else if (control & up_bits)
        step = static_cast<int64_t>(tick);
    else
        return ui_view_t::handle_event(event);
    place_value(step_within(get_int_value(), step, minimum, maximum));
    changed(ui_change_property);
    send_value();
    event->consume();
    return true;
}

void ui_slider_base_t::notify(int code)
{
    ui_view_t::notify(code);
    if (code < 0 || (code & ui_notify_capture_lost) == 0)
        return;
    send_value();
    action(this, ui_action_let_go, nullptr);
    dragging = false;
    // The knob goes back into the layer.
    ui_view_invalidate_layer(this, window_item, true);
}
