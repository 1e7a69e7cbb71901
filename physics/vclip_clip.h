#pragma once
#include "engine/vec.h"
#include "physics/polyhedron.h"

// Clipping of an edge against the Voronoi regions of another polyhedron's features: the pieces that
// the closest-feature walk (vclip_run) and the contact steps (vclip_test) share.

// Squared distances and plane values at most this count as touching.
constexpr float vclip_touch_epsilon = 1e-6f;

// What one step of a walk answers: go on with a new feature, the polyhedra are apart (or, in the
// contact steps, no contact), or they touch.
enum vclip_answer_t : int { vclip_continue = 0, vclip_apart = 1, vclip_touch = 2 };

// Signed value of a plane at a point: positive on the normal's side.
inline float vclip_plane_value(const vec4_t& plane, const vec3_t& point) { return plane.xyz().dot(point) + plane.w; }

// An edge's ends and head - tail, as seen from the frame of the feature it is clipped against.
struct vclip_segment_t {
    vec3_t tail;
    vec3_t head;
    vec3_t vector;

    // The point at `fraction` from the tail to the head.
    vec3_t at(float fraction) const { return tail + vector * fraction; }
};

// One of the two planes that close an edge's region at its ends, with the vertex beyond it.
struct vclip_end_plane_t {
    const vec4_t* plane;
    const cd_poly_vertex_t* vertex;
};

// The part [lower, upper] of a segment inside a vertex's region, and the cone edges beyond each end
// (both the same edge when the whole segment lies beyond that edge's plane).
struct vclip_cone_clip_t {
    float lower = 0.0f;
    float upper = 1.0f;
    const cd_poly_edge_t* lower_edge = nullptr;
    const cd_poly_edge_t* upper_edge = nullptr;
};

// Clips `segment` (in the vertex's frame) against the planes of the vertex's cone.
vclip_cone_clip_t vclip_clip_cone(const cd_poly_vertex_t& vertex, const vclip_segment_t& segment);

// How touches are told while clipping an edge against an edge's region: the walk ends at a touch
// within 1e-6 and gives the touching point; the contact step answers "apart" there instead and
// compares distances from the neighbouring faces with its tolerance.
struct vclip_touch_rule_t {
    bool walk = true;
    float tolerance = 0.0f;
};

// Outcome of clipping an edge against another edge's region.
struct vclip_edge_clip_t {
    // The region's edge is replaced by `feature`; the contact step's "no contact"; a touch at `point`;
    // the clipped edge meets the region.
    enum kind_t { moved, apart, touching, passed };
    kind_t kind = passed;
    // moved: a vertex or face of the region's edge.
    const cd_feature_t* feature = nullptr;
    // touching: the touching point, in the region's frame.
    vec3_t point;
};

// Clips `segment` (in the frame of `region`) against the region of the edge `region`: its two vertex
// planes, then its two face planes, choosing the neighbour the walk moves to.
vclip_edge_clip_t vclip_clip_edge(const cd_poly_edge_t& region, const vclip_segment_t& segment,
                                  const vclip_touch_rule_t& rule);

// Outcome of clipping an edge against a face's region.
struct vclip_face_clip_t {
    // The face is replaced by `feature`; the edge is replaced by its tail or its head vertex; the part
    // of the edge over the face crosses the face's plane.
    enum kind_t { moved, edge_tail, edge_head, crossing };
    kind_t kind = moved;
    // moved: a ring edge or ring vertex of the face.
    const cd_feature_t* feature = nullptr;
    // crossing: where along the edge, the face-plane value there, and that point dropped onto the
    // face's plane (in the face's frame).
    float fraction = 0.0f;
    float depth = 0.0f;
    vec3_t face_point;
};

// Clips `segment` (in the face's frame) against the face's region; when it misses, walks the face's
// ring to the boundary feature it passes nearest to.
vclip_face_clip_t vclip_clip_face(const cd_poly_face_t& face, const vclip_segment_t& segment);

// The point of `edge` (own frame) nearest to the line of `other` (an edge given in `edge`'s frame with
// its unit direction), clamped to the edge's ends; for parallel lines one of the ends.
vec3_t vclip_edge_point_near_line(const cd_poly_edge_t& edge, const vclip_segment_t& other,
                                  const vec3_t& other_direction);

// `point` dropped onto the line of `edge` (own frame), not clamped to its ends.
vec3_t vclip_project_on_line(const cd_poly_edge_t& edge, const vec3_t& point);
