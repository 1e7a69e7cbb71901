#include "ui/components/ui_comp_area_map.h"

#include <algorithm>

#include "engine/gfx_frame.h"
#include "engine/gfx_view.h"
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "road/base_ctrl.h"
#include "ui/components/area_map_economy.h"
#include "ui/components/ui_area_view.h"
#include "ui/components/ui_quad_draw.h"
#include "vehicles/body/car_phys.h"

const level_list_t ui_comp_area_map_t::area_map_init_list(&entity_t::init_list, {0});
const level_list_t ui_comp_area_map_t::area_map_destroy_list(&entity_t::destroy_list, {0});

namespace {

// The view's projection.
constexpr float map_fov = 70.0f;
constexpr float map_near = 23000.0f;
constexpr float map_far = 2300000.0f;
// Where a followed camera may go over the country.
constexpr float follow_x_limit = 700000.0f;
constexpr float follow_z_low = -259000.0f;
constexpr float follow_z_high = 320000.0f;
// Half the length of the GPS arrow, over the country and in the city view; its half width is a share of it.
constexpr float arrow_size = 30000.0f;
constexpr float arrow_city_size = 2000.0f;
constexpr float arrow_width_share = 0.8f;
// Markup bytes of the icons and of the texts.
constexpr size_t icon_bytes = 32768;
constexpr size_t label_bytes = 16384;
constexpr uint32_t map_record_flags =
    gfx_data_positions | gfx_data_colours | gfx_data_texcoords | gfx_data_indices | gfx_data_world;

// The camera above `position` looking straight down, +x to the right and -z up on the screen: its frame
// in the world (`frame`) and the world-to-camera matrix (`inverse`).
void camera_looking_down(const vec3_t& position, mat4_t& frame, mat4_t& inverse)
{
    frame = mat4_t{};
    frame.m[0][0] = 1.0f;
    frame.m[1][2] = 1.0f;
    frame.m[2][1] = -1.0f;
    frame.m[3][3] = 1.0f;
    frame.m[0][3] = position.x;
    frame.m[1][3] = position.y;
    frame.m[2][3] = position.z;
    inverse = mat4_t{};
    inverse.m[0][0] = 1.0f;
    inverse.m[1][2] = -1.0f;
    inverse.m[2][1] = 1.0f;
    inverse.m[3][3] = 1.0f;
    inverse.m[0][3] = -position.x;
    inverse.m[1][3] = position.z;
    inverse.m[2][3] = -position.y;
}

}  // namespace

ui_comp_area_map_t::ui_comp_area_map_t() : icon_items_(icon_bytes), label_texts_(label_bytes) {}

int ui_comp_area_map_t::init(const int phase)
{
    const int result = ui_view_t::init(phase);
    if (result == 0 && phase == 0) {
        road_shader_ = ui_shader_load("/shaders/ui/map/road.shd");
        city_road_shader_ = ui_shader_load("/shaders/ui/map/road_city.shd");
        arrow_shader_ = ui_shader_load("/shaders/ui/map/arrow_gps.shd");
        const pml_rect_t pixels = uiref2view();
        view_width_ = pixels.right - pixels.left;
        view_height_ = pixels.top - pixels.bottom;
    }
    return result;
}

int ui_comp_area_map_t::destroy(const int phase)
{
    if (phase == 0) {
        ui_shader_release(road_shader_);
        ui_shader_release(city_road_shader_);
        ui_shader_release(arrow_shader_);
        icon_items_.reset();
        label_texts_.reset();
        chunks_.clear();
        markers_.clear();
    }
    return ui_view_t::destroy(phase);
}

void ui_comp_area_map_t::set_label_filter(const uint32_t mask, const uint32_t colour)
{
    label_mask = mask;
    label_colour = colour;
    dirty = 1;
}

void ui_comp_area_map_t::set_map_view(const uint8_t shown, const uint8_t city, const float zoom)
{
    follow = shown;
    city_mode = city;
    camera_height = zoom;
}

vec3_t ui_comp_area_map_t::camera_position(const vec3_t& truck) const
{
    if (!follow)
        return {0.0f, camera_height, 0.0f};
    vec3_t position(truck.x, truck.y + camera_height, truck.z);
    if (!city_mode) {
        position.x = std::clamp(position.x, -follow_x_limit, follow_x_limit);
        position.z = std::clamp(position.z, follow_z_low, follow_z_high);
    }
    return position;
}

void ui_comp_area_map_t::draw()
{
    if (!is_visible())
        return;
    const game_bridge_t* const bridge = get_game_bridge();
    vec3_t truck;
    quat_t turn;
    {
        const held_part_t<car_phys_e> player(bridge ? bridge->avatar() : entity_handle_t{});
        if (player.get()) {
            truck = player.get()->get_position();
            turn = player.get()->get_orientation();
        }
    }
    const held_part_t<base_ctrl_e> ctrl(bridge ? bridge->base_ctrl() : entity_handle_t{});
    const entity_handle_t economy_handle = bridge ? bridge->economy() : entity_handle_t{};
    const held_part_t<ctrl_economy_t> names(economy_handle);
    const held_part_t<area_map_economy_t> economy(economy_handle);
    draw_map(ctrl.get(), names.get(), economy.get(), truck, turn);
}

void ui_comp_area_map_t::draw_map(const base_ctrl_e* ctrl, const ctrl_economy_t* names,
                                  const area_map_economy_t* economy, const vec3_t& truck, const quat_t& turn)
{
    const gfx_view_t view = ui_area_view(uiref2view(), map_near, map_far, map_fov);
    mat4_t frame, inverse;
    camera_looking_down(camera_position(truck), frame, inverse);
    api::gfx_view_push(&view);
    api::gfx_camera_push();
    api::gfx_camera_load(&inverse.m[0][0], &frame.m[0][0]);
    api::gfx_push_identity();
    // The world drawn before leaves its depths; the map lies far below this camera.
    api::gfx_clear1(gfx_clear_depth, 0);
    if (city_mode || dirty)
        rebuild_labels(ctrl, names, economy);
    c_item_t* const shader = city_mode ? city_road_shader_ : road_shader_;
    for (const area_map_chunk_t& chunk : chunks_) {
        if (chunk.vertex_count() <= 3)
            continue;
        gfx_data_t data;
        data.flags = map_record_flags;
        data.primitive = gfx_triangle_list;
        data.vertex_count = chunk.vertex_count();
        data.index_count = chunk.index_count();
        data.positions = chunk.positions.data();
        data.texcoords = chunk.texcoords.data();
        data.colours = chunk.colours.data();
        data.indices = chunk.indices.data();
        ui_submit_quads(data, shader);
    }
    api::gfx_pop();
    api::gfx_camera_pop();
    api::gfx_view_pop();

    pml_buffer_flush(icon_items_, 0.0f, 0.0f);
    pml_buffer_flush(label_texts_, 0.0f, 0.0f);

    api::gfx_view_push(&view);
    api::gfx_camera_push();
    api::gfx_camera_load(&inverse.m[0][0], &frame.m[0][0]);
    api::gfx_push_identity();
    draw_arrow(truck, turn);
    api::gfx_pop();
    api::gfx_camera_pop();
    api::gfx_view_pop();
}

void ui_comp_area_map_t::draw_arrow(const vec3_t& truck, const quat_t& turn)
{
    const float size = city_mode ? arrow_city_size : arrow_size;
    const vec3_t forward = turn.rotate(vec3_t(0.0f, 0.0f, -1.0f));
    const vec3_t side = forward.cross(vec3_t(0.0f, 1.0f, 0.0f));
    const vec3_t front = truck + forward * size;
    const vec3_t back = truck - forward * size;
    const vec3_t half_width = side * (arrow_width_share * size);
    // As a strip: the front's left and right corners, then the back's; the picture's top is the tip.
    const vec3_t corners[4] = {front - half_width, front + half_width, back - half_width, back + half_width};
    float positions[12];
    for (int i = 0; i < 4; ++i) {
        positions[i * 3] = corners[i].x;
        positions[i * 3 + 1] = corners[i].y;
        positions[i * 3 + 2] = corners[i].z;
    }
    static const uint32_t white[4] = {0xffffffffu, 0xffffffffu, 0xffffffffu, 0xffffffffu};
    gfx_data_t data = ui_quad_record(ui_quad_world_flags, 4, positions, white);
    ui_submit_quads(data, arrow_shader_);
}
