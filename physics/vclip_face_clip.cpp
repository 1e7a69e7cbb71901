#include "physics/vclip_clip.h"

namespace {

// How one ring plane of a face cuts an edge: beyond it at neither end, at both, or at one end with
// the crossing fraction.
struct ring_cut_t {
    enum kind_t { neither, both, tail_only, head_only };
    kind_t kind = neither;
    float fraction = 0.0f;
};

// How the ring plane of `entry` cuts the segment.
ring_cut_t cut_by(const cd_ring_entry_t& entry, const vclip_segment_t& s)
{
    const float t = vclip_plane_value(*entry.plane, s.tail);
    const float h = vclip_plane_value(*entry.plane, s.head);
    if (t > 0.0f && h > 0.0f)
        return {ring_cut_t::both, 0.0f};
    if (t > 0.0f)
        return {ring_cut_t::tail_only, t / (t - h)};
    if (h > 0.0f)
        return {ring_cut_t::head_only, t / (t - h)};
    return {};
}

// The face gives way to `feature`.
vclip_face_clip_t face_moved_to(const cd_feature_t* feature)
{
    vclip_face_clip_t out;
    out.kind = vclip_face_clip_t::moved;
    out.feature = feature;
    return out;
}

// The edge gives way to one of its ends.
vclip_face_clip_t edge_end(vclip_face_clip_t::kind_t kind)
{
    vclip_face_clip_t out;
    out.kind = kind;
    return out;
}

// The walk along the face's boundary stops at ring entry `current`: the face becomes the vertex that
// entry shares with the entry visited before it when that is its predecessor, else with its successor.
vclip_face_clip_t stop_at(const cd_poly_face_t& face, int current, int previous)
{
    const int n = static_cast<int>(face.ring.size());
    const cd_poly_edge_t& edge = *face.ring[static_cast<size_t>(current)].edge;
    const bool face1 = edge.face1 == &face;
    const bool from_predecessor = previous == (current + n - 1) % n;
    if (from_predecessor)
        return face_moved_to(face1 ? edge.tail : edge.head);
    return face_moved_to(face1 ? edge.head : edge.tail);
}

// The edge misses the face's region: walks the ring from entry `current` to the boundary feature
// (ring edge or vertex) the edge passes nearest to.
vclip_face_clip_t walk_ring(const cd_poly_face_t& face, const vclip_segment_t& s, int current)
{
    const int n = static_cast<int>(face.ring.size());
    int previous = -1;
    bool passed = false;
    // A convex face is walked round at most once; the bound only guards against rounding.
    for (int visits = 0; visits < n; ++visits) {
        const cd_ring_entry_t& entry = face.ring[static_cast<size_t>(current)];
        const cd_poly_edge_t& edge = *entry.edge;
        const ring_cut_t cut = cut_by(entry, s);
        if (cut.kind == ring_cut_t::neither)
            break;
        // The part of the edge beyond this ring plane, clipped by the ring edge's end planes.
        float lower = cut.kind == ring_cut_t::head_only ? cut.fraction : 0.0f;
        float upper = cut.kind == ring_cut_t::tail_only ? cut.fraction : 1.0f;
        const cd_poly_vertex_t* lower_vertex = nullptr;
        const cd_poly_vertex_t* upper_vertex = nullptr;
        const cd_poly_vertex_t* toward = nullptr;
        bool stop = false;
        const vclip_end_plane_t ends[2] = {{&edge.tail_plane, edge.tail}, {&edge.head_plane, edge.head}};
        for (const vclip_end_plane_t& end : ends) {
            const float a = vclip_plane_value(*end.plane, s.tail);
            const float b = vclip_plane_value(*end.plane, s.head);
            if (a < 0.0f && b < 0.0f) {
                toward = end.vertex;
                break;
            }
            bool empty = false;
            if (a < 0.0f) {
                const float fraction = a / (a - b);
                if (fraction > lower) {
                    lower = fraction;
                    lower_vertex = end.vertex;
                    empty = lower > upper;
                }
            } else if (b < 0.0f) {
                const float fraction = a / (a - b);
                if (fraction < upper) {
                    upper = fraction;
                    upper_vertex = end.vertex;
                    empty = upper < lower;
                }
            }
            if (empty) {
                if (passed)
                    stop = true;
                else
                    toward = end.vertex;
                break;
            }
        }
        if (stop)
            break;
        if (!toward) {
            passed = true;
            if (lower_vertex && (s.at(lower) - *lower_vertex->position).dot(s.vector) > 0.0f)
                toward = lower_vertex;
            else if (upper_vertex && (s.at(upper) - *upper_vertex->position).dot(s.vector) < 0.0f)
                toward = upper_vertex;
            else
                return face_moved_to(&edge);
        }
        // The ring runs tail to head through an edge of which this face is face 1, head to tail
        // through one of which it is face 0.
        const bool forward = (toward == edge.head) == (edge.face1 == &face);
        const int next = forward ? (current + 1) % n : (current + n - 1) % n;
        if (next == previous)
            break;
        previous = current;
        current = next;
    }
    return stop_at(face, current, previous);
}

// The edge meets the face's region over [lower, upper]: either it crosses the face's plane there, or
// the walk moves toward the side where the edge comes nearer the plane.
vclip_face_clip_t over_face(const cd_poly_face_t& face, const vclip_segment_t& s, float lower, float upper,
                            int lower_entry, int upper_entry)
{
    const float dt = vclip_plane_value(face.plane, s.tail);
    const float dh = vclip_plane_value(face.plane, s.head);
    const float d_low = dt + lower * (dh - dt);
    const float d_high = dt + upper * (dh - dt);
    if ((d_low < 0.0f && d_high >= 0.0f) || (d_low >= 0.0f && d_high <= 0.0f)) {
        vclip_face_clip_t out;
        out.kind = vclip_face_clip_t::crossing;
        const bool at_lower = d_low < 0.0f;
        out.fraction = at_lower ? lower : upper;
        out.depth = at_lower ? d_low : d_high;
        out.face_point = s.at(out.fraction) - face.plane.xyz() * out.depth;
        return out;
    }
    const bool upper_side = (d_low > 0.0f && dt > dh) || d_low == 0.0f || (d_low < 0.0f && dt < dh);
    if (upper_side)
        return upper_entry >= 0 ? face_moved_to(face.ring[static_cast<size_t>(upper_entry)].edge)
                                : edge_end(vclip_face_clip_t::edge_head);
    return lower_entry >= 0 ? face_moved_to(face.ring[static_cast<size_t>(lower_entry)].edge)
                            : edge_end(vclip_face_clip_t::edge_tail);
}

}  // namespace

vclip_face_clip_t vclip_clip_face(const cd_poly_face_t& face, const vclip_segment_t& s)
{
    float lower = 0.0f;
    float upper = 1.0f;
    int lower_entry = -1;
    int upper_entry = -1;
    int excluding = -1;
    const int n = static_cast<int>(face.ring.size());
    for (int i = 0; i < n; ++i) {
        const ring_cut_t cut = cut_by(face.ring[static_cast<size_t>(i)], s);
        if (cut.kind == ring_cut_t::both) {
            excluding = i;
        } else if (cut.kind == ring_cut_t::tail_only && cut.fraction > lower) {
            lower = cut.fraction;
            lower_entry = i;
        } else if (cut.kind == ring_cut_t::head_only && cut.fraction < upper) {
            upper = cut.fraction;
            upper_entry = i;
        }
    }
    if (excluding < 0 && lower <= upper)
        return over_face(face, s, lower, upper, lower_entry, upper_entry);
    const int start = excluding >= 0 ? excluding : (lower > 1.0f - upper ? lower_entry : upper_entry);
    return walk_ring(face, s, start);
}
