#include "ui/components/ui_comp_gauge.h"

#include <algorithm>
#include <cmath>

#include "engine/matrix.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"
#include "ui/components/ui_quad_draw.h"

const evalue_def_t ui_comp_gauge_t::evd_smooth_move = evalue_member(
    "smooth_move", evalue_bool, sizeof(bool), evalue_bind<&ui_comp_gauge_t::smooth_move>, &ui_view_t::evd_id, "true");
const evalue_def_t ui_comp_gauge_t::evd_yref_pos = evalue_member(
    "yref_pos", evalue_int, sizeof(int32_t), evalue_bind<&ui_comp_gauge_t::yref_pos>, &evd_smooth_move, "0");
const evalue_def_t ui_comp_gauge_t::evd_xref_pos =
    evalue_member("xref_pos", evalue_int, sizeof(int32_t), evalue_bind<&ui_comp_gauge_t::xref_pos>, &evd_yref_pos, "0");
const evalue_def_t ui_comp_gauge_t::evd_shader = evalue_member(
    "shader", evalue_text, sizeof(ui_comp_gauge_t::shader_path), evalue_bind<&ui_comp_gauge_t::shader_path>,
    &evd_xref_pos, nullptr, evalue_bind_status<&ui_comp_gauge_t::shader_status>);
const evalue_def_t ui_comp_gauge_t::evd_range =
    evalue_member("range", evalue_real, sizeof(float), evalue_bind<&ui_comp_gauge_t::range>, &evd_shader, "100");
const evalue_def_t ui_comp_gauge_t::evd_value =
    evalue_member("value", evalue_real, sizeof(float), evalue_bind<&ui_comp_gauge_t::value>, &evd_range, "0");
const evalue_def_t ui_comp_gauge_t::evd_max =
    evalue_member("max", evalue_real, sizeof(float), evalue_bind<&ui_comp_gauge_t::max_angle>, &evd_value, "90");
const evalue_def_t ui_comp_gauge_t::evd_min =
    evalue_member("min", evalue_real, sizeof(float), evalue_bind<&ui_comp_gauge_t::min_angle>, &evd_max, "-90");

const level_list_t ui_comp_gauge_t::gauge_init_list(&entity_t::init_list, {0});
const level_list_t ui_comp_gauge_t::gauge_destroy_list(&entity_t::destroy_list, {0});

namespace {

// An angle limited to one turn, 0 .. 360 degrees.
float one_turn(const float angle) { return angle < 0.0f ? 0.0f : (angle > 360.0f ? 360.0f : angle); }

}  // namespace

int ui_comp_gauge_t::init(const int phase)
{
    const int result = ui_view_t::init(phase);
    if (result == 0 && phase == 0)
        load_shader();
    return result;
}

int ui_comp_gauge_t::destroy(const int phase)
{
    if (phase == 0)
        ui_shader_release(shader);
    return ui_view_t::destroy(phase);
}

void ui_comp_gauge_t::load_shader()
{
    ui_shader_release(shader);
    if (shader_path[0])
        shader = ui_shader_load(shader_path);
}

void ui_comp_gauge_t::handler()
{
    ui_view_t::handler();
    if ((shader_status & evalue_changed) == 0)
        return;
    shader_status &= static_cast<uint8_t>(~evalue_changed);
    refresh(ui_change_property);
}

void ui_comp_gauge_t::refresh(const unsigned flags)
{
    if (flags & ui_change_property)
        load_shader();
    ui_view_t::changed(flags);
}

float ui_comp_gauge_t::set_min(const float angle)
{
    const float previous = min_angle;
    min_angle = one_turn(angle);
    return previous;
}

float ui_comp_gauge_t::set_max(const float angle)
{
    const float previous = max_angle;
    max_angle = one_turn(angle);
    return previous;
}

float ui_comp_gauge_t::set_value(const float new_value)
{
    const float previous = value;
    value = new_value > 0.0f ? new_value : 0.0f;
    if (value > range)
        value = range;
    return previous;
}

float ui_comp_gauge_t::set_range(const float new_range)
{
    const float previous = range;
    range = new_range;
    return previous;
}

void ui_comp_gauge_t::set_mark(const int new_mark) { mark = new_mark; }

float ui_comp_gauge_t::target_angle() const
{
    // A gauge without a swing shows every value at "min" rather than at no angle at all.
    if (range == 0.0f)
        return min_angle;
    return min_angle + (max_angle - min_angle) * value / range;
}

void ui_comp_gauge_t::turn_needle()
{
    const float target = target_angle();
    if (!smooth_move) {
        current_angle = target;
        return;
    }
    const float step = ui_gauge_turn_speed * api::sys_get_lastdelta();
    if (current_angle < target)
        current_angle = std::fmin(current_angle + step, target);
    else
        current_angle = std::fmax(current_angle - step, target);
}

void ui_comp_gauge_t::draw()
{
    if (!shader || !is_visible())
        return;
    const auto* const picture = static_cast<const gfx_shader_t*>(c_item_lock(shader));
    if (!picture)
        return;
    const float w = static_cast<float>(picture->width);
    const float h = static_cast<float>(picture->height);
    c_item_release(shader);
    float du = 0.0f;
    float dv = 0.0f;
    api::gfx_texel_offset(&du, &dv);
    const float x0 = static_cast<float>(-xref_pos);
    const float y0 = static_cast<float>(yref_pos);
    const vec3_t corners[4] = {{x0, y0, 0.0f}, {w + x0, y0, 0.0f}, {x0, y0 - h, 0.0f}, {w + x0, y0 - h, 0.0f}};
    const float uv[8] = {du, dv, du + 1.0f, dv, du, dv + 1.0f, du + 1.0f, dv + 1.0f};
    std::copy(std::begin(uv), std::end(uv), texcoords);

    turn_needle();
    mat4_t turn;
    matrix_set_rotate(turn, vec3_t{0.0f, 0.0f, -current_angle});
    const vec3_t centre{rect.left + std::fabs(rect.left - rect.right) / 2.0f,
                        rect.bottom + std::fabs(rect.bottom - rect.top) / 2.0f, 0.0f};
    for (int i = 0; i < 4; ++i) {
        const vec3_t p = mult_point_matrix(turn, corners[i]) + centre;
        vertices[i][0] = p.x;
        vertices[i][1] = p.y;
        vertices[i][2] = p.z;
    }

    gfx_data_t data = ui_quad_record(ui_quad_world_flags, 4, &vertices[0][0], colours, texcoords);
    ui_submit_quads(data, shader);
}
