// The target marker: an animated model standing at the point where the player's job is delivered,
// drawn while the player tows a job's trailer.
#include "engine/cache.h"
#include "engine/gfx_render.h"
#include "engine/gfx_view.h"
#include "engine/psm.h"
#include "common/engine_api.h"
#include "game/economy_ctrl.h"

namespace {

constexpr const char* marker_model_path = "/models/free_items/target/target.psm";
constexpr const char* marker_shader_path = "/models/free_items/target/target.shd";
constexpr const char* marker_animation_path = "/models/free_items/target/target.psa";

}  // namespace

void economy_ctrl_e::load_target_marker()
{
    release_target_marker();
    marker_shader_ = api::mm_precache(marker_shader_path);
    api::gfx_shader_precache(marker_shader_path);
    target_marker = api::psm_alloc(marker_model_path, 0, 0, 0);
    if (!target_marker)
        return;
    for (int part = 0; part < 2; ++part)
        api::psm_set_shader(target_marker, part, marker_shader_path);
    const int animation = api::psm_anim_add_file(api::psm_get_info(target_marker), marker_animation_path, nullptr);
    const int player = animation >= 0 ? api::psm_adesc_create(target_marker, animation, 0, 0, 0) : -1;
    if (player >= 0) {
        api::psm_adesc_set_wspeeds(target_marker, player, 2.0f, -2.0f);
        api::psm_adesc_loop_forever(target_marker, player);
    }
    world_->light_model(target_marker);
}

void economy_ctrl_e::release_target_marker()
{
    if (target_marker)
        api::psm_free(target_marker);
    target_marker = nullptr;
    if (marker_shader_)
        api::ci_dec_refs(marker_shader_);
    marker_shader_ = nullptr;
}

void economy_ctrl_e::draw()
{
    entity_t::draw();
    if (player_job.job == -1 || !target_marker)
        return;
    api::gfx_push();
    const float at[3] = {player_job.target.x, player_job.target.y, player_job.target.z};
    api::gfx_translate(at);
    api::psm_add_time(target_marker, world_->frame_time());
    api::psm_draw(target_marker, 1, 0xFFFFFFFFu);
    api::gfx_pop();
}
