#include "world/decals_wrap.h"

#include <algorithm>
#include <cmath>

#include "engine/cache.h"
#include "engine/gfx_render.h"
#include "engine/gfx_view.h"
#include "common/engine_api.h"
#include "physics/cd_geo.h"
#include "physics/tri_query.h"

namespace {

constexpr evalue_def_t shader_def =
    evalue_member("shader", evalue_text, 64, evalue_bind<&decals_wrap_e::shader>, nullptr, "");
constexpr evalue_def_t color_def =
    evalue_array("color", evalue_real, sizeof(float), evalue_bind<&decals_wrap_e::color>, &shader_def, "255");
constexpr evalue_def_t x_scale_def =
    evalue_member("x_scale", evalue_real, sizeof(float), evalue_bind<&decals_wrap_e::x_scale>, &color_def, "1.0");
constexpr evalue_def_t y_scale_def =
    evalue_member("y_scale", evalue_real, sizeof(float), evalue_bind<&decals_wrap_e::y_scale>, &x_scale_def, "1.0");
constexpr evalue_def_t alpha_def =
    evalue_member("alpha", evalue_real, sizeof(float), evalue_bind<&decals_wrap_e::alpha>, &y_scale_def, "1.0");
constexpr evalue_def_t angle_def =
    evalue_member("angle", evalue_real, sizeof(float), evalue_bind<&decals_wrap_e::angle>, &alpha_def, "0");
constexpr evalue_def_t max_points_def =
    evalue_member("max_points", evalue_int, sizeof(int32_t), evalue_bind<&decals_wrap_e::max_points>, &angle_def, "72");
constexpr evalue_def_t wrap_type_def = evalue_member("wrap_type", evalue_int, sizeof(int32_t),
                                                     evalue_bind<&decals_wrap_e::wrap_type>, &max_points_def, "1");

// Bytes of one point and of an instance's head, as the instance blocks are sized.
constexpr int point_bytes = 30;
constexpr int instance_head_bytes = 36;

uint8_t colour_byte(float value) { return static_cast<uint8_t>(std::clamp(value, 0.0f, 255.0f)); }

}  // namespace

decals_wrap_e::~decals_wrap_e()
{
    for (wrap_instance_t& instance : instances_)
        release_instance(instance);
    if (shader_item_)
        api::ci_dec_refs(shader_item_);
}

const evalue_def_t* decals_wrap_e::get_evalue_root() const
{
    static std::array<evalue_def_t, 8> defs{wrap_type_def, max_points_def, angle_def, alpha_def,
                                            y_scale_def,   x_scale_def,    color_def, shader_def};
    static const evalue_def_t* const root = decal_property_chain(defs, decal_generic_e::get_evalue_root());
    return root;
}

int decals_wrap_e::init(int phase)
{
    if (phase == 0) {
        update_block_size();
        if (shader[0] && !shader_item_) {
            shader_item_ = api::mm_precache(shader);
            shader_handle_ = api::gfx_shader_precache(shader);
        }
    }
    return decal_generic_e::init(phase);
}

int decals_wrap_e::destroy(int phase)
{
    if (phase == 0) {
        if (shader_item_)
            api::ci_dec_refs(shader_item_);
        shader_item_ = nullptr;
        for (wrap_instance_t& instance : instances_)
            release_instance(instance);
        instances_.clear();
    }
    return decal_generic_e::destroy(phase);
}

void decals_wrap_e::update_block_size()
{
    // An instance's points are numbered by 16-bit indices.
    if (max_points > max_point_count) {
        api::warning("decals.wrap: max_points %d is more than the %d points an instance can number", max_points,
                     max_point_count);
        max_points = max_point_count;
    }
    max_points = std::max(max_points, 0);
    block_size_ = max_points * point_bytes + instance_head_bytes;
}

wrap_instance_t& decals_wrap_e::new_instance()
{
    instances_.emplace_back();
    return instances_.back();
}

decals_wrap_e::half_sizes_t decals_wrap_e::half_sizes(const decal_params_t* params, bool depth_from_size) const
{
    half_sizes_t half{x_scale * 0.5f, y_scale * 0.5f, 0.0f};
    const vec3_t scale = params ? params->scale() : vec3_t{1.0f, 1.0f, -1.0f};
    half.width *= scale.x;
    half.height *= scale.y;
    half.depth = !depth_from_size && scale.z > 0.0f ? scale.z * 0.5f : std::max(half.width, half.height);
    return half;
}

uint32_t decals_wrap_e::packed_colour() const
{
    const float* values = static_cast<const float*>(color.data);
    const float red = color.count > 0 ? values[0] : 255.0f;
    const float green = color.count > 1 ? values[1] : 255.0f;
    const float blue = color.count > 2 ? values[2] : 255.0f;
    return colour_byte(red) | colour_byte(green) << 8 | colour_byte(blue) << 16 | colour_byte(alpha * 255.0f) << 24;
}

bool decals_wrap_e::append_polygon(wrap_instance_t& instance, const std::vector<decal_corner_t>& polygon,
                                   const half_sizes_t& half, const decal_params_t* params)
{
    const int first = static_cast<int>(instance.positions.size());
    if (first + static_cast<int>(polygon.size()) > max_points)
        return false;
    const float u_scale = params ? params->texture_u() : 1.0f;
    const float v_scale = params ? params->texture_v() : 1.0f;
    const uint32_t colour = packed_colour();
    for (const decal_corner_t& corner : polygon) {
        instance.positions.push_back(corner.position);
        instance.texcoords.push_back((corner.x / half.width * 0.5f + 0.5f) * u_scale);
        instance.texcoords.push_back((corner.y / half.height * 0.5f + 0.5f) * v_scale);
        instance.colours.push_back(colour);
    }
    for (int i = 2; i < static_cast<int>(polygon.size()); ++i) {
        instance.indices.push_back(static_cast<uint16_t>(first));
        instance.indices.push_back(static_cast<uint16_t>(first + i - 1));
        instance.indices.push_back(static_cast<uint16_t>(first + i));
    }
    points_in_use_ += static_cast<int>(polygon.size());
    return true;
}

bool decals_wrap_e::finish_instance(cd_geo_t* geometry, bool keep)
{
    wrap_instance_t& instance = instances_.back();
    if (instance.positions.empty()) {
        instances_.pop_back();
        return false;
    }
    vec3_t low = instance.positions.front(), high = low;
    for (const vec3_t& p : instance.positions)
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], p[axis]);
            high[axis] = std::max(high[axis], p[axis]);
        }
    instance.origin = (low + high) * 0.5f;
    for (const vec3_t& p : instance.positions)
        instance.radius = std::max(instance.radius, (p - instance.origin).length());
    instance.keep = keep;
    instance.geometry = geometry;
    hold_geometry(geometry);
    return true;
}

bool decals_wrap_e::place(const decal_hit_t& hit, const decal_params_t* params, bool keep)
{
    if (!hit.geometry || max_points < 3)
        return false;
    const half_sizes_t half = half_sizes(params, false);
    const vec3_t reach{half.width, half.height, half.depth};
    const float extent = reach.length();
    const vec3_t local_hit = hit.point - hit.geometry->pose.position;
    const float limit = params ? params->angle_limit() : 180.0f;
    const float min_cos = limit >= 180.0f ? -1.0f : std::cos(limit * 0.017453292f);
    const vec3_t wanted = (params ? params->normal() : vec3_t{0.0f, 1.0f, 0.0f}).normalized();
    const float spread = std::clamp(params ? params->spread() : 1.0f, 0.0f, 1.0f);
    const float rotation = (params ? params->rotation() : 0.0f) + angle;
    const decal_frame_t hit_frame = projection_frame(-hit.direction, rotation);

    cd_tri_query_t query;
    query.begin(hit.geometry, hit.point - vec3_t{extent, extent, extent}, hit.point + vec3_t{extent, extent, extent});
    wrap_instance_t& instance = new_instance();
    std::vector<decal_corner_t> polygon;
    cd_item_t item;
    while (max_points - static_cast<int>(instance.positions.size()) >= 2) {
        item.request = cd_item_t::request_vertices | cd_item_t::request_plane;
        if (!query.next(item))
            break;
        // Only triangles give a surface to draw on.
        if (item.kind != cd_item_t::kind_triangle || item.vertex_count != 3 || !item.drawn ||
            (params && params->excludes(item.id)))
            continue;
        const vec3_t normal = vec3_t{item.plane.x, item.plane.y, item.plane.z}.normalized();
        if (min_cos > -1.0f && normal.dot(wanted) < min_cos)
            continue;
        const float distance = normal.dot(local_hit - *item.vertex[0]);
        if (distance * distance > spread * spread * half.depth * half.depth)
            continue;
        const vec3_t corners[3] = {*item.vertex[0], *item.vertex[1], *item.vertex[2]};
        const decal_frame_t frame = wrap_type == 0 ? hit_frame : projection_frame(normal, rotation);
        clip_triangle(frame, local_hit, corners, half.width, half.height, polygon);
        if (!polygon.empty() && !append_polygon(instance, polygon, half, params))
            break;
    }
    query.clear();
    return finish_instance(hit.geometry, keep);
}

bool decals_wrap_e::remove_oldest(int count)
{
    int removed = 0;
    bool moved_any = false;
    const wrap_instance_t* first_moved = nullptr;
    while (removed < count && !instances_.empty()) {
        wrap_instance_t& front = instances_.front();
        if (moved_any && &front == first_moved)
            break;
        if (front.keep) {
            instances_.push_back(std::move(front));
            instances_.pop_front();
            if (!moved_any)
                first_moved = &instances_.back();
            moved_any = true;
            continue;
        }
        release_instance(front);
        instances_.pop_front();
        ++removed;
    }
    if (instances_.empty())
        clear();
    return removed >= count;
}

void decals_wrap_e::clear()
{
    decal_generic_e::clear();
    for (wrap_instance_t& instance : instances_)
        release_instance(instance);
    instances_.clear();
}

void decals_wrap_e::release_instance(wrap_instance_t& instance)
{
    points_in_use_ -= static_cast<int>(instance.positions.size());
    instance.positions.clear();
    instance.texcoords.clear();
    instance.colours.clear();
    instance.indices.clear();
    release_geometry(instance.geometry);
    instance.geometry = nullptr;
}

void decals_wrap_e::draw() { draw_instances(0.5f, false); }

void decals_wrap_e::draw_instances(float depth_raise, bool world_position)
{
    if (instances_.empty())
        return;
    gfx_view_t view;
    api::gfx_view_get(&view);
    gfx_view_t raised = view;
    raised.near_plane += depth_raise;
    api::gfx_view_push(&raised);
    gfx_data_t packet;
    packet.flags = gfx_data_positions | gfx_data_texcoords | gfx_data_colours | gfx_data_indices | gfx_data_world;
    packet.primitive = gfx_triangle_list;
    packet.shader = shader_handle_;
    // Bit 0 is also the mark of packets placed in world coordinates.
    for (const wrap_instance_t& instance : instances_) {
        const vec3_t& at = instance.geometry->pose.position;
        const vec3_t centre = at + instance.origin;
        if (!api::gfx_sphere_visible(&centre.x, instance.radius))
            continue;
        packet.vertex_count = static_cast<int32_t>(instance.positions.size());
        packet.index_count = static_cast<int32_t>(instance.indices.size());
        packet.positions = &instance.positions.front().x;
        packet.texcoords = instance.texcoords.data();
        packet.colours = instance.colours.data();
        packet.indices = instance.indices.data();
        if (world_position) {
            // Points stay relative to the geometry; the packet's position carries them into the world.
            packet.position[0] = at.x;
            packet.position[1] = at.y;
            packet.position[2] = at.z;
            api::gfx_cache_data(&packet);
            continue;
        }
        api::gfx_push();
        api::gfx_translate(&at.x);
        api::gfx_cache_data(&packet);
        api::gfx_pop();
    }
    api::gfx_view_pop();
}
