#include "ui/components/ui_comp_tooltip.h"

#include <cmath>

#include "engine/gfx_view.h"
#include "engine/ui.h"
#include "common/engine_api.h"

namespace {

// The shift that brings [low, high] inside [0, limit]: from the low side first.
float overhang_shift(float low, float high, float limit)
{
    if (low < 0.0f)
        return -low;
    if (high > limit)
        return limit - high;
    return 0.0f;
}

// `shift` rounded to whole device pixels of `pixels` over a reference size of `reference`.
float snap_to_pixels(float shift, int reference, int pixels)
{
    if (reference <= 0 || pixels <= 0)
        return shift;
    const float pixel = static_cast<float>(reference) / static_cast<float>(pixels);
    return std::floor(shift / pixel + 0.5f) * pixel;
}

}  // namespace

void ui_comp_tooltip_t::pml_precache()
{
    if (!shown)
        return;
    // A markup rendered again carries no shift yet.
    if (shifted_render != renders) {
        shift_x = shift_y = 0.0f;
        shifted_render = renders;
    }
    int width = 0;
    int height = 0;
    ui_get_reference_mode(&width, &height);
    pml_rect_t bounds;
    if (markup.get_bounds(bounds)) {
        bounds.left -= shift_x;
        bounds.right -= shift_x;
        bounds.top -= shift_y;
        bounds.bottom -= shift_y;
        gfx_params_t device{};
        api::gfx_get_params(&device);
        // y grows upwards: the bottom edge may fall below 0, the top rise above the height.
        const float new_x =
            snap_to_pixels(overhang_shift(bounds.left, bounds.right, static_cast<float>(width)), width, device.width);
        const float new_y = snap_to_pixels(overhang_shift(bounds.bottom, bounds.top, static_cast<float>(height)),
                                           height, device.height);
        markup.offset(new_x - shift_x, new_y - shift_y);
        shift_x = new_x;
        shift_y = new_y;
    }
    ui_comp_text_t::pml_precache();
}
