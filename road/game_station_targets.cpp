#include "road/game_stations.h"

#include <cstdio>

#include "engine/cache.h"
#include "engine/psm.h"
#include "common/engine_api.h"
#include "road/game_ctrl.h"
#include "road/seg_server.h"

namespace {

// The target models by name, in the order the draw picks them.
const char* const target_names[game_ctrl_target_models] = {"target2", "target_gas", "target_service", "target_weigh"};

// The target model (index into the names above) drawn over a station item of `type`.
int target_of(const int32_t type)
{
    switch (type) {
    case map_misc_gas_station:
        return 1;
    case map_misc_service:
        return 2;
    case map_misc_scales:
        return 3;
    default:
        return 0;
    }
}

}  // namespace

void game_stations_t::load_target_models()
{
    free_target_models();
    char path[128];
    for (int i = 0; i < game_ctrl_target_models; ++i) {
        std::snprintf(path, sizeof path, "/models/free_items/target/%s.shd", target_names[i]);
        c_item_t* const shader = api::mm_precache(path);
        api::gfx_shader_precache(path);
        char model_path[128];
        std::snprintf(model_path, sizeof model_path, "/models/free_items/target/%s.psm", target_names[i]);
        psm_t* const model = api::psm_alloc(model_path, 0, 0, 16);
        if (model) {
            for (int part = 0; part < 2; ++part)
                api::psm_set_shader(model, part, path);
            char animation_path[128];
            std::snprintf(animation_path, sizeof animation_path, "/models/free_items/target/%s.psa", target_names[i]);
            const int animation = api::psm_anim_add_file(api::psm_get_info(model), animation_path, nullptr);
            const int player = animation >= 0 ? api::psm_adesc_create(model, animation, 0, 0, -1) : -1;
            if (player >= 0) {
                api::psm_adesc_set_wspeeds(model, player, 2.0f, -2.0f);
                api::psm_adesc_loop_forever(model, player);
            }
            if (ctrl_.seg_server)
                api::psm_set_light_callback(model, seg_server_light_callback, ctrl_.seg_server);
        } else {
            api::warning("<game_ctrl_e> no station target model %s", model_path);
        }
        target_models_[i] = model;
        if (shader)
            api::ci_dec_refs(shader);
    }
}

void game_stations_t::free_target_models()
{
    for (psm_t*& model : target_models_) {
        if (model)
            api::psm_free(model);
        model = nullptr;
    }
}

void game_stations_t::draw_targets(const float seconds)
{
    for (psm_t* model : target_models_)
        if (model)
            api::psm_add_time(model, seconds);
    for (const int32_t index : ctrl_.active_list(base_ctrl_stations)) {
        if (!ctrl_.miscitems.valid(index))
            continue;
        const map_miscitem_t& item = ctrl_.miscitems[index];
        psm_t* const model = target_models_[target_of(item.type)];
        if (!model)
            continue;
        api::gfx_push();
        api::gfx_translate(&item.points[0].x);
        api::psm_draw(model, 1, 0xFFFFFFFFu);
        api::gfx_pop();
    }
}
