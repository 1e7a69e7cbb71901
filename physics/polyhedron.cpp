#include "physics/polyhedron.h"

#include <cmath>

#include "engine/geometry.h"
#include "engine/log.h"

void cd_polyhedron_t::set_vertices(const vec3_t* vertices, uint32_t count)
{
    vertex_array_ = vertices;
    vertex_count_ = vertices ? count : 0;
}

bool cd_polyhedron_t::build_faces(const int* table, uint16_t per_face, uint16_t face_count)
{
    if (!table && face_count && per_face) {
        error("cd_polyhedron_t: no face table");
        return false;
    }
    for (uint16_t f = 0; f < face_count; ++f) {
        const int* const ring = table + static_cast<size_t>(f) * per_face;
        for (uint16_t i = 0; i < per_face; ++i)
            if (ring[i] < 0 || static_cast<uint32_t>(ring[i]) >= vertex_count_) {
                error("cd_polyhedron_t: face %u names vertex %d of %u", f, ring[i], vertex_count_);
                return false;
            }
        cd_poly_face_t& face = faces_.emplace_back();
        face.type = cd_feature_t::type_face;
        face.vertex_count = per_face;
        for (uint16_t i = 0; i < per_face; ++i) {
            const int a = ring[i];
            const int b = ring[(i + 1) % per_face];
            const vec4_t* plane = nullptr;
            cd_poly_edge_t* const edge = find_edge(a, b, &face, &plane);
            face.ring.push_back({i, edge, plane, find_vertex(a)});
        }
    }
    return true;
}

cd_poly_vertex_t* cd_polyhedron_t::find_vertex(int index)
{
    const vec3_t* const position = vertex_array_ + index;
    for (cd_poly_vertex_t& vertex : vertices_)
        if (vertex.position == position)
            return &vertex;
    cd_poly_vertex_t& vertex = vertices_.emplace_back();
    vertex.type = cd_feature_t::type_vertex;
    vertex.position = position;
    return &vertex;
}

cd_poly_edge_t* cd_polyhedron_t::find_edge(int a, int b, cd_poly_face_t* face, const vec4_t** face_plane)
{
    cd_poly_vertex_t* const va = find_vertex(a);
    cd_poly_vertex_t* const vb = find_vertex(b);
    for (cd_poly_edge_t& edge : edges_) {
        if (edge.tail == va && edge.head == vb) {
            edge.face1 = face;
            *face_plane = &edge.face1_plane;
            return &edge;
        }
        if (edge.tail == vb && edge.head == va) {
            edge.face0 = face;
            *face_plane = &edge.face0_plane;
            return &edge;
        }
    }
    cd_poly_edge_t& edge = edges_.emplace_back();
    edge.type = cd_feature_t::type_edge;
    edge.tail = va;
    edge.head = vb;
    edge.face1 = face;
    *face_plane = &edge.face1_plane;
    va->cone.push_back({&edge, &edge.tail_plane});
    vb->cone.push_back({&edge, &edge.head_plane});
    return &edge;
}

void cd_polyhedron_t::prepare()
{
    for (cd_poly_face_t& face : faces_) {
        face.plane = vec4_t();
        const int n = static_cast<int>(face.ring.size());
        if (n < 3)
            continue;
        const int third = static_cast<int>(std::lround(static_cast<float>(n) * 0.33333334f));
        const int two_thirds = static_cast<int>(std::lround(static_cast<float>(2 * n) * 0.33333334f)) % n;
        // Rings run clockwise seen from outside; this order makes the normal point outwards.
        points_compute_equation(*face.ring[0].vertex->position,
                                *face.ring[static_cast<size_t>(two_thirds)].vertex->position,
                                *face.ring[static_cast<size_t>(third)].vertex->position, 0.0f, face.plane);
    }
    for (cd_poly_edge_t& edge : edges_) {
        const vec3_t& tail = *edge.tail->position;
        const vec3_t& head = *edge.head->position;
        edge.vector = head - tail;
        const float length = edge.vector.length();
        edge.direction = length > 0.0f ? edge.vector / length : vec3_t();
        edge.tail_plane = construct_equation(tail, edge.direction);
        edge.head_plane = construct_equation(head, -edge.direction);
        edge.face0_plane = vec4_t();
        edge.face1_plane = vec4_t();
        if (edge.face1)
            compute_equation(tail, edge.face1->plane.xyz(), edge.direction, 0.0f, edge.face1_plane);
        if (edge.face0)
            compute_equation(tail, edge.direction, edge.face0->plane.xyz(), 0.0f, edge.face0_plane);
    }
}

void cd_polyhedron_t::clear()
{
    faces_.clear();
    edges_.clear();
    vertices_.clear();
}
