#include "physics/vclip_steps.h"

#include <cmath>

namespace {

// The walked feature gives way to `feature`.
vclip_answer_t moved_to(const cd_feature_t*& feature_inout, const cd_feature_t* feature)
{
    feature_inout = feature;
    return vclip_continue;
}

// A point against a vertex: on into a cone edge it lies beyond, else the vertex.
vclip_answer_t point_at_vertex(const cd_poly_vertex_t& vertex, const vec3_t& point, float tolerance,
                               const cd_feature_t*& feature_inout, vec3_t& near_out)
{
    for (const cd_cone_entry_t& entry : vertex.cone)
        if (vclip_plane_value(*entry.plane, point) > 0.0f)
            return moved_to(feature_inout, entry.edge);
    near_out = *vertex.position;
    return (point - near_out).length() < tolerance ? vclip_touch : vclip_apart;
}

// A point against an edge: on to an end or a face whose plane it lies below, else its projection.
vclip_answer_t point_at_edge(const cd_poly_edge_t& edge, const vec3_t& point, float tolerance,
                             const cd_feature_t*& feature_inout, vec3_t& near_out)
{
    const struct {
        const vec4_t* plane;
        const cd_feature_t* beyond;
    } planes[4] = {{&edge.tail_plane, edge.tail},
                   {&edge.head_plane, edge.head},
                   {&edge.face0_plane, edge.face0},
                   {&edge.face1_plane, edge.face1}};
    for (const auto& plane : planes)
        if (vclip_plane_value(*plane.plane, point) < 0.0f)
            return moved_to(feature_inout, plane.beyond);
    near_out = vclip_project_on_line(edge, point);
    return (point - near_out).length() < tolerance ? vclip_touch : vclip_apart;
}

// A point against a face: on to the ring edge it lies farthest beyond; else touching near the plane,
// apart in front of it, and below it on to a face it lies in front of or just under.
vclip_answer_t point_at_face(const cd_polyhedron_t& walked, const cd_poly_face_t& face, const vec3_t& point,
                             float tolerance, const cd_feature_t*& feature_inout, vec3_t& near_out)
{
    const cd_ring_entry_t* beyond = nullptr;
    float farthest = 0.0f;
    for (const cd_ring_entry_t& entry : face.ring) {
        const float value = vclip_plane_value(*entry.plane, point);
        if (value > farthest) {
            farthest = value;
            beyond = &entry;
        }
    }
    if (beyond)
        return moved_to(feature_inout, beyond->edge);
    const float d = vclip_plane_value(face.plane, point);
    if (std::fabs(d) < tolerance) {
        near_out = point;
        return vclip_touch;
    }
    if (d >= 0.0f)
        return vclip_apart;
    const cd_poly_face_t* front = &face;
    float front_value = d;
    for (const cd_poly_face_t& other : walked.faces()) {
        const float value = vclip_plane_value(other.plane, point);
        if (value > front_value) {
            front_value = value;
            front = &other;
        }
    }
    // Inside, the face the point lies least deep under is the nearest, and the point lies over it;
    // when that depth is within the tolerance the next step touches there.
    if (front_value > 0.0f || (front != &face && front_value > -tolerance))
        return moved_to(feature_inout, front);
    return vclip_apart;
}

// An edge against a vertex: on into the cone edge the edge passes nearer to; never touching.
vclip_answer_t edge_at_vertex(const cd_poly_vertex_t& vertex, const vclip_segment_t& s,
                              const cd_feature_t*& feature_inout)
{
    const vclip_cone_clip_t clip = vclip_clip_cone(vertex, s);
    if (clip.lower_edge && clip.lower_edge == clip.upper_edge)
        return moved_to(feature_inout, clip.lower_edge);
    if (clip.lower_edge) {
        const vec3_t offset = s.at(clip.lower) - *vertex.position;
        if (offset.length_sq() <= vclip_touch_epsilon)
            return vclip_apart;
        if (offset.dot(s.vector) > 0.0f)
            return moved_to(feature_inout, clip.lower_edge);
    }
    if (clip.upper_edge) {
        const vec3_t offset = s.at(clip.upper) - *vertex.position;
        if (offset.length_sq() > vclip_touch_epsilon && offset.dot(s.vector) < 0.0f)
            return moved_to(feature_inout, clip.upper_edge);
    }
    return vclip_apart;
}

// An edge against an edge: clipped against its region, then the nearest points of the two lines.
vclip_answer_t edge_at_edge(const cd_poly_edge_t& edge, const cd_poly_edge_t& walked_edge, const vclip_segment_t& s,
                            const vclip_frames_t& frames, float tolerance, const cd_feature_t*& feature_inout,
                            vclip_step_points_t& points_out)
{
    const vclip_edge_clip_t clip = vclip_clip_edge(walked_edge, s, {false, tolerance});
    if (clip.kind == vclip_edge_clip_t::moved)
        return moved_to(feature_inout, clip.feature);
    if (clip.kind != vclip_edge_clip_t::passed)
        return vclip_apart;
    const vec3_t tail = mult_point_matrix_fast(frames.second_to_first, *walked_edge.tail->position);
    const vec3_t head = mult_point_matrix_fast(frames.second_to_first, *walked_edge.head->position);
    const vclip_segment_t walked_in_first{tail, head, head - tail};
    const vec3_t direction = mult_normal_matrix_fast(frames.second_to_first, walked_edge.direction);
    points_out.on_first = vclip_edge_point_near_line(edge, walked_in_first, direction);
    const vec3_t on_first_in_second = mult_point_matrix_fast(frames.first_to_second, points_out.on_first);
    points_out.on_second = vclip_project_on_line(walked_edge, on_first_in_second);
    return (on_first_in_second - points_out.on_second).length() < tolerance ? vclip_touch : vclip_apart;
}

// An edge against a face: touching where the part over the face crosses its plane; the edge never
// gives way to one of its ends, which ends the walk apart instead.
vclip_answer_t edge_at_face(const cd_poly_edge_t& edge, const cd_poly_face_t& face, const vclip_segment_t& s,
                            const cd_feature_t*& feature_inout, vclip_step_points_t& points_out)
{
    const vclip_face_clip_t clip = vclip_clip_face(face, s);
    switch (clip.kind) {
    case vclip_face_clip_t::moved:
        return moved_to(feature_inout, clip.feature);
    case vclip_face_clip_t::edge_tail:
    case vclip_face_clip_t::edge_head:
        return vclip_apart;
    case vclip_face_clip_t::crossing:
        break;
    }
    points_out.on_first = *edge.tail->position + edge.vector * clip.fraction;
    points_out.on_second = clip.face_point;
    return vclip_touch;
}

}  // namespace

vclip_frames_t vclip_frames_t::between(const axial_t& first_frame, const axial_t& second_frame)
{
    return {second_frame.inverse * first_frame.matrix, first_frame.inverse * second_frame.matrix};
}

vclip_answer_t vclip_point_step(const cd_polyhedron_t& walked, const vec3_t& point, float tolerance,
                                const cd_feature_t*& feature_inout, vec3_t& near_out)
{
    switch (feature_inout->type) {
    case cd_feature_t::type_vertex:
        return point_at_vertex(*static_cast<const cd_poly_vertex_t*>(feature_inout), point, tolerance, feature_inout,
                               near_out);
    case cd_feature_t::type_edge:
        return point_at_edge(*static_cast<const cd_poly_edge_t*>(feature_inout), point, tolerance, feature_inout,
                             near_out);
    default:
        return point_at_face(walked, *static_cast<const cd_poly_face_t*>(feature_inout), point, tolerance,
                             feature_inout, near_out);
    }
}

vclip_answer_t vclip_edge_step(const cd_poly_edge_t& edge, const vclip_segment_t& edge_in_second,
                               const vclip_frames_t& frames, float tolerance, const cd_feature_t*& feature_inout,
                               vclip_step_points_t& points_out)
{
    switch (feature_inout->type) {
    case cd_feature_t::type_vertex:
        return edge_at_vertex(*static_cast<const cd_poly_vertex_t*>(feature_inout), edge_in_second, feature_inout);
    case cd_feature_t::type_edge:
        return edge_at_edge(edge, *static_cast<const cd_poly_edge_t*>(feature_inout), edge_in_second, frames, tolerance,
                            feature_inout, points_out);
    default:
        return edge_at_face(edge, *static_cast<const cd_poly_face_t*>(feature_inout), edge_in_second, feature_inout,
                            points_out);
    }
}
