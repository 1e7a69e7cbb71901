#include "ui/components/ui_comp_mirror.h"

#include "engine/gfx_view.h"
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/world_view.h"
#include "vehicles/body/car_phys.h"

namespace {

const evalue_choice_t mirror_types[] = {{"center", 0}, {"left", 1}, {"right", 2}, {"trucker", 3}, {nullptr, 0}};

// The view the mirror draws into: its rectangle on the screen, a near and far plane and a field of view
// of its own; the mirrors (not the trucker's view) carry the second flag.
gfx_view_t mirror_view(const pml_rect_t& area, const int32_t camera_code)
{
    gfx_view_t view{};
    api::gfx_view_get(&view);
    gfx_params_t screen{};
    api::gfx_get_params(&screen);
    // The screen's rows run downwards.
    const auto height = static_cast<float>(screen.height);
    view.rect[0] = area.left;
    view.rect[1] = height - area.top;
    view.rect[2] = area.right;
    view.rect[3] = height - area.bottom;
    view.near_plane = 8.0f;
    view.far_plane = 18000.0f;
    view.fov = 60.0f;
    view.flags[0] = 0;
    view.flags[1] = camera_code >= 12 && camera_code <= 14 ? 1 : 0;
    return view;
}

}  // namespace

const evalue_def_t ui_comp_mirror_t::evd_mirror_type = evalue_choice_member(
    "mirror_type", mirror_types, evalue_bind<&ui_comp_mirror_t::mirror_type>, &ui_view_t::evd_id, "center");

int ui_comp_mirror_t::init(const int phase)
{
    if (const int failed = ui_view_t::init(phase))
        return failed;
    if (phase == 0 && mirror_type >= 0 && mirror_type <= 3)
        camera_code = first_camera_code + mirror_type;
    return 0;
}

void ui_comp_mirror_t::draw()
{
    if (!is_visible())
        return;
    world_view_t* const world = shown_world_view();
    game_bridge_t* const bridge = get_game_bridge();
    if (!world)
        return;
    // The menu world and a preview have no truck: the world is drawn from the camera it has.
    const held_part_t<car_phys_e> truck(bridge ? bridge->avatar() : entity_handle_t{});
    set_drawing_secondary_view(true);
    const gfx_view_t view = mirror_view(uiref2view(), camera_code);
    api::gfx_view_push(&view);
    api::gfx_push();
    api::gfx_camera_push();
    car_phys_e* const car = truck.get();
    const uint8_t previous_mode = car ? car->camera_mode : 0;
    if (car)
        car->camera_mode = static_cast<uint8_t>(camera_code);
    world->draw_view();
    if (car)
        car->camera_mode = previous_mode;
    api::gfx_camera_pop();
    api::gfx_pop();
    api::gfx_view_pop();
    set_drawing_secondary_view(false);
}
