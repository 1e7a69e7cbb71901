#include "physics/vclip_walk.h"

#include <cmath>

#include "engine/check.h"

namespace {

// The current feature, whose type the dispatch has read, as its record.
const cd_poly_vertex_t& vertex_of(const cd_feature_t* feature)
{
    return *static_cast<const cd_poly_vertex_t*>(feature);
}

const cd_poly_edge_t& edge_of(const cd_feature_t* feature) { return *static_cast<const cd_poly_edge_t*>(feature); }

const cd_poly_face_t& face_of(const cd_feature_t* feature) { return *static_cast<const cd_poly_face_t*>(feature); }

// `vertex` of the other polyhedron in `side`'s frame, carried over only when the cache holds another.
vec3_t carried_point(vclip_side_t& side, const cd_poly_vertex_t& vertex)
{
    if (side.cache.feature != &vertex) {
        side.cache.feature = &vertex;
        side.cache.point = mult_point_matrix_fast(side.from_other, *vertex.position);
    }
    return side.cache.point;
}

// `edge` of the other polyhedron in `side`'s frame, the same way.
vclip_segment_t carried_edge(vclip_side_t& side, const cd_poly_edge_t& edge)
{
    if (side.cache.feature != &edge) {
        side.cache.feature = &edge;
        side.cache.tail = mult_point_matrix_fast(side.from_other, *edge.tail->position);
        side.cache.head = mult_point_matrix_fast(side.from_other, *edge.head->position);
        side.cache.vector = side.cache.head - side.cache.tail;
    }
    return {side.cache.tail, side.cache.head, side.cache.vector};
}

}  // namespace

vclip_walk_t::vclip_walk_t(const cd_polyhedron_t& first, const axial_t& first_frame, const cd_polyhedron_t& second,
                           const axial_t& second_frame, const cd_feature_t* first_feature,
                           const cd_feature_t* second_feature)
{
    first_.polyhedron = &first;
    first_.from_other = first_frame.inverse * second_frame.matrix;
    first_.feature = first_feature;
    second_.polyhedron = &second;
    second_.from_other = second_frame.inverse * first_frame.matrix;
    second_.feature = second_feature;
}

vclip_answer_t vclip_walk_t::step()
{
    const cd_feature_t* const first_before = first_.feature;
    const cd_feature_t* const second_before = second_.feature;
    const vclip_answer_t answer = run_handler();
    // Every handler that answers "continue" has moved one feature to another one: the walk makes
    // progress each step, and only a cycle (which vclip_run counts) can keep it going.
    kv_assert(answer != vclip_continue || (first_.feature != first_before || second_.feature != second_before));
    kv_assert(first_.feature && second_.feature);
    return answer;
}

vclip_answer_t vclip_walk_t::run_handler()
{
    using feature_t = cd_feature_t;
    const uint32_t a = first_.feature->type;
    const uint32_t b = second_.feature->type;
    if (a == feature_t::type_vertex) {
        if (b == feature_t::type_vertex)
            return vertex_vertex(first_, second_);
        if (b == feature_t::type_edge)
            return vertex_edge(first_, second_);
        return vertex_face(first_, second_);
    }
    if (a == feature_t::type_edge) {
        if (b == feature_t::type_vertex)
            return vertex_edge(second_, first_);
        if (b == feature_t::type_edge)
            return edge_edge();
        return edge_face(first_, second_);
    }
    if (b == feature_t::type_vertex)
        return vertex_face(second_, first_);
    if (b == feature_t::type_edge)
        return edge_face(second_, first_);
    // Two faces tell nothing about where the closest points lie: the first face gives way to an edge
    // of its ring (or, for a face without a ring, to its polyhedron's first vertex).
    const cd_poly_face_t& face = face_of(first_.feature);
    if (face.ring.empty())
        first_.feature = &first_.polyhedron->vertices().front();
    else
        first_.feature = face.ring.front().edge;
    return vclip_continue;
}

vclip_answer_t vclip_walk_t::vertex_vertex(vclip_side_t& a, vclip_side_t& b)
{
    const cd_poly_vertex_t& va = vertex_of(a.feature);
    const cd_poly_vertex_t& vb = vertex_of(b.feature);
    const vec3_t b_in_a = carried_point(a, vb);
    for (const cd_cone_entry_t& entry : va.cone)
        if (vclip_plane_value(*entry.plane, b_in_a) > 0.0f) {
            a.feature = entry.edge;
            return vclip_continue;
        }
    const vec3_t a_in_b = carried_point(b, va);
    for (const cd_cone_entry_t& entry : vb.cone)
        if (vclip_plane_value(*entry.plane, a_in_b) > 0.0f) {
            b.feature = entry.edge;
            return vclip_continue;
        }
    a.closest = *va.position;
    b.closest = *vb.position;
    distance_ = (a_in_b - *vb.position).length();
    return distance_ <= vclip_touch_epsilon ? vclip_touch : vclip_apart;
}

vclip_answer_t vclip_walk_t::vertex_edge(vclip_side_t& v_side, vclip_side_t& e_side)
{
    const cd_poly_vertex_t& v = vertex_of(v_side.feature);
    const cd_poly_edge_t& e = edge_of(e_side.feature);

    // The vertex against the edge's region.
    const vec3_t v_in_e = carried_point(e_side, v);
    const struct {
        const vec4_t* plane;
        const cd_feature_t* beyond;
    } planes[4] = {
        {&e.tail_plane, e.tail}, {&e.head_plane, e.head}, {&e.face0_plane, e.face0}, {&e.face1_plane, e.face1}};
    for (const auto& plane : planes)
        if (vclip_plane_value(*plane.plane, v_in_e) < 0.0f) {
            e_side.feature = plane.beyond;
            return vclip_continue;
        }

    // The edge against the vertex's region.
    const vclip_segment_t e_in_v = carried_edge(v_side, e);
    const vclip_cone_clip_t clip = vclip_clip_cone(v, e_in_v);
    if (clip.lower_edge && clip.lower_edge == clip.upper_edge) {
        v_side.feature = clip.lower_edge;
        return vclip_continue;
    }
    const vec3_t& position = *v.position;
    const struct {
        float fraction;
        const cd_poly_edge_t* neighbour;
        float toward_sign;
    } ends[2] = {{clip.lower, clip.lower_edge, 1.0f}, {clip.upper, clip.upper_edge, -1.0f}};
    for (const auto& end : ends) {
        if (!end.neighbour)
            continue;
        const vec3_t offset = e_in_v.at(end.fraction) - position;
        if (offset.length_sq() <= vclip_touch_epsilon) {
            distance_ = 0.0f;
            v_side.closest = position;
            e_side.closest = v_in_e;
            return vclip_touch;
        }
        if (offset.dot(e_in_v.vector) * end.toward_sign > 0.0f) {
            v_side.feature = end.neighbour;
            return vclip_continue;
        }
    }
    v_side.closest = position;
    e_side.closest = vclip_project_on_line(e, v_in_e);
    distance_ = (v_in_e - e_side.closest).length();
    return vclip_apart;
}

vclip_answer_t vclip_walk_t::vertex_face(vclip_side_t& v_side, vclip_side_t& f_side)
{
    const cd_poly_vertex_t& v = vertex_of(v_side.feature);
    const cd_poly_face_t& f = face_of(f_side.feature);
    const vec3_t v_in_f = carried_point(f_side, v);

    // Beyond the face's outline: the ring edge whose plane the vertex lies farthest beyond.
    const cd_ring_entry_t* beyond = nullptr;
    float farthest = 0.0f;
    for (const cd_ring_entry_t& entry : f.ring) {
        const float value = vclip_plane_value(*entry.plane, v_in_f);
        if (value > farthest) {
            farthest = value;
            beyond = &entry;
        }
    }
    if (beyond) {
        f_side.feature = beyond->edge;
        return vclip_continue;
    }

    const float d = vclip_plane_value(f.plane, v_in_f);
    distance_ = d;
    if (std::fabs(d) <= vclip_touch_epsilon) {
        v_side.closest = *v.position;
        f_side.closest = v_in_f;
        return vclip_touch;
    }
    // An edge of the vertex that leads nearer the face's plane takes over.
    for (const cd_cone_entry_t& entry : v.cone) {
        const cd_poly_vertex_t& other_end = entry.edge->tail == &v ? *entry.edge->head : *entry.edge->tail;
        const float end_value =
            vclip_plane_value(f.plane, mult_point_matrix_fast(f_side.from_other, *other_end.position));
        if ((d > 0.0f && end_value < d) || (d < 0.0f && end_value > d)) {
            v_side.feature = entry.edge;
            return vclip_continue;
        }
    }
    if (d > 0.0f) {
        v_side.closest = *v.position;
        f_side.closest = v_in_f - f.plane.xyz() * d;
        return vclip_apart;
    }

    // Below the face with every edge leading deeper: a face the vertex lies in front of takes over;
    // with none, the vertex is inside, nearest to the face it lies least deep under.
    const cd_poly_face_t* nearest = &f;
    float nearest_value = d;
    for (const cd_poly_face_t& face : f_side.polyhedron->faces()) {
        const float value = vclip_plane_value(face.plane, v_in_f);
        if (value > nearest_value) {
            nearest_value = value;
            nearest = &face;
        }
    }
    if (nearest_value > 0.0f) {
        f_side.feature = nearest;
        return vclip_continue;
    }
    v_side.closest = *v.position;
    f_side.closest = v_in_f - nearest->plane.xyz() * nearest_value;
    return vclip_touch;
}

vclip_answer_t vclip_walk_t::edge_edge()
{
    const cd_poly_edge_t& e = edge_of(first_.feature);
    const cd_poly_edge_t& g = edge_of(second_.feature);
    const vclip_touch_rule_t rule{true, 0.0f};

    const vclip_segment_t e_in_g = carried_edge(second_, e);
    vclip_edge_clip_t clip = vclip_clip_edge(g, e_in_g, rule);
    if (clip.kind == vclip_edge_clip_t::moved) {
        second_.feature = clip.feature;
        return vclip_continue;
    }
    if (clip.kind == vclip_edge_clip_t::touching) {
        second_.closest = clip.point;
        first_.closest = mult_point_matrix_fast(first_.from_other, clip.point);
        return vclip_touch;
    }

    const vclip_segment_t g_in_e = carried_edge(first_, g);
    clip = vclip_clip_edge(e, g_in_e, rule);
    if (clip.kind == vclip_edge_clip_t::moved) {
        first_.feature = clip.feature;
        return vclip_continue;
    }
    if (clip.kind == vclip_edge_clip_t::touching) {
        first_.closest = clip.point;
        second_.closest = mult_point_matrix_fast(second_.from_other, clip.point);
        return vclip_touch;
    }

    // Each edge lies in the other's region: the nearest points of the two lines.
    first_.closest = vclip_edge_point_near_line(e, g_in_e, mult_normal_matrix_fast(first_.from_other, g.direction));
    const vec3_t point_in_g = mult_point_matrix_fast(second_.from_other, first_.closest);
    second_.closest = vclip_project_on_line(g, point_in_g);
    distance_ = (point_in_g - second_.closest).length();
    return vclip_apart;
}

vclip_answer_t vclip_walk_t::edge_face(vclip_side_t& e_side, vclip_side_t& f_side)
{
    const cd_poly_edge_t& e = edge_of(e_side.feature);
    const cd_poly_face_t& f = face_of(f_side.feature);
    const vclip_segment_t e_in_f = carried_edge(f_side, e);
    const vclip_face_clip_t clip = vclip_clip_face(f, e_in_f);
    switch (clip.kind) {
    case vclip_face_clip_t::moved:
        f_side.feature = clip.feature;
        return vclip_continue;
    case vclip_face_clip_t::edge_tail:
    case vclip_face_clip_t::edge_head: {
        // The end vertex's position in the face's frame is already known.
        const bool tail = clip.kind == vclip_face_clip_t::edge_tail;
        e_side.feature = tail ? e.tail : e.head;
        f_side.cache.feature = e_side.feature;
        f_side.cache.point = tail ? f_side.cache.tail : f_side.cache.head;
        return vclip_continue;
    }
    case vclip_face_clip_t::crossing:
        break;
    }
    distance_ = clip.depth;
    e_side.closest = *e.tail->position + e.vector * clip.fraction;
    f_side.closest = clip.face_point;
    return vclip_touch;
}
