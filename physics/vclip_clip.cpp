#include "physics/vclip_clip.h"

#include <cmath>

#include "engine/check.h"

namespace {

// One of the two planes that close an edge's region against its faces, with the face beyond it.
struct side_plane_t {
    const vec4_t* plane;
    const cd_poly_face_t* face;
};

// The feature as a vertex, or null when it is none.
const cd_poly_vertex_t* as_vertex(const cd_feature_t* feature)
{
    return feature && feature->type == cd_feature_t::type_vertex ? static_cast<const cd_poly_vertex_t*>(feature)
                                                                 : nullptr;
}

// The feature as a face, or null when it is none.
const cd_poly_face_t* as_face(const cd_feature_t* feature)
{
    return feature && feature->type == cd_feature_t::type_face ? static_cast<const cd_poly_face_t*>(feature) : nullptr;
}

// The region's edge gives way to `feature`.
vclip_edge_clip_t moved_to(const cd_feature_t* feature)
{
    vclip_edge_clip_t out;
    out.kind = vclip_edge_clip_t::moved;
    out.feature = feature;
    return out;
}

// A touch at `point`: the walk's touching point, or the contact step's "apart".
vclip_edge_clip_t touch_at(const vec3_t& point, const vclip_touch_rule_t& rule)
{
    vclip_edge_clip_t out;
    out.kind = rule.walk ? vclip_edge_clip_t::touching : vclip_edge_clip_t::apart;
    out.point = point;
    return out;
}

// True, with the answer in `out`, when `point` lies within the touch distance of `vertex`.
bool touches_vertex(const vec3_t& point, const cd_poly_vertex_t& vertex, const vclip_touch_rule_t& rule,
                    vclip_edge_clip_t& out)
{
    if ((point - *vertex.position).length_sq() > vclip_touch_epsilon)
        return false;
    out = touch_at(*vertex.position, rule);
    return true;
}

// Whether a face neighbour at plane value `d` counts as touched: within 1e-6 for the walk; the contact
// step compares with its tolerance where the caller says so.
bool walk_touches_face(float d, const vclip_touch_rule_t& rule)
{
    return rule.walk && std::fabs(d) <= vclip_touch_epsilon;
}

// The clipped part of the segment is empty after a face plane moved a bound: picks the neighbour the
// closest points lie toward.
vclip_edge_clip_t choose_neighbour(const vclip_segment_t& s, float lower, float upper,
                                   const cd_feature_t* lower_neighbour, const cd_feature_t* upper_neighbour,
                                   const vclip_touch_rule_t& rule)
{
    kv_assert(lower_neighbour && upper_neighbour);
    vclip_edge_clip_t out;
    if (const cd_poly_vertex_t* const vertex = as_vertex(lower_neighbour)) {
        const vec3_t point = s.at(lower);
        if (touches_vertex(point, *vertex, rule, out))
            return out;
        return moved_to((point - *vertex->position).dot(s.vector) < 0.0f ? upper_neighbour : lower_neighbour);
    }
    if (const cd_poly_vertex_t* const vertex = as_vertex(upper_neighbour)) {
        const vec3_t point = s.at(upper);
        if (touches_vertex(point, *vertex, rule, out))
            return out;
        return moved_to((point - *vertex->position).dot(s.vector) > 0.0f ? lower_neighbour : upper_neighbour);
    }
    const vec4_t& plane = as_face(lower_neighbour)->plane;
    const float d = vclip_plane_value(plane, s.at(lower));
    if (rule.walk ? std::fabs(d) <= vclip_touch_epsilon : d < rule.tolerance)
        return touch_at(s.at(lower), rule);
    const float dt = vclip_plane_value(plane, s.tail);
    const float dh = vclip_plane_value(plane, s.head);
    if (d > 0.0f)
        return moved_to(dt < dh ? lower_neighbour : upper_neighbour);
    return moved_to(dt > dh ? lower_neighbour : upper_neighbour);
}

}  // namespace

vclip_cone_clip_t vclip_clip_cone(const cd_poly_vertex_t& vertex, const vclip_segment_t& segment)
{
    vclip_cone_clip_t clip;
    for (const cd_cone_entry_t& entry : vertex.cone) {
        const float t = vclip_plane_value(*entry.plane, segment.tail);
        const float h = vclip_plane_value(*entry.plane, segment.head);
        if (t > 0.0f && h > 0.0f) {
            clip.lower_edge = clip.upper_edge = entry.edge;
            break;
        }
        if (t > 0.0f) {
            const float fraction = t / (t - h);
            if (fraction > clip.lower) {
                clip.lower = fraction;
                clip.lower_edge = entry.edge;
                if (clip.lower > clip.upper)
                    break;
            }
        } else if (h > 0.0f) {
            const float fraction = t / (t - h);
            if (fraction < clip.upper) {
                clip.upper = fraction;
                clip.upper_edge = entry.edge;
                if (clip.upper < clip.lower)
                    break;
            }
        }
    }
    return clip;
}

vclip_edge_clip_t vclip_clip_edge(const cd_poly_edge_t& region, const vclip_segment_t& s,
                                  const vclip_touch_rule_t& rule)
{
    float lower = 0.0f;
    float upper = 1.0f;
    const cd_feature_t* lower_neighbour = nullptr;
    const cd_feature_t* upper_neighbour = nullptr;

    // The planes at the region edge's ends: beyond them lie its vertices.
    const vclip_end_plane_t ends[2] = {{&region.tail_plane, region.tail}, {&region.head_plane, region.head}};
    for (const vclip_end_plane_t& end : ends) {
        const float a = vclip_plane_value(*end.plane, s.tail);
        const float b = vclip_plane_value(*end.plane, s.head);
        if (a < 0.0f && b < 0.0f)
            return moved_to(end.vertex);
        if (a < 0.0f) {
            const float fraction = a / (a - b);
            if (fraction > lower) {
                lower = fraction;
                lower_neighbour = end.vertex;
            }
        } else if (b < 0.0f) {
            const float fraction = a / (a - b);
            if (fraction < upper) {
                upper = fraction;
                upper_neighbour = end.vertex;
            }
        }
    }
    const float end_lower = lower;
    const float end_upper = upper;
    const cd_poly_vertex_t* const end_lower_vertex = as_vertex(lower_neighbour);
    const cd_poly_vertex_t* const end_upper_vertex = as_vertex(upper_neighbour);

    // The planes against its faces: beyond them lie the faces.
    vclip_edge_clip_t out;
    const side_plane_t sides[2] = {{&region.face0_plane, region.face0}, {&region.face1_plane, region.face1}};
    for (const side_plane_t& side : sides) {
        if (!side.face)
            continue;
        const float a = vclip_plane_value(*side.plane, s.tail);
        const float b = vclip_plane_value(*side.plane, s.head);
        if (a < 0.0f && b < 0.0f) {
            // Wholly beyond the face plane: one of the end vertices may still lie nearer.
            if (end_lower_vertex) {
                const vec3_t point = s.at(end_lower);
                if (touches_vertex(point, *end_lower_vertex, rule, out))
                    return out;
                if ((point - *end_lower_vertex->position).dot(s.vector) > 0.0f)
                    return moved_to(end_lower_vertex);
            }
            if (end_upper_vertex) {
                const vec3_t point = s.at(end_upper);
                if (touches_vertex(point, *end_upper_vertex, rule, out))
                    return out;
                if ((point - *end_upper_vertex->position).dot(s.vector) < 0.0f)
                    return moved_to(end_upper_vertex);
            }
            return moved_to(side.face);
        }
        bool moved = false;
        if (a < 0.0f) {
            const float fraction = a / (a - b);
            if (fraction > lower) {
                lower = fraction;
                lower_neighbour = side.face;
                moved = true;
            }
        } else if (b < 0.0f) {
            const float fraction = a / (a - b);
            if (fraction < upper) {
                upper = fraction;
                upper_neighbour = side.face;
                moved = true;
            }
        }
        if (moved && lower > upper)
            return choose_neighbour(s, lower, upper, lower_neighbour, upper_neighbour, rule);
    }

    // The clipped part is not empty: a neighbour the edge comes nearer to toward its end takes over.
    if (const cd_poly_vertex_t* const vertex = as_vertex(lower_neighbour)) {
        const vec3_t point = s.at(lower);
        if (touches_vertex(point, *vertex, rule, out))
            return out;
        if ((point - *vertex->position).dot(s.vector) > 0.0f)
            return moved_to(vertex);
    } else if (const cd_poly_face_t* const face = as_face(lower_neighbour)) {
        const float d_low = vclip_plane_value(face->plane, s.at(lower));
        const float d_high = vclip_plane_value(face->plane, s.at(upper));
        if (walk_touches_face(d_low, rule))
            return touch_at(s.at(lower), rule);
        if ((d_low > 0.0f && d_low < d_high) || (d_low < 0.0f && d_low > d_high)) {
            if (!rule.walk && std::fabs(d_low) < rule.tolerance)
                return touch_at(s.at(lower), rule);
            return moved_to(face);
        }
    }
    if (const cd_poly_vertex_t* const vertex = as_vertex(upper_neighbour)) {
        const vec3_t point = s.at(upper);
        if (touches_vertex(point, *vertex, rule, out))
            return out;
        if ((point - *vertex->position).dot(s.vector) < 0.0f)
            return moved_to(vertex);
    } else if (const cd_poly_face_t* const face = as_face(upper_neighbour)) {
        const float d_low = vclip_plane_value(face->plane, s.at(lower));
        const float d_high = vclip_plane_value(face->plane, s.at(upper));
        if (walk_touches_face(d_high, rule))
            return touch_at(s.at(upper), rule);
        if ((d_high > 0.0f && d_high < d_low) || (d_high < 0.0f && d_high > d_low)) {
            if (!rule.walk && std::fabs(d_high) < rule.tolerance)
                return touch_at(s.at(upper), rule);
            return moved_to(face);
        }
    }
    return {};
}

vec3_t vclip_edge_point_near_line(const cd_poly_edge_t& edge, const vclip_segment_t& other,
                                  const vec3_t& other_direction)
{
    const vec3_t& tail = *edge.tail->position;
    const vec3_t m = edge.direction.cross(other_direction).cross(other.vector);
    const float denominator = m.dot(edge.vector);
    if (denominator == 0.0f) {
        const float from_tail = (other.tail - tail).dot(edge.direction);
        const float from_head = (other.head - tail).dot(edge.direction);
        return from_tail * from_head > 0.0f ? *edge.head->position : tail;
    }
    const float t = (other.tail - tail).dot(m) / denominator;
    if (t < 0.0f)
        return tail;
    if (t > 1.0f)
        return *edge.head->position;
    return tail + edge.vector * t;
}

vec3_t vclip_project_on_line(const cd_poly_edge_t& edge, const vec3_t& point)
{
    const vec3_t& tail = *edge.tail->position;
    return tail + edge.direction * (edge.direction.dot(point) - edge.direction.dot(tail));
}
