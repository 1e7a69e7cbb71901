#include "common/engine_api.h"
#include "physics/vclip.h"
#include "physics/vclip_steps.h"

namespace {

// Steps after which a point's or an edge's walk that has not ended is given up.
constexpr int max_steps = 100;

// Where a point's walk ended.
struct point_walk_t {
    vclip_answer_t answer = vclip_apart;
    const cd_feature_t* feature = nullptr;
    vec3_t near;
};

// Walks `point` (in `walked`'s frame) over `walked` from its first face.
point_walk_t walk_point(const cd_polyhedron_t& walked, const vec3_t& point, float tolerance)
{
    point_walk_t walk;
    walk.feature = &walked.faces().front();
    for (int steps = 1;; ++steps) {
        walk.answer = vclip_point_step(walked, point, tolerance, walk.feature, walk.near);
        if (steps > max_steps) {
            walk.answer = vclip_apart;
            return walk;
        }
        if (walk.answer != vclip_continue)
            return walk;
    }
}

// Where an edge's walk ended.
struct edge_walk_t {
    vclip_answer_t answer = vclip_apart;
    const cd_feature_t* feature = nullptr;
    vclip_step_points_t points;
};

// Walks `edge` of the first polyhedron (given in the second's frame too) over `second` from its first
// face.
edge_walk_t walk_edge(const cd_poly_edge_t& edge, const vclip_segment_t& edge_in_second, const cd_polyhedron_t& second,
                      const vclip_frames_t& frames, float tolerance)
{
    edge_walk_t walk;
    walk.feature = &second.faces().front();
    for (int steps = 1;; ++steps) {
        walk.answer = vclip_edge_step(edge, edge_in_second, frames, tolerance, walk.feature, walk.points);
        if (steps > max_steps) {
            walk.answer = vclip_apart;
            return walk;
        }
        if (walk.answer != vclip_continue)
            return walk;
    }
}

// The normal of a point's contact, pointing from the feature the walk ended on toward the point.
vec3_t point_normal(const point_walk_t& walk, const vec3_t& point)
{
    if (walk.feature->type == cd_feature_t::type_face)
        return static_cast<const cd_poly_face_t*>(walk.feature)->plane.xyz();
    return (point - walk.near).normalized();
}

// Collects the contact records into the caller's array, up to its room.
class contact_writer_t {
public:
    contact_writer_t(vclip_contact_t* contacts, int maximum) : contacts_(contacts), maximum_(maximum) {}

    // Writes one record; true when the array is full.
    bool write(const vec3_t& on_first, const vec3_t& on_second, const vec3_t& world_normal, uint8_t from_first)
    {
        vclip_contact_t& contact = contacts_[count_++];
        contact.point_on_first = on_first;
        contact.point_on_second = on_second;
        contact.normal = world_normal;
        contact.from_first = from_first;
        return full();
    }
    bool full() const { return count_ >= maximum_; }
    int count() const { return count_; }

private:
    vclip_contact_t* contacts_;
    int maximum_;
    int count_ = 0;
};

// The vertices of the first polyhedron near the second's surface.
void first_vertices(const cd_polyhedron_t& first, const cd_polyhedron_t& second, const axial_t& second_frame,
                    const vclip_frames_t& frames, float tolerance, contact_writer_t& out)
{
    if (second.faces().empty())
        return;
    for (const cd_poly_vertex_t& vertex : first.vertices()) {
        const vec3_t point = mult_point_matrix_fast(frames.first_to_second, *vertex.position);
        const point_walk_t walk = walk_point(second, point, tolerance);
        if (walk.answer != vclip_touch)
            continue;
        const vec3_t normal = mult_normal_matrix_fast(second_frame.matrix, point_normal(walk, point));
        if (out.write(*vertex.position, walk.near, normal, 1))
            return;
    }
}

// The vertices of the second polyhedron near the first's surface, except those nearest a vertex.
void second_vertices(const cd_polyhedron_t& first, const axial_t& first_frame, const cd_polyhedron_t& second,
                     const vclip_frames_t& frames, float tolerance, contact_writer_t& out)
{
    if (first.faces().empty())
        return;
    for (const cd_poly_vertex_t& vertex : second.vertices()) {
        const vec3_t point = mult_point_matrix_fast(frames.second_to_first, *vertex.position);
        const point_walk_t walk = walk_point(first, point, tolerance);
        if (walk.answer != vclip_touch || walk.feature->type == cd_feature_t::type_vertex)
            continue;
        const vec3_t normal = mult_normal_matrix_fast(first_frame.matrix, -point_normal(walk, point));
        if (out.write(walk.near, *vertex.position, normal, 0))
            return;
    }
}

// The edges of the first polyhedron that cross a face of the second or pass near one of its edges.
void first_edges(const cd_polyhedron_t& first, const cd_polyhedron_t& second, const axial_t& second_frame,
                 const vclip_frames_t& frames, float tolerance, contact_writer_t& out)
{
    if (second.faces().empty())
        return;
    for (const cd_poly_edge_t& edge : first.edges()) {
        const vec3_t tail = mult_point_matrix_fast(frames.first_to_second, *edge.tail->position);
        const vec3_t head = mult_point_matrix_fast(frames.first_to_second, *edge.head->position);
        const vclip_segment_t edge_in_second{tail, head, head - tail};
        const edge_walk_t walk = walk_edge(edge, edge_in_second, second, frames, tolerance);
        if (walk.answer != vclip_touch)
            continue;
        vec3_t normal;
        if (walk.feature->type == cd_feature_t::type_face)
            normal = static_cast<const cd_poly_face_t*>(walk.feature)->plane.xyz();
        else
            normal = (mult_point_matrix_fast(frames.first_to_second, walk.points.on_first) - walk.points.on_second)
                         .normalized();
        if (out.write(walk.points.on_first, walk.points.on_second, mult_normal_matrix_fast(second_frame.matrix, normal),
                      0))
            return;
    }
}

}  // namespace

int vclip_test(const cd_polyhedron_t& first, const axial_t& first_frame, const cd_polyhedron_t& second,
               const axial_t& second_frame, float tolerance, vclip_contact_t* contacts_out, int maximum)
{
    if (maximum < 1)
        return 0;
    if (!contacts_out) {
        if (api::error)
            api::error("vclip_test: no array for %d contacts", maximum);
        return 0;
    }
    const vclip_frames_t frames = vclip_frames_t::between(first_frame, second_frame);
    contact_writer_t out(contacts_out, maximum);
    first_vertices(first, second, second_frame, frames, tolerance, out);
    if (!out.full())
        second_vertices(first, first_frame, second, frames, tolerance, out);
    if (!out.full())
        first_edges(first, second, second_frame, frames, tolerance, out);
    return out.count();
}
