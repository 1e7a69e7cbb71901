#include "game/economy/economy_target_marker.h"

#include "engine/cache.h"
#include "engine/gfx_render.h"
#include "engine/gfx_view.h"
#include "engine/psm.h"
#include "common/engine_api.h"
#include "game/economy/economy_world.h"

namespace {

constexpr const char* marker_model_path = "/models/free_items/target/target.psm";
constexpr const char* marker_shader_path = "/models/free_items/target/target.shd";
constexpr const char* marker_animation_path = "/models/free_items/target/target.psa";

}  // namespace

void economy_target_marker_t::load(economy_world_t& world)
{
    release();
    shader_ = api::mm_precache(marker_shader_path);
    api::gfx_shader_precache(marker_shader_path);
    model_ = api::psm_alloc(marker_model_path, 0, 0, 0);
    if (!model_)
        return;
    for (int part = 0; part < 2; ++part)
        api::psm_set_shader(model_, part, marker_shader_path);
    const int animation = api::psm_anim_add_file(api::psm_get_info(model_), marker_animation_path, nullptr);
    const int player = animation >= 0 ? api::psm_adesc_create(model_, animation, 0, 0, 0) : -1;
    if (player >= 0) {
        api::psm_adesc_set_wspeeds(model_, player, 2.0f, -2.0f);
        api::psm_adesc_loop_forever(model_, player);
    }
    world.light_model(model_);
}

void economy_target_marker_t::release()
{
    if (model_)
        api::psm_free(model_);
    model_ = nullptr;
    if (shader_)
        api::ci_dec_refs(shader_);
    shader_ = nullptr;
}

void economy_target_marker_t::draw(const vec3_t& at, const float dt)
{
    if (!model_)
        return;
    api::gfx_push();
    const float place[3] = {at.x, at.y, at.z};
    api::gfx_translate(place);
    api::psm_add_time(model_, dt);
    api::psm_draw(model_, 1, 0xFFFFFFFFu);
    api::gfx_pop();
}
