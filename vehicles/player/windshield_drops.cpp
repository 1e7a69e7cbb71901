#include "vehicles/player/windshield_drops.h"

#include <cfloat>
#include <cmath>
#include <cstring>

#include "engine/cache.h"
#include "common/engine_api.h"

namespace {

// The atlas cells (column, row) of each stage's four looks.
constexpr int atlas_cells[4][4][2] = {
    {{2, 2}, {2, 3}, {3, 2}, {3, 3}},
    {{2, 0}, {2, 1}, {3, 0}, {3, 1}},
    {{0, 0}, {0, 1}, {1, 0}, {1, 1}},
    {{0, 2}, {0, 3}, {1, 2}, {1, 3}},
};
constexpr float cell_size = 0.25f;
// Positions, atlas corners and colours of the packet: format word 301.
constexpr uint32_t packet_format =
    gfx_data_positions | gfx_data_colours | gfx_data_texcoords | gfx_data_indices | gfx_data_world;

// White with `alpha`.
uint32_t white(uint32_t alpha) { return alpha << 24 | 0xFFFFFFu; }

}  // namespace

void windshield_drops_t::release()
{
    block_.reset();
    drops_ = nullptr;
    positions_ = nullptr;
    uvs_ = nullptr;
    colours_ = nullptr;
    indices_ = nullptr;
    count_ = 0;
    packet_ = gfx_data_t{};
    for (c_item_t** shader : {&rain_shader_, &snow_shader_}) {
        if (*shader)
            api::ci_dec_refs(*shader);
        *shader = nullptr;
    }
    active_ = false;
}

void windshield_drops_t::setup(const vec3_t& origin, float width, float height, float x_fraction, float y_fraction,
                               int count)
{
    release();
    origin_ = origin;
    width_ = width;
    height_ = height;
    x_min_ = -(width * x_fraction);
    x_span_ = width - x_min_;
    y_min_ = height * y_fraction;
    y_span_ = height - y_min_;
    tip_[0] = prev_tip_[0] = width;
    tip_[1] = prev_tip_[1] = 0.0f;
    count_ = count > 0 ? count : 0;
    if (count_ > 0) {
        block_ = std::make_unique<uint8_t[]>(static_cast<size_t>(count_) * bytes_per_drop);
        uint8_t* at = block_.get();
        drops_ = reinterpret_cast<drop_t*>(at);
        at += sizeof(drop_t) * count_;
        positions_ = reinterpret_cast<vec3_t*>(at);
        at += sizeof(vec3_t) * 4 * count_;
        uvs_ = reinterpret_cast<float*>(at);
        at += sizeof(float) * 8 * count_;
        colours_ = reinterpret_cast<uint32_t*>(at);
        at += sizeof(uint32_t) * 4 * count_;
        indices_ = reinterpret_cast<uint16_t*>(at);
        static_assert(sizeof(drop_t) + 4 * sizeof(vec3_t) + 8 * sizeof(float) + 4 * sizeof(uint32_t) +
                              6 * sizeof(uint16_t) ==
                          bytes_per_drop,
                      "each drop owns 128 bytes of the block");
    }
    for (int i = 0; i < count_; ++i) {
        drops_[i] = drop_t{};
        spawn(i);
        drops_[i].wait = api::sys_rand() * 13.5f;
        hide(i);
        const uint16_t base = static_cast<uint16_t>(4 * i);
        const uint16_t order[6] = {0, 1, 2, 0, 2, 3};
        for (int k = 0; k < 6; ++k)
            indices_[6 * i + k] = static_cast<uint16_t>(base + order[k]);
    }
    rain_shader_ = api::mm_precache("shaders/effects/blobs.shd");
    snow_shader_ = api::mm_precache("shaders/effects/blobs_snow.shd");
    packet_.flags = packet_format;
    packet_.primitive = gfx_triangle_list;
    packet_.shader = rain_shader_ ? rain_shader_->object : nullptr;
    packet_.vertex_count = 4 * count_;
    packet_.index_count = 6 * count_;
    packet_.positions = count_ ? &positions_[0].x : nullptr;
    packet_.texcoords = uvs_;
    packet_.colours = colours_;
    packet_.indices = indices_;
}

void windshield_drops_t::spawn(int i)
{
    drop_t& drop = drops_[i];
    drop.x = api::sys_rand() * x_span_ + x_min_;
    drop.y = api::sys_rand() * y_span_ + y_min_;
    const vec3_t c = origin_ + vec3_t{drop.x, drop.y, 0.0f};
    const float s = (api::sys_rand() + 1.0f) * 0.1f * 11.0f;
    vec3_t* const q = &positions_[4 * i];
    q[0] = {c.x - s, c.y - s, c.z};
    q[1] = {c.x - s, c.y + s, c.z};
    q[2] = {c.x + s, c.y + s, c.z};
    q[3] = {c.x + s, c.y - s, c.z};
    for (int k = 0; k < 4; ++k)
        colours_[4 * i + k] = 0xFFFFFFFFu;
}

void windshield_drops_t::hide(int i)
{
    drops_[i].visible = 0;
    std::memset(&uvs_[8 * i], 0, 8 * sizeof(float));
}

void windshield_drops_t::set_uvs(int i, int stage)
{
    const int* const cell = atlas_cells[stage][drops_[i].cell & 3];
    const float u = cell[0] * cell_size, v = cell[1] * cell_size;
    const float corners[8] = {u, v, u, v + cell_size, u + cell_size, v + cell_size, u + cell_size, v};
    std::memcpy(&uvs_[8 * i], corners, sizeof corners);
}

void windshield_drops_t::scale_quad(int i, float factor)
{
    vec3_t* const q = &positions_[4 * i];
    const vec3_t centre = (q[0] + q[2]) * 0.5f;
    for (int k = 0; k < 4; ++k) {
        q[k].x = centre.x + (q[k].x - centre.x) * factor;
        q[k].y = centre.y + (q[k].y - centre.y) * factor;
    }
}

void windshield_drops_t::catch_up(int i)
{
    drop_t& drop = drops_[i];
    if (drop.stage == 3)
        return;
    if (drop.stage == 0)
        scale_quad(i, 0.5f);
    else if (drop.stage == 1)
        scale_quad(i, 0.666667f);
    drop.stage = 3;
    set_uvs(i, 3);
}

void windshield_drops_t::update(float frame_time)
{
    if (level == 0.0f && !active_)
        return;
    if (level != 0.0f) {
        active_ = true;
        c_item_t* const shader = level > 0.0f ? rain_shader_ : snow_shader_;
        packet_.shader = shader ? shader->object : nullptr;
    }
    bool any_visible = false;
    for (int i = 0; i < count_; ++i) {
        drop_t& drop = drops_[i];
        if (!drop.visible) {
            if (level == 0.0f)
                continue;
            drop.wait -= frame_time;
            if (drop.wait > 0.0f)
                continue;
            drop.wait = level >= 0.0f ? (1.0f - level) * api::sys_rand() * 7.0f + 1.3f
                                      : (level + 1.0f) * api::sys_rand() * 15.0f + 5.3f;
            drop.visible = 1;
            spawn(i);
            drop.age = 0.0f;
            drop.cell = static_cast<uint8_t>(static_cast<int>(api::sys_rand() * 4.0f) & 3);
            drop.stage = 0;
            set_uvs(i, 0);
            any_visible = true;
            continue;
        }
        drop.age += frame_time;
        const float d = (speed - 20.0f) * frame_time * 0.06f;
        drop.y += d;
        const bool off = height_ > 0.0f ? (drop.y > height_ || drop.y < y_min_) : (drop.y < height_ || drop.y > y_min_);
        if (off) {
            hide(i);
            continue;
        }
        any_visible = true;
        vec3_t* const q = &positions_[4 * i];
        const float age = drop.age;
        if (age < 0.1f)
            continue;
        if (age < 0.2f) {
            if (drop.stage == 0) {
                drop.stage = 1;
                set_uvs(i, 1);
                scale_quad(i, 0.75f);
            }
        } else if (age < 0.3f) {
            if (drop.stage == 1) {
                drop.stage = 2;
                set_uvs(i, 2);
                scale_quad(i, 0.666667f);
            }
        } else if (age < 0.4f) {
            if (drop.stage == 2) {
                drop.stage = 3;
                set_uvs(i, 3);
            }
        } else if (age < 0.9f) {
            catch_up(i);
            // The lower corners run ahead: the drop stretches as it slides.
            for (int k = 0; k < 4; ++k) {
                const bool lower = q[k].y <= std::fmin(std::fmin(q[0].y, q[1].y), std::fmin(q[2].y, q[3].y));
                q[k].y += lower ? 2.5f * d : d;
            }
        } else if (age <= 3.0f) {
            catch_up(i);
            for (int k = 0; k < 4; ++k)
                q[k].y += d;
        } else {
            const float alpha = std::round((5.0f - age) * 127.0f);
            const uint32_t a = alpha <= 0.0f ? 0u : static_cast<uint32_t>(std::fmin(alpha, 255.0f));
            for (int k = 0; k < 4; ++k) {
                colours_[4 * i + k] = white(a);
                q[k].y += d;
            }
            if (age > 5.0f)
                hide(i);
        }
    }
    if (!any_visible)
        active_ = false;
}

bool windshield_drops_t::covered(float x, float y, float first_x, float first_y, float second_x, float second_y) const
{
    // A line's x at the drop's height. A line lying flat (y 0) never reaches another height: it
    // stands at the far side its x points to, which is also where it lies at height 0.
    const auto at_height = [y](float line_x, float line_y) {
        if (line_y == 0.0f)
            return (line_x >= 0.0f) == (y >= 0.0f) ? FLT_MAX : -FLT_MAX;
        return y / line_y * line_x;
    };
    return at_height(first_x, first_y) < x && x <= at_height(second_x, second_y);
}

void windshield_drops_t::set_wiper_angle(float angle)
{
    tip_[0] = std::cos(angle) * width_;
    tip_[1] = std::sin(angle) * height_;
    moving_up_ = prev_angle_ < angle;
    const float* first = prev_tip_;
    const float* second = tip_;
    if (moving_up_)
        std::swap(first, second);
    if (width_ < 0.0f)
        std::swap(first, second);
    for (int i = 0; i < count_; ++i)
        if (covered(drops_[i].x, drops_[i].y, first[0], first[1], second[0], second[1]))
            hide(i);
    prev_tip_[0] = tip_[0];
    prev_tip_[1] = tip_[1];
    prev_angle_ = angle;
}

void windshield_drops_t::draw()
{
    if (active_ && count_ > 0)
        api::gfx_cache_data(&packet_);
}

void windshield_drops_t::drop_position(int drop, vec3_t& out) const
{
    out = origin_ + vec3_t{drops_[drop].x, drops_[drop].y, 0.0f};
}
