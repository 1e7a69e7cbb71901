#pragma once
#include <cstdint>
#include <deque>
#include <vector>

#include "engine/vec.h"

// The feature graph of a convex solid for the closest-feature test: vertices, edges and faces, each
// with the planes that bound its Voronoi region. Built over a vertex array that the caller owns and
// a table of faces given as rings of vertex indices, then prepared (planes and directions).

struct cd_poly_edge_t;
struct cd_poly_face_t;

// What every feature record begins with, so the closest-feature test can dispatch on it.
struct cd_feature_t {
    // Feature types.
    enum type_t : uint32_t { type_vertex = 1, type_edge = 2, type_face = 3 };
    uint32_t type;
};

// An edge at a vertex, with the edge's plane at that vertex.
struct cd_cone_entry_t {
    cd_poly_edge_t* edge;
    const vec4_t* plane;
};

// A vertex: its position in the shared array and the edges that meet there.
struct cd_poly_vertex_t : cd_feature_t {
    const vec3_t* position = nullptr;
    std::vector<cd_cone_entry_t> cone;
};

// An edge between two vertices, shared by the two faces whose rings run through it in opposite ways.
struct cd_poly_edge_t : cd_feature_t {
    cd_poly_vertex_t* tail = nullptr;
    cd_poly_vertex_t* head = nullptr;
    // The face whose ring runs from head to tail, and the one whose ring runs from tail to head.
    cd_poly_face_t* face0 = nullptr;
    cd_poly_face_t* face1 = nullptr;
    // Through the tail with normal the direction; through the head with normal minus the direction.
    vec4_t tail_plane;
    vec4_t head_plane;
    // Through the edge with normal direction x (normal of face 0), and (normal of face 1) x direction.
    vec4_t face0_plane;
    vec4_t face1_plane;
    // head - tail, and its unit vector (zero for a zero-length edge).
    vec3_t vector;
    vec3_t direction;
};

// One step of a face's ring: its position, the edge, that edge's plane for this face, and the vertex
// the ring leaves from at this position.
struct cd_ring_entry_t {
    uint16_t position;
    cd_poly_edge_t* edge;
    const vec4_t* plane;
    const cd_poly_vertex_t* vertex;
};

// A face: its plane (outward normal, distance) and its ring of edges.
struct cd_poly_face_t : cd_feature_t {
    uint16_t vertex_count = 0;
    vec4_t plane;
    std::vector<cd_ring_entry_t> ring;
};

// A convex polyhedron as a feature graph.
class cd_polyhedron_t {
public:
    cd_polyhedron_t() = default;
    cd_polyhedron_t(const cd_polyhedron_t&) = delete;
    cd_polyhedron_t& operator=(const cd_polyhedron_t&) = delete;

    // Binds the shared vertex array of `count` positions (owned by the caller).
    void set_vertices(const vec3_t* vertices, uint32_t count);
    // Appends `face_count` faces of `per_face` vertex indices each, read from `table`; the edges are
    // found or made so each is shared. False, with an error, on an index outside the vertex array
    // (the faces before the bad one stay).
    bool build_faces(const int* table, uint16_t per_face, uint16_t face_count);
    // Computes the face planes, the edge directions and the Voronoi planes from the vertex positions.
    void prepare();
    // Empties all lists.
    void clear();

    const std::deque<cd_poly_vertex_t>& vertices() const { return vertices_; }
    const std::deque<cd_poly_edge_t>& edges() const { return edges_; }
    const std::deque<cd_poly_face_t>& faces() const { return faces_; }

private:
    // The record of vertex `index`, made on first use.
    cd_poly_vertex_t* find_vertex(int index);
    // The edge between vertices a and b (made when missing) with `face` recorded on the side its ring
    // runs; gives the edge's plane for that face.
    cd_poly_edge_t* find_edge(int a, int b, cd_poly_face_t* face, const vec4_t** face_plane);

    std::deque<cd_poly_vertex_t> vertices_;
    std::deque<cd_poly_edge_t> edges_;
    std::deque<cd_poly_face_t> faces_;
    const vec3_t* vertex_array_ = nullptr;
    uint32_t vertex_count_ = 0;
};
