#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/gfx_record.h"
#include "engine/gfx_view.h"
#include "engine/log.h"
#include "engine/reset.h"
#include "render_state.h"

namespace {

// The camera: world-to-camera matrix and the camera's frame (its inverse).
struct camera_state_t {
    render_matrix_t matrix = render_matrix_t::identity();
    render_matrix_t inverse = render_matrix_t::identity();
};

// Deeper stacks than this mean a push without its pop; refusing keeps memory bounded.
constexpr size_t stack_limit = 1024;

std::vector<render_matrix_t> world_stack{render_matrix_t::identity()};
camera_state_t camera;
std::vector<camera_state_t> camera_stack;
std::vector<gfx_view_t> view_stack;
render_matrix_t view_matrix = render_matrix_t::identity();
bool all_visible = false;
// The view stack's depth when each UI window now drawing began (gfx_record_ui_begin): a view pushed
// since then (a mirror, a 3-D preview) draws the world again.
std::vector<size_t> ui_view_depths;

void reset_transforms()
{
    world_stack.assign(1, render_matrix_t::identity());
    camera = camera_state_t{};
    camera_stack.clear();
    view_stack.clear();
    all_visible = false;
    ui_view_depths.clear();
}

engine_reset_registrar_t transform_reset_registrar(reset_order_devices, reset_transforms);

bool room_on(size_t depth, const char* what)
{
    if (depth < stack_limit)
        return true;
    error("%s: stack overflow (%zu entries)", what, depth);
    return false;
}

void apply_local(const render_matrix_t& local) { world_stack.back() = render_mul(world_stack.back(), local); }

gfx_view_t default_view()
{
    int width = 0;
    int height = 0;
    render_screen_size(width, height);
    gfx_view_t view;
    view.rect[2] = view.clip[2] = static_cast<float>(width);
    view.rect[3] = view.clip[3] = static_cast<float>(height);
    return view;
}

gfx_view_t current_view() { return view_stack.empty() ? default_view() : view_stack.back(); }

float half_tangent(float fov_degrees)
{
    // Every visibility test asks, nearly always for the field of view it asked before.
    static float last_fov = 0.0f;
    static float last_tangent = 0.0f;
    if (fov_degrees != last_fov) {
        last_fov = fov_degrees;
        last_tangent = std::tan(fov_degrees * 0.5f * 0.017453292519943295f);
    }
    return last_tangent;
}

// Half-angle tangents of the view volume: vertical from the field of view, horizontal by the aspect
// of the viewport.
void view_tangents(const gfx_view_t& view, float& tx, float& ty)
{
    const float width = std::fabs(view.rect[2] - view.rect[0]);
    const float height = std::fabs(view.rect[3] - view.rect[1]);
    ty = half_tangent(view.fov);
    tx = height > 0.0f ? ty * width / height : ty;
}

// A point of the current world frame in camera space.
bool is_identity(const render_matrix_t& matrix)
{
    static const render_matrix_t identity = render_matrix_t::identity();
    return std::equal(matrix.m, matrix.m + 16, identity.m);
}

void to_camera(const float* point, float* out)
{
    float world[3];
    render_point(world_stack.back(), point, world);
    render_point(camera.matrix, world, out);
}

}  // namespace

ENGINE_API void gfx_push()
{
    if (room_on(world_stack.size(), "gfx_push"))
        world_stack.push_back(world_stack.back());
}

ENGINE_API void gfx_push_identity()
{
    if (room_on(world_stack.size(), "gfx_push_identity"))
        world_stack.push_back(render_matrix_t::identity());
}

ENGINE_API void gfx_push_mult(const float* matrix)
{
    if (!matrix || !room_on(world_stack.size(), "gfx_push_mult"))
        return;
    world_stack.push_back(render_mul(world_stack.back(), render_matrix_t::from(matrix)));
}

ENGINE_API void gfx_pop()
{
    if (world_stack.size() <= 1) {
        error("gfx_pop: the matrix stack is empty");
        return;
    }
    world_stack.pop_back();
}

ENGINE_API void gfx_identity() { world_stack.back() = render_matrix_t::identity(); }

ENGINE_API void gfx_translate(const float* offset)
{
    if (!offset)
        return;
    // Drawing code moves the world matrix for nearly everything it places: only the translation column
    // changes (the product with a translation, without its multiplications by 0 and 1).
    float* const m = world_stack.back().m;
    for (int row = 0; row < 4; ++row) {
        float* const r = m + row * 4;
        r[3] = r[0] * offset[0] + r[1] * offset[1] + r[2] * offset[2] + r[3];
    }
}

ENGINE_API void gfx_rotate(const float* angles)
{
    if (angles)
        apply_local(render_matrix_t::rotation(angles));
}

ENGINE_API void gfx_qrotate(const float* quaternion)
{
    if (quaternion)
        apply_local(render_matrix_t::rotation_quat(quaternion));
}

ENGINE_API void gfx_scale(const float* factors)
{
    if (!factors)
        return;
    render_matrix_t scale = render_matrix_t::identity();
    scale.m[0] = factors[0];
    scale.m[5] = factors[1];
    scale.m[10] = factors[2];
    apply_local(scale);
}

ENGINE_API const float* gfx_world_matrix() { return world_stack.back().m; }

ENGINE_API void gfx_camera_reset()
{
    camera = camera_state_t{};
    camera_stack.clear();
}

ENGINE_API void gfx_camera_load(const float* matrix, const float* inverse)
{
    if (!matrix) {
        error("gfx_camera_load: no matrix");
        return;
    }
    camera.matrix = render_matrix_t::from(matrix);
    if (inverse)
        camera.inverse = render_matrix_t::from(inverse);
    else if (!render_invert(camera.matrix, camera.inverse))
        error("gfx_camera_load: the camera matrix cannot be inverted");
}

ENGINE_API void gfx_camera_identity() { camera = camera_state_t{}; }

ENGINE_API void gfx_camera_push()
{
    if (room_on(camera_stack.size(), "gfx_camera_push"))
        camera_stack.push_back(camera);
}

ENGINE_API void gfx_camera_pop()
{
    if (camera_stack.empty()) {
        error("gfx_camera_pop: the camera stack is empty");
        return;
    }
    camera = camera_stack.back();
    camera_stack.pop_back();
}

ENGINE_API const float* gfx_camera_matrix() { return camera.matrix.m; }
ENGINE_API const float* gfx_camera_inverse() { return camera.inverse.m; }

ENGINE_API void gfx_get_camera(gfx_camera_t* out)
{
    if (!out)
        return;
    // The camera's frame seen from the current world frame: camera-to-world, then world-to-local.
    // Drawing code asks this at the world's own frame most of the time, where nothing is to be undone.
    const render_matrix_t& world = world_stack.back();
    render_matrix_t camera_to_local = camera.inverse;
    if (!is_identity(world)) {
        render_matrix_t world_inverse;
        render_invert(world, world_inverse);
        camera_to_local = render_mul(world_inverse, camera.inverse);
    }
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    const float forward[3] = {0.0f, 0.0f, -1.0f};
    render_point(camera_to_local, origin, out->position);
    render_direction(camera_to_local, forward, out->direction);
    const float length = std::sqrt(out->direction[0] * out->direction[0] + out->direction[1] * out->direction[1] +
                                   out->direction[2] * out->direction[2]);
    if (length > 0.0f)
        for (float& c : out->direction)
            c /= length;
    const gfx_view_t view = current_view();
    out->near_plane = view.near_plane;
    out->far_plane = view.far_plane;
    out->fov = view.fov;
}

ENGINE_API void gfx_view_get(gfx_view_t* out)
{
    if (out)
        *out = current_view();
}

ENGINE_API void gfx_view_push(const gfx_view_t* view)
{
    if (!view || !room_on(view_stack.size(), "gfx_view_push"))
        return;
    view_stack.push_back(*view);
    render_frame().views.push_back(*view);
}

ENGINE_API void gfx_view_pop()
{
    if (view_stack.empty()) {
        error("gfx_view_pop: the view stack is empty");
        return;
    }
    view_stack.pop_back();
}

ENGINE_API const float* gfx_view_matrix()
{
    const gfx_view_t view = current_view();
    float tx = 0.0f;
    float ty = 0.0f;
    view_tangents(view, tx, ty);
    const float width = view.rect[2] - view.rect[0];
    const float height = view.rect[3] - view.rect[1];
    const float near_plane = view.near_plane;
    const float far_plane = view.far_plane;
    const float depth = far_plane != near_plane ? far_plane / (far_plane - near_plane) : 1.0f;
    // x_screen * w = x * sx + w * cx with w = -z, likewise for y (pointing down); depth by z.
    render_matrix_t& p = view_matrix;
    p = render_matrix_t{};
    p.m[0] = tx > 0.0f ? width * 0.5f / tx : 0.0f;
    p.m[2] = -(view.rect[0] + width * 0.5f);
    p.m[5] = ty > 0.0f ? -height * 0.5f / ty : 0.0f;
    p.m[6] = -(view.rect[1] + height * 0.5f);
    p.m[10] = -depth;
    p.m[11] = -depth * near_plane;
    p.m[14] = -1.0f;
    return p.m;
}

ENGINE_API void gfx_get_params(gfx_params_t* out)
{
    if (!out)
        return;
    int width = 0;
    int height = 0;
    render_screen_size(width, height);
    const gfx_mode_t* mode = gfx_record_mode();
    const gfx_view_t view = current_view();
    *out = gfx_params_t{width, height, mode ? mode->bits : 16, view.fov, view.near_plane, view.far_plane};
}

ENGINE_API bool gfx_sphere_visible(const float* centre, float radius)
{
    if (!centre)
        return false;
    if (all_visible)
        return true;
    const gfx_view_t view = current_view();
    float c[3];
    to_camera(centre, c);
    const float ahead = -c[2];
    if (ahead + radius < view.near_plane || ahead - radius > view.far_plane)
        return false;
    float tx = 0.0f;
    float ty = 0.0f;
    view_tangents(view, tx, ty);
    // Distances to the four side planes through the eye, outward normals (±1, 0, t) / |.|.
    const float nx = std::sqrt(1.0f + tx * tx);
    const float ny = std::sqrt(1.0f + ty * ty);
    if ((c[0] - tx * ahead) / nx > radius || (-c[0] - tx * ahead) / nx > radius)
        return false;
    if ((c[1] - ty * ahead) / ny > radius || (-c[1] - ty * ahead) / ny > radius)
        return false;
    return true;
}

ENGINE_API bool gfx_sphere_visible_dist(const float* centre, float radius, float distance)
{
    if (!gfx_sphere_visible(centre, radius))
        return false;
    float c[3];
    to_camera(centre, c);
    const float from_eye = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
    return from_eye - radius <= distance;
}

const render_matrix_t& render_world() { return world_stack.back(); }

gfx_recorded_place_t gfx_record_place()
{
    gfx_recorded_place_t place;
    place.order = gfx_record_next_order();
    std::copy(camera.matrix.m, camera.matrix.m + 16, place.camera);
    place.view = current_view();
    place.in_ui = !ui_view_depths.empty() && view_stack.size() <= ui_view_depths.back();
    return place;
}

void gfx_record_ui_begin()
{
    if (ui_view_depths.size() < stack_limit)
        ui_view_depths.push_back(view_stack.size());
}

void gfx_record_ui_end()
{
    if (!ui_view_depths.empty())
        ui_view_depths.pop_back();
}
bool render_all_visible() { return all_visible; }

void gfx_record_set_all_visible(bool value) { all_visible = value; }
int gfx_record_world_depth() { return static_cast<int>(world_stack.size()); }
int gfx_record_camera_depth() { return static_cast<int>(camera_stack.size()); }
int gfx_record_view_depth() { return static_cast<int>(view_stack.size()); }
