#include <cmath>

#include "engine/cache.h"
#include "engine/gfx_view.h"
#include "engine/ui.h"
#include "engine/ui_window.h"
#include "common/engine_api.h"
#include "common/world_view.h"
#include "vehicles/body/car_trailor.h"
#include "vehicles/links/job_label.h"
#include "vehicles/links/trailer_view.h"

namespace {

// The label window's flags: a window of the 3-D group, drawn in the world.
constexpr unsigned job_window_flags = 128;
// Radius (cm) of the sphere the trailer is drawn within when any of it is in view.
constexpr float drawn_radius = 2000.0f;
// How high the label stands over the middle of the trailer's box (its own frame), and the quad it spans.
const vec3_t label_offset(0.0f, 700.0f, 0.0f);
const vec3_t label_x_axis(1150.0f, 0.0f, 0.0f);
const vec3_t label_y_axis(0.0f, 1000.0f, 0.0f);
// The label's colour while the player's camera is the top view.
constexpr uint32_t top_view_colour = 0x60FFFFFFu;
// Camera modes of the towing truck in which the trailer is not drawn: the cabin, the side view, the
// hood and the rear mirror.
bool hides_trailer(const uint8_t mode) { return mode == 4 || mode == 5 || mode == 9 || mode == 12; }

}  // namespace

uint32_t job_label_colour(const float distance_sq)
{
    if (distance_sq > job_label_reach_sq)
        return 0;
    if (distance_sq <= job_label_opaque_sq)
        return 0xFFFFFFFFu;
    const auto alpha = static_cast<uint32_t>((job_label_reach_sq - distance_sq) * 3.125e-8f * 255.0f) & 0xFFu;
    return alpha << 24 | 0xFFFFFFu;
}

void car_trailor_e::open_job_window()
{
    if (job_window)
        return;
    // Made hidden: shown only as it is first drawn in the world, which keeps it out of the screen's own
    // pass from then on.
    job_window = ui_winsert("3d", "", job_window_flags, "/ui/job.esc", false);
    job_label_shown = false;
    if (job_window)
        api::ci_inc_refs(job_window);
}

void car_trailor_e::close_job_window()
{
    if (!job_window)
        return;
    c_item_t* const window = job_window;
    job_window = nullptr;
    api::ci_dec_refs(window);
    ui_wremove(window);
}

void car_trailor_e::write_job_label()
{
    const auto* const window = job_window && (job_window->class_flags & ui_class_window)
                                   ? static_cast<const ui_window_t*>(job_window->object)
                                   : nullptr;
    c_item_t* const handler = window ? window->handler_item : nullptr;
    auto* const label = handler ? dynamic_cast<job_label_t*>(static_cast<entity_t*>(handler->object)) : nullptr;
    if (label && job_index >= 0)
        label->show_job(job_index);
}

void car_trailor_e::draw()
{
    if (!body || destroy_requested)
        return;
    if (towing_truck.add_use()) {
        const auto* const truck = dynamic_cast<const car_phys_e*>(towing_truck.resolve());
        const bool hidden = truck && hides_trailer(truck->camera_mode);
        towing_truck.release();
        if (hidden)
            return;
    }
    const vec3_t where = get_position();
    if (api::gfx_sphere_visible(&where.x, drawn_radius))
        car_phys_e::draw();
    // Not in a mirror or other second view: the label is a sign for the player's own eye, and a second
    // draw in a frame would put it, at that view's camera, over the screen's HUD.
    if (towed_by_ai || !towing_truck.is_null() || !job_window || fade_state != 0 || drawing_secondary_view())
        return;
    gfx_camera_t camera{};
    api::gfx_get_camera(&camera);
    const vec3_t eye(camera.position[0], camera.position[1], camera.position[2]);
    const uint32_t colour = job_label_colour((eye - where).length_sq());
    if (colour == 0)
        return;
    // Over the trailer, whatever its length: the box's middle is where the make's bounds put it.
    const vec3_t anchor = where + get_orientation().rotate(box_centre + label_offset);
    if (!job_label_shown) {
        ui_wshow(job_window, 0);
        job_label_shown = true;
    }
    if (trailer_view_flag()) {
        ui_wadvance3d(job_window);
        ui_wdraw3d(job_window, anchor, label_x_axis, label_y_axis, true, colour);
    } else {
        ui_wdraw3d(job_window, anchor, label_x_axis, label_y_axis, true, top_view_colour);
    }
}
