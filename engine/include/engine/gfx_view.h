#pragma once
#include <cstdint>

#include "engine/api.h"

// The renderer's transforms: a world (model) matrix stack, a camera stack and a view stack.
//
// The engine's one matrix convention (that of mat_sq_t): column vectors, a point p becomes M p;
// 16 floats stored row by row, the translation in elements 3, 7 and 11. Vectors are 3 floats,
// quaternions 4 floats (x, y, z, w). Angle triples are degrees as matrix_set_rotate takes them. The
// camera looks down its -Z axis with +Y up.

// A view: projection and screen rectangle (13 words).
struct gfx_view_t {
    float near_plane = 64.0f;      // word 0: distance of the near plane (drawn-over passes raise it)
    float far_plane = 20000.0f;    // word 1: distance of the far plane
    float fov = 70.0f;             // word 2: vertical field of view, degrees
    float rect[4] = {0, 0, 0, 0};  // words 3-6: viewport left, top, right, bottom in screen pixels
    float clip[4] = {0, 0, 0, 0};  // words 7-10: clip rectangle, same units
    int32_t flags[2] = {0, 0};     // words 11, 12: kept for the caller, not interpreted
};
static_assert(sizeof(gfx_view_t) == 52, "the view record is thirteen words");

// Where the camera is, seen from the current world matrix.
struct gfx_camera_t {
    float position[3];   // camera position in the current world matrix's frame
    float direction[3];  // unit view direction in that frame
    float near_plane;
    float far_plane;
    float fov;
};

// Current screen and view parameters.
struct gfx_params_t {
    int32_t width;  // screen size in pixels (the current mode)
    int32_t height;
    int32_t bits;
    float fov;  // field of view of the current view, degrees
    float near_plane;
    float far_plane;
};

// World matrix stack. A local transform applies before the current matrix: gfx_translate(t) makes
// the top top * T. The stack starts with the identity; a pop of the last matrix is refused with a
// message (the stack never empties).
ENGINE_API void gfx_push();
ENGINE_API void gfx_push_identity();
ENGINE_API void gfx_push_mult(const float* matrix);
ENGINE_API void gfx_pop();
ENGINE_API void gfx_identity();
ENGINE_API void gfx_translate(const float* offset);
ENGINE_API void gfx_rotate(const float* angles);
ENGINE_API void gfx_qrotate(const float* quaternion);
// Scales along the local x, y and z axes by the three factors.
ENGINE_API void gfx_scale(const float* factors);
// Top of the world stack.
ENGINE_API const float* gfx_world_matrix();

// Camera: world-to-camera matrix and its inverse (the camera's own frame).
ENGINE_API void gfx_camera_reset();
// Loads the camera: `matrix` maps world to camera space, `inverse` is the camera's frame in the world.
ENGINE_API void gfx_camera_load(const float* matrix, const float* inverse);
// Puts the camera at the origin looking down -Z (views of a single model build their placement on the
// world stack instead).
ENGINE_API void gfx_camera_identity();
ENGINE_API void gfx_camera_push();
ENGINE_API void gfx_camera_pop();
ENGINE_API const float* gfx_camera_matrix();
ENGINE_API const float* gfx_camera_inverse();
ENGINE_API void gfx_get_camera(gfx_camera_t* out);

// Views. An empty stack answers the whole-screen default view.
ENGINE_API void gfx_view_get(gfx_view_t* out);
ENGINE_API void gfx_view_push(const gfx_view_t* view);
ENGINE_API void gfx_view_pop();
// Projection of the current view: camera space to screen pixels (x right, y down) after the divide
// by w, depth 0 at the near plane and 1 at the far plane.
ENGINE_API const float* gfx_view_matrix();
ENGINE_API void gfx_get_params(gfx_params_t* out);

// True when some of the sphere (centre in the current world matrix's frame) lies in the view volume.
ENGINE_API bool gfx_sphere_visible(const float* centre, float radius);
// The same, and the sphere's nearest point is within `distance` of the camera.
ENGINE_API bool gfx_sphere_visible_dist(const float* centre, float radius, float distance);
