#pragma once
#include "engine/axial.h"
#include "engine/matrix.h"
#include "engine/vec.h"
#include "physics/polyhedron.h"
#include "physics/vclip_clip.h"

// The closest-feature walk between two placed convex polyhedra, one handler step at a time.

// The other polyhedron's current feature as last carried into one polyhedron's frame, so that a
// feature is carried over only when it changes: a vertex fills `point`, an edge the other three.
struct vclip_side_cache_t {
    const cd_feature_t* feature = nullptr;
    vec3_t point;
    vec3_t tail;
    vec3_t head;
    vec3_t vector;
};

// One polyhedron's part of a walk.
struct vclip_side_t {
    const cd_polyhedron_t* polyhedron = nullptr;
    // Carries the other polyhedron's coordinates into this one's frame.
    mat4_t from_other;
    vclip_side_cache_t cache;
    // This polyhedron's current feature.
    const cd_feature_t* feature = nullptr;
    // This polyhedron's closest point, in its own frame, once a handler ended the walk.
    vec3_t closest;
};

// A walk over two polyhedra from a start pair of features (both non-null, each of its polyhedron).
class vclip_walk_t {
public:
    vclip_walk_t(const cd_polyhedron_t& first, const axial_t& first_frame, const cd_polyhedron_t& second,
                 const axial_t& second_frame, const cd_feature_t* first_feature, const cd_feature_t* second_feature);

    // Runs the handler of the current pair: it moves one feature to a neighbour (continue) or ends the
    // walk with the closest points (apart, or touching / interpenetrating).
    vclip_answer_t step();

    const cd_feature_t* first_feature() const { return first_.feature; }
    const cd_feature_t* second_feature() const { return second_.feature; }
    const vec3_t& first_point() const { return first_.closest; }
    const vec3_t& second_point() const { return second_.closest; }
    // The distance a handler last wrote, 0 when none did.
    float distance() const { return distance_; }

private:
    // Picks the handler of the current pair by feature types and runs it.
    vclip_answer_t run_handler();
    // Handlers by feature types; the side arguments say which polyhedron plays which role.
    vclip_answer_t vertex_vertex(vclip_side_t& a, vclip_side_t& b);
    vclip_answer_t vertex_edge(vclip_side_t& v, vclip_side_t& e);
    vclip_answer_t vertex_face(vclip_side_t& v, vclip_side_t& f);
    vclip_answer_t edge_edge();
    vclip_answer_t edge_face(vclip_side_t& e, vclip_side_t& f);

    vclip_side_t first_;
    vclip_side_t second_;
    float distance_ = 0.0f;
};
