#include "ui/components/ui_slider_base.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "engine/pml_draw.h"
#include "engine/ui_action.h"
#include "common/engine_api.h"
#include "ui/components/ui_markup_view.h"

namespace {

// A markup narrower or lower than this adds nothing to the knob or the track.
constexpr float least_extent = 0.1f;

// The status byte of markup source `index` of a slider.
template <int index> uint8_t* markup_status(entity_t* object)
{
    return &static_cast<ui_slider_base_t*>(object)->pml_status[index];
}

// Grows `box` (empty while `has` is false) by the bounds of `markup` when they are large enough.
void unite_bounds(const pml_buffer_t& markup, pml_rect_t& box, bool& has)
{
    pml_rect_t bounds;
    if (!markup.get_bounds(bounds) || bounds.right - bounds.left <= least_extent ||
        bounds.top - bounds.bottom <= least_extent)
        return;
    if (!has) {
        box = bounds;
        has = true;
        return;
    }
    box.left = std::min(box.left, bounds.left);
    box.right = std::max(box.right, bounds.right);
    box.top = std::max(box.top, bounds.top);
    box.bottom = std::min(box.bottom, bounds.bottom);
}

}  // namespace

const evalue_def_t ui_slider_base_t::evd_margin =
    evalue_member("margin", evalue_int, sizeof(int32_t), evalue_bind<&ui_slider_base_t::margin>, &ui_view_t::evd_id,
                  "0", evalue_bind_status<&ui_slider_base_t::margin_status>);
const evalue_def_t ui_slider_base_t::evd_tick =
    evalue_member("tick", evalue_unsigned, sizeof(uint32_t), evalue_bind<&ui_slider_base_t::tick>, &evd_margin, "1");
const evalue_def_t ui_slider_base_t::evd_action_on_drag = evalue_member(
    "action_on_drag", evalue_bool, sizeof(bool), evalue_bind<&ui_slider_base_t::action_on_drag>, &evd_tick, "false");
const evalue_def_t ui_slider_base_t::evd_d_pml =
    evalue_member("d_pml", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_slider_base_t::d_pml>,
                  &evd_action_on_drag, nullptr, markup_status<ui_slider_knob_disabled>);
const evalue_def_t ui_slider_base_t::evd_p_pml =
    evalue_member("p_pml", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_slider_base_t::p_pml>, &evd_d_pml,
                  nullptr, markup_status<ui_slider_knob_dragged>);
const evalue_def_t ui_slider_base_t::evd_n_pml =
    evalue_member("n_pml", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_slider_base_t::n_pml>, &evd_p_pml,
                  nullptr, markup_status<ui_slider_knob_normal>);
const evalue_def_t ui_slider_base_t::evd_s_pml =
    evalue_member("s_pml", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_slider_base_t::s_pml>, &evd_n_pml,
                  nullptr, markup_status<ui_slider_knob_selected>);
const evalue_def_t ui_slider_base_t::evd_d_background =
    evalue_member("d_background", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_slider_base_t::d_background>,
                  &evd_s_pml, nullptr, markup_status<ui_slider_background_off>);
const evalue_def_t ui_slider_base_t::evd_n_background =
    evalue_member("n_background", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_slider_base_t::n_background>,
                  &evd_d_background, nullptr, markup_status<ui_slider_background>);

ui_slider_base_t::ui_slider_base_t()
{
    class_flags |= ui_class_markup;
    view_flags |= ui_view_slider;
}

const dstring_t& ui_slider_base_t::source(int index) const
{
    switch (index) {
    case ui_slider_knob_selected:
        return s_pml;
    case ui_slider_knob_dragged:
        return p_pml;
    case ui_slider_knob_disabled:
        return d_pml;
    case ui_slider_background:
        return n_background;
    case ui_slider_background_off:
        return d_background;
    default:
        return n_pml;
    }
}

int ui_slider_base_t::choose_state() const
{
    if (!active)
        return ui_slider_knob_disabled;
    if (dragging)
        return ui_slider_knob_dragged;
    return selected ? ui_slider_knob_selected : ui_slider_knob_normal;
}

int32_t ui_slider_base_t::get_int_value() const
{
    const double range = static_cast<double>(maximum) - static_cast<double>(minimum);
    const double value = std::floor(range * static_cast<double>(position) + static_cast<double>(minimum) + 0.5);
    // A position set from outside without a range to divide by is not a number: the knob is at the start.
    if (!std::isfinite(value))
        return minimum;
    return static_cast<int32_t>(std::clamp(value, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
}

void ui_slider_base_t::place_value(int32_t value)
{
    // An empty range has no place between its ends: the knob stands at the start.
    const double from_start = static_cast<double>(value) - static_cast<double>(minimum);
    const double range = static_cast<double>(maximum) - static_cast<double>(minimum);
    position = maximum == minimum ? 0.0f : static_cast<float>(from_start / range);
}

int32_t ui_slider_base_t::set_int_value(int32_t value, bool send)
{
    const int32_t previous = get_int_value();
    place_value(value);
    changed(ui_change_property);
    if (send)
        send_value();
    return previous;
}

void ui_slider_base_t::send_value()
{
    int32_t value = get_int_value();
    action(this, ui_action_pressed, &value);
}

void ui_slider_base_t::handler()
{
    ui_view_t::handler();
    if (paging) {
        paging_countdown -= api::sys_get_lastdelta();
        if (paging_countdown <= 0.0f) {
            paging_countdown = ui_slider_paging_period;
            page_step();
        }
    }
    bool marked = false;
    for (uint8_t& status : pml_status) {
        marked = marked || (status & evalue_changed);
        status &= static_cast<uint8_t>(~evalue_changed);
    }
    if (margin_status & evalue_changed) {
        margin_status &= static_cast<uint8_t>(~evalue_changed);
        geometry_valid = false;
        marked = true;
    }
    if (marked)
        changed(ui_change_property);
    if (!ui_markup_view_visible(this, window_item, shown_state, int32_t{ui_slider_shown_none}))
        return;
    const int state = choose_state();
    static constexpr int render_order[ui_slider_markup_count] = {ui_slider_background,   ui_slider_background_off,
                                                                 ui_slider_knob_normal,  ui_slider_knob_selected,
                                                                 ui_slider_knob_dragged, ui_slider_knob_disabled};
    for (const int index : render_order) {
        if (built[index])
            continue;
        // A markup that fails is reported by the markup system; it is not tried again until it changes.
        ui_markup_render(this, source(index).c_str(), markups[index]);
        built[index] = true;
        geometry_valid = false;
        if (index >= ui_slider_background || index == state)
            shown_state = ui_slider_shown_again;
    }
    if (!geometry_valid)
        measure();
    if (state != shown_state) {
        // A dragged knob is drawn directly; the layer keeps what it holds.
        if (!dragging)
            ui_view_invalidate_layer(this, window_item, true);
        shown_state = state;
    }
}

void ui_slider_base_t::measure()
{
    bool has_knob = false;
    knob_box = pml_rect_t{};
    for (const int index : {ui_slider_knob_normal, ui_slider_knob_selected, ui_slider_knob_dragged})
        unite_bounds(markups[index], knob_box, has_knob);
    bool has_track = false;
    if (!n_background.is_empty())
        for (const int index : {ui_slider_background, ui_slider_background_off})
            unite_bounds(markups[index], track_box, has_track);
    if (!has_track)
        track_box = rect;
    vertical = rect.top - rect.bottom > rect.right - rect.left;
    const float track_extent = vertical ? track_box.top - track_box.bottom : track_box.right - track_box.left;
    const float knob_extent = vertical ? knob_box.top - knob_box.bottom : knob_box.right - knob_box.left;
    // A margin larger than the track leaves the knob no room rather than a negative travel.
    const double travel = std::trunc(std::fabs(static_cast<double>(track_extent) - static_cast<double>(knob_extent))) -
                          2.0 * static_cast<double>(margin);
    track_length = static_cast<int32_t>(std::clamp(travel, 0.0, static_cast<double>(INT32_MAX)));
    geometry_valid = true;
}

void ui_slider_base_t::knob_placement(float& dx, float& dy) const
{
    // The knob's low edge (left, or bottom on a vertical slider, y growing upwards) goes to the track's
    // low end plus the margin plus its travel.
    const float travel = position * static_cast<float>(track_length) + static_cast<float>(margin);
    if (vertical) {
        dx = 0.0f;
        dy = track_box.bottom + travel - knob_box.bottom;
    } else {
        dx = track_box.left + travel - knob_box.left;
        dy = 0.0f;
    }
}

pml_rect_t ui_slider_base_t::placed_knob() const
{
    float dx = 0.0f;
    float dy = 0.0f;
    knob_placement(dx, dy);
    return pml_rect_t{knob_box.left + dx, knob_box.right + dx, knob_box.top + dy, knob_box.bottom + dy};
}

void ui_slider_base_t::pml_precache()
{
    if (shown_state < 0 || shown_state >= ui_slider_background)
        return;
    ui_view_precache_markup(this, window_item, markups[active ? ui_slider_background : ui_slider_background_off]);
    if (dragging)
        return;
    float dx = 0.0f;
    float dy = 0.0f;
    knob_placement(dx, dy);
    ui_view_precache_markup(this, window_item, markups[shown_state], dx, dy);
}

void ui_slider_base_t::draw()
{
    if (!dragging || shown_state < 0 || shown_state >= ui_slider_background)
        return;
    float dx = 0.0f;
    float dy = 0.0f;
    knob_placement(dx, dy);
    pml_buffer_flush(markups[shown_state], dx, dy);
}

void ui_slider_base_t::changed(unsigned mask)
{
    if (mask & (ui_change_rect | ui_change_property)) {
        geometry_valid = false;
        for (bool& markup_built : built)
            markup_built = false;
    }
    ui_view_t::changed(mask);
}
