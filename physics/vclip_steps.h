#pragma once
#include "engine/axial.h"
#include "engine/matrix.h"
#include "engine/vec.h"
#include "physics/polyhedron.h"
#include "physics/vclip_clip.h"

// The walks of the contact test: a point or an edge of one polyhedron over the features of another
// until it reaches the feature it lies nearest to, one step at a time.

// The frames that carry each of two placed polyhedra's coordinates into the other's.
struct vclip_frames_t {
    mat4_t first_to_second;
    mat4_t second_to_first;

    // From the two placing frames.
    static vclip_frames_t between(const axial_t& first_frame, const axial_t& second_frame);
};

// The two points an edge step found: on the first polyhedron (its frame) and on the walked one (its
// frame).
struct vclip_step_points_t {
    vec3_t on_first;
    vec3_t on_second;
};

// One step of a point's walk over `walked` (the point in that polyhedron's frame): moves the feature
// to a neighbour, or ends with the nearest point of the feature (`near_out`): touching when the
// distance is below `tolerance`, else apart. A point deeper inside than the tolerance is apart.
vclip_answer_t vclip_point_step(const cd_polyhedron_t& walked, const vec3_t& point, float tolerance,
                                const cd_feature_t*& feature_inout, vec3_t& near_out);

// One step of the walk of `edge` (of the first polyhedron) over the features of the second: moves the
// second's feature to a neighbour, or ends: touching when the edge crosses a face or passes within
// `tolerance` of an edge (with both points), else apart. The edge never changes. `edge_in_second` is
// the edge in the second's frame.
vclip_answer_t vclip_edge_step(const cd_poly_edge_t& edge, const vclip_segment_t& edge_in_second,
                               const vclip_frames_t& frames, float tolerance, const cd_feature_t*& feature_inout,
                               vclip_step_points_t& points_out);
