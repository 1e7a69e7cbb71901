// Per-frame drawing of the segment server's run-time instances: static models, sign boards, traffic
// lights and street lights with their flares, movers, the target marker and the painted lane arrows.
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/gfx_render.h"
#include "engine/gfx_view.h"
#include "engine/psm.h"
#include "engine/ui.h"
#include "common/engine_api.h"
#include "physics/phys_body.h"
#include "road/seg_mirror_cull.h"
#include "road/seg_server.h"

namespace {

// Flares are not drawn beyond 25000 units and fade from 15000 units (squared distances).
constexpr float flare_far = 6.25e8f;
constexpr float flare_fade = 2.25e8f;
constexpr float flare_fade_scale = 2.5e-9f;
constexpr float flare_size = 50.0f;
constexpr float flare_scale = 1.2f;
// A street light within 25000 units gets its pool of light (squared distance).
constexpr float pool_reach_sq = 6.25e8f;
// How far the near plane moves out for flares and for what is drawn on the boards and the road.
constexpr float flare_near_raise = 1.5f;
constexpr float decal_near_raise = 0.5f;
// The board windows' quad on the sign: 600 wide and 480 high.
constexpr float board_width = 600.0f;
constexpr float board_height = 480.0f;
constexpr unsigned white = 0xFFFFFFFFu;
// The part of a free-item model that is its collision mesh, never drawn.
constexpr const char* collision_part = "zcoll";

// The view with its near plane moved out by `raise`, pushed until the guard goes.
class raised_view_t {
public:
    explicit raised_view_t(const float raise)
    {
        gfx_view_t view;
        api::gfx_view_get(&view);
        view.near_plane += raise;
        api::gfx_view_push(&view);
    }
    ~raised_view_t() { api::gfx_view_pop(); }
    raised_view_t(const raised_view_t&) = delete;
    raised_view_t& operator=(const raised_view_t&) = delete;
};

// The world matrix moved to `position` and turned by `rotation` until the guard goes.
class placed_t {
public:
    placed_t(const vec3_t& position, const quat_t& rotation)
    {
        api::gfx_push();
        const float offset[3] = {position.x, position.y, position.z};
        const float turn[4] = {rotation.x, rotation.y, rotation.z, rotation.w};
        api::gfx_translate(offset);
        api::gfx_qrotate(turn);
    }
    ~placed_t() { api::gfx_pop(); }
    placed_t(const placed_t&) = delete;
    placed_t& operator=(const placed_t&) = delete;
};

// The camera's position in the current world matrix's frame.
vec3_t camera_here()
{
    gfx_camera_t camera{};
    api::gfx_get_camera(&camera);
    return vec3_t(camera.position[0], camera.position[1], camera.position[2]);
}

}  // namespace

bool seg_server_t::draw_flare(const vec3_t& point, const vec3_t& camera, const gfx_shader_t* shader,
                              const bool directional)
{
    const vec3_t to_camera(camera.x - point.x, camera.y - point.y, camera.z - point.z);
    const float d2 = to_camera.x * to_camera.x + to_camera.y * to_camera.y + to_camera.z * to_camera.z;
    if (d2 > flare_far)
        return false;
    float brightness = 1.0f;
    if (directional) {
        // A lamp shines towards its model's +z side.
        const vec3_t eye = camera_here();
        const float length = std::sqrt(eye.x * eye.x + eye.y * eye.y + eye.z * eye.z);
        brightness = length > 0.0f ? eye.z / length : 0.0f;
    }
    if (d2 > flare_fade)
        brightness *= (flare_far - d2) * flare_fade_scale;
    if (!(brightness > 0.0f))
        return false;
    const float at[3] = {point.x, point.y, point.z};
    const float back[3] = {-point.x, -point.y, -point.z};
    api::gfx_translate(at);
    {
        const raised_view_t view(flare_near_raise);
        const auto grey = static_cast<uint32_t>(std::min(brightness, 1.0f) * 255.0f);
        flare_sprite.colour = 0xFF000000u + grey * 0x010101u;
        flare_sprite.rotation = -std::fmod(d2 * 0.000002f, 360.0f);
        flare_sprite.scale = 1.0f;
        const float centre[3] = {0.0f, 0.0f, 0.0f};
        api::gfx_sprite(shader, centre, flare_size, 1, &flare_sprite, flare_scale, flare_scale, 0, -1.0f);
    }
    api::gfx_translate(back);
    return true;
}

void seg_server_t::draw_objects(const bool night)
{
    for (const veg_model_t& veg : veg_models)
        for (const model_instance_t& instance : *veg.instances)
            if (instance.visible && veg.model && !seg_outside_mirror(veg.model, instance.position)) {
                const placed_t placed(instance.position, rotations[instance.rotation]);
                api::psm_draw(veg.model, 1, instance.colour);
            }
    for (const board_instance_t& board : boards)
        if (board.visible)
            draw_board(board);
    for (const lamp_instance_t& lamp : lamps) {
        const tr_lights_model_t& model = tr_lights[static_cast<size_t>(lamp.model)];
        if (!lamp.visible || !model.model)
            continue;
        const bool shown = !seg_outside_mirror(model.model, lamp.position);
        const placed_t placed(lamp.position, lamp.rotation);
        if (shown)
            api::psm_draw(model.model, 1, white);
        const int32_t pair = lamp.flags & 1 ? 2 : 0;
        for (int32_t i = 0; i < model.group_count; ++i) {
            const int32_t state = lamp_state[pair + ((lamp.flags & 2) || i > 0 ? 1 : 0)];
            draw_flare(model.lamps[i][state], camera_here(), tr_light_states[state].shader, true);
        }
    }
    const vec3_t eye = camera_here();
    for (light_instance_t& light : lights) {
        const cityblock_lamp_t& lamp = cityblock_lamps[static_cast<size_t>(light.lamp)];
        if (!light.visible || !lamp.model)
            continue;
        {
            const bool shown = !seg_outside_mirror(lamp.model, light.position);
            const placed_t placed(light.position, light.rotation);
            if (shown)
                api::psm_draw(lamp.model, 0, white);
            for (int32_t i = 0; night && i < lamp.light_count; ++i)
                draw_flare(lamp.lights[i], camera_here(), lamp.flare.shader, false);
        }
        if (!night || lamp.light_count == 0)
            continue;
        // The pool lies under the first light point, built the first night the light comes near.
        const vec3_t centre = light.rotation.rotate(lamp.lights[0]) + light.position;
        const float distance_sq = (centre - eye).length_sq();
        if (distance_sq > pool_reach_sq)
            continue;
        if (!light.pool_built)
            build_light_pool(light, centre);
        draw_light_pool(light, lamp.decal.shader, distance_sq);
    }
    for (const mover_instance_t& mover : movers) {
        if (mover.visible) {
            const placed_t placed(mover.position, mover.rotation);
            draw_free_item_parts(mover.model, mover.look, night);
        }
    }
    if (target.shown && hq_models[target.model]) {
        const placed_t placed(target.position, target.rotation);
        api::psm_draw_part(hq_models[target.model], 0, nullptr, 0, target.colour);
        for (int32_t part = 1; part < target.part_count; ++part)
            api::psm_draw_part(hq_models[target.model], part, nullptr, 1, white);
    }
    const raised_view_t view(decal_near_raise);
    for (int32_t kind = 0; arrow_packets && kind < seg_arrow_kinds; ++kind) {
        const seg_arrow_packet_t& packet = arrow_packets[kind];
        if (packet.quad_count == 0)
            continue;
        gfx_data_t data;
        data.flags = gfx_data_positions | gfx_data_texcoords | gfx_data_world;
        data.primitive = gfx_triangle_list;
        data.shader = packet.shader.shader;
        data.vertex_count = packet.quad_count * seg_arrow_quad_vertices;
        data.positions = &packet.positions[0].x;
        data.texcoords = packet.texture_coords;
        api::gfx_cache_data(&data);
    }
}

void seg_server_t::draw_board(const board_instance_t& board)
{
    const sign_board_def_t& definition = sign_boards[static_cast<size_t>(board.definition)];
    const sign_model_t& sign = sign_models[static_cast<size_t>(definition.model)];
    if (!sign.model)
        return;
    // A board a pooled box carries is drawn where the box's body is, the box's centre back to the
    // board's own origin.
    const phys_state_t* const carrier =
        (board.flags & (board_attached | board_model_flag)) == (board_attached | board_model_flag) && board.body
            ? board.body->current
            : nullptr;
    const placed_t placed(carrier ? carrier->position : board.position,
                          carrier ? carrier->orientation : board.orientation);
    if (carrier) {
        const float back[3] = {-board.box_centres[0].x, -board.box_centres[0].y, -board.box_centres[0].z};
        api::gfx_translate(back);
    }
    for (int32_t part = 0; part < sign_board_shaders && definition.shaders[part].shader; ++part)
        api::psm_draw_part(sign.model, part, definition.shaders[part].shader, 1, white);
    for (int32_t b = 0; b < sign.board_count; ++b) {
        const int32_t arrow = board.arrows[b];
        if (arrow >= 0 && arrow < 3 && sign.arrow_parts[b] >= 0)
            api::psm_draw_part(sign.model, sign.arrow_parts[b], board_arrows[arrow].shader, 1, white);
        const int32_t background = board.road_backgrounds[b];
        if (background >= 0 && background < 2 && sign.road_parts[b] >= 0)
            api::psm_draw_part(sign.model, sign.road_parts[b], board_backgrounds[background].shader, 1, white);
        if (c_item_t* const window = board.boards[b]) {
            const raised_view_t view(decal_near_raise);
            ui_wadvance3d(window);
            ui_wdraw3d(window, sign.board_points[b], vec3_t(board_width, 0.0f, 0.0f), vec3_t(0.0f, board_height, 0.0f),
                       false, white);
        }
    }
}

bool seg_server_t::freeitem_part_drawn(const psm_info_t& info, const int32_t part)
{
    const char* const name = info.parts[part].name;
    return !name || std::strcmp(name, collision_part) != 0;
}

void seg_server_t::draw_free_item_parts(const int32_t model, const int32_t look, const bool night)
{
    if (model < 0 || static_cast<size_t>(model) >= freeitem_models.size())
        return;
    psm_t* const psm = freeitem_models[static_cast<size_t>(model)].model;
    const psm_info_t* const info = psm ? api::psm_get_info(psm) : nullptr;
    if (!info)
        return;
    // The parts drawn: all but the collision part.
    std::vector<int32_t> parts;
    for (int32_t part = 0; part < info->part_count; ++part)
        if (freeitem_part_drawn(*info, part))
            parts.push_back(part);
    const freeitem_look_t* const chosen = look >= 0 && static_cast<size_t>(look) < freeitem_looks.size()
                                              ? &freeitem_looks[static_cast<size_t>(look)]
                                              : nullptr;
    // A look names one shader pair per drawn part; with a look that does not fit, the parts are white.
    const bool fits = chosen && chosen->model_count == static_cast<int32_t>(parts.size());
    for (size_t i = 0; i < parts.size(); ++i) {
        const int32_t pair = fits ? chosen->models[i] : -1;
        const gfx_shader_t* shader = nullptr;
        if (pair >= 0 && static_cast<size_t>(pair) < freeitem_shaders.size()) {
            const seg_shader_pair_t& shaders = freeitem_shaders[static_cast<size_t>(pair)];
            shader = night ? shaders.second.shader : shaders.first.shader;
        }
        api::psm_draw_part(psm, parts[i], shader, 1, white);
    }
}

void seg_server_t::draw_free_items(const map_array_t<map_freeitem_t>& items, const bool night)
{
    for (const int32_t index : shown_freeitems) {
        if (index < 0 || index >= items.count)
            continue;
        const map_freeitem_t& item = items[index];
        if ((item.shown & 0xFFu) == 0)
            continue;
        quat_t rotation;
        rotation.set_ypr(item.rotation);
        const placed_t placed(item.position, rotation);
        draw_free_item_parts(item.model, item.look, night);
    }
}
