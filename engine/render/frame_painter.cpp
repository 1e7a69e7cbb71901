#include "frame_painter.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/pml_draw.h"
#include "engine/pml_font.h"
#include "engine/ui_draw3d.h"
#include "gl_context.h"
#include "gl_draw.h"
#include "picture_cache.h"
#include "engine/picture_file.h"
#include "render_matrix.h"

namespace {

// The reference screen the overlay is laid out in.
constexpr float reference_width = 1024.0f;
constexpr float reference_height = 768.0f;

// One thing to paint, by the kind of record and its index.
enum class step_kind_t { clear, proto, data, sprites, model, line, markup };

struct paint_step_t {
    int order;
    step_kind_t kind;
    size_t index;
};

void colour_argb(uint32_t c, float* out)
{
    out[0] = static_cast<float>((c >> 16) & 0xFF) / 255.0f;
    out[1] = static_cast<float>((c >> 8) & 0xFF) / 255.0f;
    out[2] = static_cast<float>(c & 0xFF) / 255.0f;
    out[3] = static_cast<float>(c >> 24) / 255.0f;
}

// The markup's colours are 0xAABBGGRR.
void colour_abgr(uint32_t c, float* out)
{
    out[0] = static_cast<float>(c & 0xFF) / 255.0f;
    out[1] = static_cast<float>((c >> 8) & 0xFF) / 255.0f;
    out[2] = static_cast<float>((c >> 16) & 0xFF) / 255.0f;
    out[3] = static_cast<float>(c >> 24) / 255.0f;
}

gl_vertex_t vertex(const float* position, float u, float v, const float* colour)
{
    gl_vertex_t out{};
    std::copy(position, position + 3, out.position);
    out.uv[0] = u;
    out.uv[1] = v;
    std::copy(colour, colour + 4, out.colour);
    out.normal[1] = 1.0f;
    return out;
}

// Batches vertices that share a state and draws them when the state changes.
class painter_t {
public:
    painter_t(int width, int height) : width_(width), height_(height) {}

    void add(const gl_batch_state_t& state, const gl_vertex_t* vertices, size_t count)
    {
        if (!pending_.empty() && !gl_same_state(state_, state))
            flush();
        state_ = state;
        pending_.insert(pending_.end(), vertices, vertices + count);
    }

    void flush()
    {
        gl_draw(state_, pending_);
        pending_.clear();
    }

    // The state of the overlay: reference units to the whole target, no depth.
    gl_batch_state_t overlay(const render_matrix_t& world, unsigned texture) const
    {
        render_matrix_t ortho = render_matrix_t::identity();
        ortho.m[0] = 2.0f / reference_width;
        ortho.m[3] = -1.0f;
        ortho.m[5] = 2.0f / reference_height;
        ortho.m[7] = -1.0f;
        ortho.m[10] = 0.0f;
        gl_batch_state_t state;
        const render_matrix_t clip = render_mul(ortho, world);
        std::copy(clip.m, clip.m + 16, state.transform);
        state.texture = texture;
        whole_target(state);
        return state;
    }

    // The state of the world through a place's camera and view; `model` applies first.
    gl_batch_state_t world(const gfx_recorded_place_t& place, const render_matrix_t& model, unsigned texture) const
    {
        gl_batch_state_t state;
        const render_matrix_t clip =
            render_mul(projection(place.view), render_mul(render_matrix_t::from(place.camera), model));
        std::copy(clip.m, clip.m + 16, state.transform);
        state.texture = texture;
        state.depth_test = 1;
        const float* r = place.view.rect;
        if (r[2] > r[0] && r[3] > r[1]) {
            const int viewport[4] = {static_cast<int>(r[0]), height_ - static_cast<int>(r[3]),
                                     static_cast<int>(r[2] - r[0]), static_cast<int>(r[3] - r[1])};
            std::copy(viewport, viewport + 4, state.viewport);
            std::copy(viewport, viewport + 4, state.scissor);
        } else {
            whole_target(state);
        }
        const float* c = place.view.clip;
        if (c[2] > c[0] && c[3] > c[1]) {
            const int scissor[4] = {static_cast<int>(c[0]), height_ - static_cast<int>(c[3]),
                                    static_cast<int>(c[2] - c[0]), static_cast<int>(c[3] - c[1])};
            std::copy(scissor, scissor + 4, state.scissor);
        }
        return state;
    }

private:
    void whole_target(gl_batch_state_t& state) const
    {
        const int whole[4] = {0, 0, width_, height_};
        std::copy(whole, whole + 4, state.viewport);
        std::copy(whole, whole + 4, state.scissor);
    }

    // OpenGL's perspective of a view: camera space (looking down -Z) to clip space.
    static render_matrix_t projection(const gfx_view_t& view)
    {
        const float width = std::fabs(view.rect[2] - view.rect[0]);
        const float height = std::fabs(view.rect[3] - view.rect[1]);
        const float aspect = width > 0.0f && height > 0.0f ? width / height : 4.0f / 3.0f;
        const float f = 1.0f / std::tan(view.fov * 0.5f * 0.017453292519943295f);
        const float n = view.near_plane;
        const float fa = view.far_plane;
        render_matrix_t p{};
        p.m[0] = f / aspect;
        p.m[5] = f;
        p.m[10] = fa != n ? (fa + n) / (n - fa) : -1.0f;
        p.m[11] = fa != n ? 2.0f * fa * n / (n - fa) : 0.0f;
        p.m[14] = -1.0f;
        return p;
    }

    int width_;
    int height_;
    gl_batch_state_t state_;
    std::vector<gl_vertex_t> pending_;
};

// The vertex numbers of the triangles a geometry forms; indices naming no vertex drop their triangle.
std::vector<int> triangles(const gfx_recorded_geometry_t& g, int primitive)
{
    const int count = g.vertex_count();
    std::vector<int> sequence;
    if (!g.indices.empty())
        sequence.assign(g.indices.begin(), g.indices.end());
    else
        for (int i = 0; i < count; ++i)
            sequence.push_back(i);
    std::vector<int> out;
    auto add = [&](int a, int b, int c) {
        if (a < count && b < count && c < count)
            out.insert(out.end(), {a, b, c});
    };
    const size_t n = sequence.size();
    if (primitive == gfx_triangle_strip) {
        for (size_t i = 2; i < n; ++i)
            add(sequence[i - 2], sequence[i - 1], sequence[i]);
    } else if (primitive == gfx_triangle_fan) {
        for (size_t i = 2; i < n; ++i)
            add(sequence[0], sequence[i - 1], sequence[i]);
    } else {
        for (size_t i = 2; i < n; i += 3)
            add(sequence[i - 2], sequence[i - 1], sequence[i]);
    }
    return out;
}

// The vertices of a geometry's triangles, positions moved by `offset`, normals turned by `turn`.
std::vector<gl_vertex_t> geometry_vertices(const gfx_recorded_geometry_t& g, int primitive, const float* offset,
                                           const render_matrix_t& turn)
{
    std::vector<gl_vertex_t> out;
    const float white[4] = {1, 1, 1, 1};
    for (const int i : triangles(g, primitive)) {
        const size_t k = static_cast<size_t>(i);
        float position[3];
        for (int a = 0; a < 3; ++a)
            position[a] = g.positions[k * 3 + a] + offset[a];
        float colour[4];
        if (k < g.colours.size())
            colour_argb(g.colours[k], colour);
        else
            std::copy(white, white + 4, colour);
        const float u = k * 2 + 1 < g.texcoords.size() ? g.texcoords[k * 2] : 0.0f;
        const float v = k * 2 + 1 < g.texcoords.size() ? g.texcoords[k * 2 + 1] : 0.0f;
        gl_vertex_t out_vertex = vertex(position, u, v, colour);
        if (k * 3 + 2 < g.normals.size())
            render_direction(turn, &g.normals[k * 3], out_vertex.normal);
        out.push_back(out_vertex);
    }
    return out;
}

unsigned shader_texture(const std::string_view shader_path)
{
    return shader_path.empty() ? picture_white().texture
                               : picture_texture(picture_path_of(std::string(shader_path))).texture;
}

// Lights a batch by one directional light.
void light_state(gl_batch_state_t& state, const r_light_t& light)
{
    state.lit = 1;
    std::copy(light.ambient, light.ambient + 3, state.ambient);
    std::copy(light.diffuse, light.diffuse + 3, state.diffuse);
    const float* d = light.direction;
    const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    for (int a = 0; a < 3; ++a)
        state.light_direction[a] = length > 0.0f ? d[a] / length : (a == 1 ? 1.0f : 0.0f);
}

void paint_proto(painter_t& painter, const gfx_recorded_proto_t& proto)
{
    const render_matrix_t frame = render_matrix_t::from(proto.frame);
    gl_batch_state_t state = painter.world(proto.place, frame, shader_texture(proto.shader_path));
    if (proto.lit_by_light)
        light_state(state, proto.light);
    const float none[3] = {0, 0, 0};
    const std::vector<gl_vertex_t> vertices = geometry_vertices(proto.geometry, gfx_triangle_list, none, frame);
    painter.add(state, vertices.data(), vertices.size());
}

// A record flagged as drawn with the world (the sky, decals, rain) goes through its camera and view,
// unless a UI window queued it (a gauge's needle keeps the flag but lies in the reference screen). It
// lies over the world: hidden behind what is nearer, it hides nothing drawn after it.
void paint_data(painter_t& painter, const gfx_recorded_data_t& data)
{
    const render_matrix_t world = render_matrix_t::from(data.world);
    const unsigned texture = shader_texture(data.shader_path);
    const bool with_world = (data.flags & gfx_data_world) != 0 && !data.place.in_ui;
    gl_batch_state_t state = with_world ? painter.world(data.place, world, texture) : painter.overlay(world, texture);
    state.depth_write = 0;
    const std::vector<gl_vertex_t> vertices =
        geometry_vertices(data.geometry, data.primitive, data.position, render_matrix_t::identity());
    painter.add(state, vertices.data(), vertices.size());
}

// A model part lies in the world at its matrix in its colour, textured where it has texture coordinates,
// lit by its model's light when it has one.
void paint_model(painter_t& painter, const gfx_recorded_model_t& model)
{
    const render_matrix_t world = render_matrix_t::from(model.world);
    const unsigned texture =
        model.geometry.texcoords.empty() ? picture_white().texture : shader_texture(model.shader_path);
    gl_batch_state_t state = painter.world(model.place, world, texture);
    if (model.lit_by_light)
        light_state(state, model.light);
    const float none[3] = {0, 0, 0};
    const std::vector<gl_vertex_t> vertices = geometry_vertices(model.geometry, gfx_triangle_list, none, world);
    painter.add(state, vertices.data(), vertices.size());
}

// Sprites face the camera: each is a square of its size times its scale (stretched by the call's x and
// y scales), turned by its rotation, around its position.
void paint_sprites(painter_t& painter, const gfx_recorded_sprites_t& record)
{
    const render_matrix_t to_camera =
        render_mul(render_matrix_t::from(record.place.camera), render_matrix_t::from(record.world));
    const gl_batch_state_t state = [&] {
        gfx_recorded_place_t place = record.place;
        const render_matrix_t identity = render_matrix_t::identity();
        std::copy(identity.m, identity.m + 16, place.camera);
        return painter.world(place, identity, shader_texture(record.shader_path));
    }();
    std::vector<gl_vertex_t> vertices;
    for (const gfx_sprite_t& sprite : record.sprites) {
        float at[3];
        for (int a = 0; a < 3; ++a)
            at[a] = record.position[a] + sprite.position[a];
        float centre[3];
        render_point(to_camera, at, centre);
        const float half = record.size * sprite.scale * 0.5f;
        const float hx = half * record.x_scale;
        const float hy = half * record.y_scale;
        const float turn = sprite.rotation * 0.017453292519943295f;
        const float c = std::cos(turn);
        const float s = std::sin(turn);
        float colour[4];
        colour_argb(sprite.colour, colour);
        const float corners[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
        gl_vertex_t quad[4];
        for (int k = 0; k < 4; ++k) {
            const float x = corners[k][0] * hx;
            const float y = corners[k][1] * hy;
            const float p[3] = {centre[0] + x * c - y * s, centre[1] + x * s + y * c, centre[2]};
            quad[k] = vertex(p, corners[k][0] < 0 ? sprite.uv0[0] : sprite.uv1[0],
                             corners[k][1] > 0 ? sprite.uv0[1] : sprite.uv1[1], colour);
        }
        for (const int k : {0, 1, 2, 2, 1, 3})
            vertices.push_back(quad[k]);
    }
    painter.add(state, vertices.data(), vertices.size());
}

void paint_line(painter_t& painter, const gfx_recorded_line_t& line)
{
    gl_batch_state_t state = painter.world(line.place, render_matrix_t::identity(), picture_white().texture);
    state.lines = 1;
    float colour[4];
    colour_argb(line.colour, colour);
    const gl_vertex_t ends[2] = {vertex(line.from, 0, 0, colour), vertex(line.to, 0, 0, colour)};
    painter.add(state, ends, 2);
}

// The part of a font's glyph sheet that shows character `code` in a box of `width` x `height`: the
// sheet holds 16 x 16 cells, character c in column c % 16 and row c / 16, one line of the font high.
bool glyph_corners(const pml_font_t& font, const gl_picture_t& sheet, int code, float width, float height, float* uv)
{
    if (code < 0 || code > 255 || font.line_height() <= 0.0f)
        return false;
    const float cell_w = static_cast<float>(sheet.width) / 16.0f;
    const float cell_h = static_cast<float>(sheet.height) / 16.0f;
    const float scale = cell_h / font.line_height();
    const float left = static_cast<float>(code % 16) * cell_w;
    const float top = static_cast<float>(code / 16) * cell_h;
    uv[0] = left / static_cast<float>(sheet.width);
    uv[1] = top / static_cast<float>(sheet.height);
    uv[2] = (left + std::min(cell_w, width * scale)) / static_cast<float>(sheet.width);
    uv[3] = (top + std::min(cell_h, height * scale)) / static_cast<float>(sheet.height);
    return true;
}

// Where a markup item's corner lands: the reference screen, or a 3-D window's world quad. A window
// drawn facing the camera stands upright before it: its axes keep their lengths but run along the
// camera's right and up, and its origin is the middle of its bottom edge.
struct item_space_t {
    const ui_draw3d_t* window = nullptr;
    void place(float x, float y, float* out) const
    {
        if (!window) {
            out[0] = x;
            out[1] = y;
            out[2] = 0.0f;
            return;
        }
        float u = x / reference_width;
        const float v = y / reference_height;
        vec_t<float, 3> x_axis = window->x_axis;
        vec_t<float, 3> y_axis = window->y_axis;
        if (window->facing) {
            // The world-to-camera matrix's first two rows are the camera's right and up in the world.
            const float* const camera = window->place.camera;
            x_axis = vec_t<float, 3>(camera[0], camera[1], camera[2]) * window->x_axis.length();
            y_axis = vec_t<float, 3>(camera[4], camera[5], camera[6]) * window->y_axis.length();
            u -= 0.5f;
        }
        for (int a = 0; a < 3; ++a)
            out[a] = window->origin[a] + x_axis[a] * u + y_axis[a] * v;
    }
};

void paint_markup(painter_t& painter, const pml_drawn_t& drawn, const ui_draw3d_t* window)
{
    const pml_item_t& item = drawn.item;
    float uv[4] = {0, 0, 1, 1};
    gl_picture_t picture = picture_white();
    const float width = item.box.right - item.box.left;
    const float height = item.box.top - item.box.bottom;
    if (item.id == pml_item_image) {
        picture = picture_texture(picture_path_of(item.shader.c_str()));
    } else {
        if (item.id == ' ')
            return;
        const pml_font_t& font = pml_font_get(item.font);
        picture = picture_texture(picture_path_of(font.path.empty() ? pml_default_font_path : font.path));
        // Without a glyph sheet the characters are not shown rather than shown as boxes.
        if (picture.texture == picture_white().texture || !glyph_corners(font, picture, item.id, width, height, uv))
            return;
    }
    gl_batch_state_t state = window ? painter.world(window->place, render_matrix_t::identity(), picture.texture)
                                    : painter.overlay(render_matrix_t::identity(), picture.texture);
    // A 3-D window's items lie in one plane: each is hidden behind what is nearer in the world but
    // writes no depth, so that a text shows whole over its own frame rather than fighting it.
    state.depth_write = 0;
    float colour[4];
    colour_abgr(drawn.drawn_color, colour);
    const item_space_t space{window};
    float corners[4][3];
    space.place(item.box.left, item.box.top, corners[0]);
    space.place(item.box.right, item.box.top, corners[1]);
    space.place(item.box.left, item.box.bottom, corners[2]);
    space.place(item.box.right, item.box.bottom, corners[3]);
    const gl_vertex_t quad[6] = {vertex(corners[0], uv[0], uv[1], colour), vertex(corners[1], uv[2], uv[1], colour),
                                 vertex(corners[2], uv[0], uv[3], colour), vertex(corners[2], uv[0], uv[3], colour),
                                 vertex(corners[1], uv[2], uv[1], colour), vertex(corners[3], uv[2], uv[3], colour)};
    painter.add(state, quad, 6);
}

void paint_clear(painter_t& painter, const gfx_recorded_clear_t& clear)
{
    painter.flush();
    float colour[4];
    colour_argb(clear.colour, colour);
    gl_clear((clear.flags & 1u) != 0, (clear.flags & 2u) != 0, colour);
}

// The 3-D window whose drawing holds a markup item of the frame, or null.
const ui_draw3d_t* window_of(const pml_drawn_t& drawn)
{
    for (const ui_draw3d_t& window : ui_draw3d_record())
        if (window.frame == drawn.frame && drawn.order > window.place.order && drawn.order < window.end_order)
            return &window;
    return nullptr;
}

std::vector<paint_step_t> steps_of(const gfx_frame_record_t& frame, int frame_number, size_t overlay_from)
{
    std::vector<paint_step_t> steps;
    for (size_t i = 0; i < frame.clears.size(); ++i)
        steps.push_back({frame.clears[i].order, step_kind_t::clear, i});
    for (size_t i = 0; i < frame.protos.size(); ++i)
        steps.push_back({frame.protos[i].place.order, step_kind_t::proto, i});
    for (size_t i = 0; i < frame.data.size(); ++i)
        steps.push_back({frame.data[i].place.order, step_kind_t::data, i});
    for (size_t i = 0; i < frame.sprites.size(); ++i)
        steps.push_back({frame.sprites[i].place.order, step_kind_t::sprites, i});
    for (size_t i = 0; i < frame.models.size(); ++i)
        steps.push_back({frame.models[i].place.order, step_kind_t::model, i});
    for (size_t i = 0; i < frame.lines.size(); ++i)
        steps.push_back({frame.lines[i].place.order, step_kind_t::line, i});
    const std::vector<pml_drawn_t>& drawn = pml_drawn();
    for (size_t i = 0; i < std::min(drawn.size(), overlay_from); ++i)
        if (drawn[i].frame == frame_number)
            steps.push_back({drawn[i].order, step_kind_t::markup, i});
    std::stable_sort(steps.begin(), steps.end(),
                     [](const paint_step_t& a, const paint_step_t& b) { return a.order < b.order; });
    for (size_t i = overlay_from; i < drawn.size(); ++i)
        steps.push_back({drawn[i].order, step_kind_t::markup, i});
    return steps;
}

}  // namespace

bool frame_paint(const gfx_frame_record_t& frame, int frame_number, int width, int height, std::vector<uint8_t>& rgb,
                 const size_t overlay_from)
{
    if (!gl_target_bind(width, height))
        return false;
    painter_t painter(width, height);
    const float black[4] = {0, 0, 0, 1};
    gl_clear(true, true, black);
    for (const paint_step_t& step : steps_of(frame, frame_number, overlay_from)) {
        switch (step.kind) {
        case step_kind_t::clear:
            paint_clear(painter, frame.clears[step.index]);
            break;
        case step_kind_t::proto:
            paint_proto(painter, frame.protos[step.index]);
            break;
        case step_kind_t::data:
            paint_data(painter, frame.data[step.index]);
            break;
        case step_kind_t::sprites:
            paint_sprites(painter, frame.sprites[step.index]);
            break;
        case step_kind_t::model:
            paint_model(painter, frame.models[step.index]);
            break;
        case step_kind_t::line:
            paint_line(painter, frame.lines[step.index]);
            break;
        case step_kind_t::markup: {
            const pml_drawn_t& drawn = pml_drawn()[step.index];
            paint_markup(painter, drawn, window_of(drawn));
            break;
        }
        }
    }
    painter.flush();
    gl_target_read(width, height, rgb);
    return true;
}
