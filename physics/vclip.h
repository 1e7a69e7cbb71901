#pragma once
#include <cstdint>

#include "engine/axial.h"
#include "engine/vec.h"
#include "physics/polyhedron.h"

// Closest features and contact points of two convex polyhedra, each placed by its own frame
// (`axial_t::matrix` carries the polyhedron's coordinates into the world, `inverse` back).

// One contact point between two touching polyhedra.
struct vclip_contact_t {
    // The contact point on the first polyhedron, in the first's frame.
    vec3_t point_on_first;
    // The contact point on the second polyhedron, in the second's frame.
    vec3_t point_on_second;
    // Unit normal pointing away from the second polyhedron, in the world frame.
    vec3_t normal;
    // 1 when the contact comes from a vertex of the first polyhedron, 0 otherwise.
    uint8_t from_first = 0;
};

// What vclip_run answers when it found no closest points (and wrote none).
constexpr float vclip_failed = -1.0f;

// Walks the two feature graphs from the given pair until each feature lies in the other's Voronoi
// region. A null feature starts from its polyhedron's first vertex; on return the features hold the
// final pair, to be passed in again next time (a slowly moving pair then ends in one or two steps).
// Answers the distance (at most 1e-6 when the polyhedra touch or interpenetrate, and then possibly
// negative) and writes the closest point of each polyhedron in its own frame. Answers -1 with an
// error when the walk does not end within 100 steps or a polyhedron has no vertex.
float vclip_run(const cd_polyhedron_t& first, const axial_t& first_frame, const cd_polyhedron_t& second,
                const axial_t& second_frame, const cd_feature_t*& first_feature_inout,
                const cd_feature_t*& second_feature_inout, vec3_t& first_point_out, vec3_t& second_point_out);

// Contact points of two touching polyhedra: each vertex of either that lies within `tolerance` of the
// other's surface (outside or just inside), and each edge of the first that crosses a face of the
// second or passes within `tolerance` of one of its edges. Writes at most `maximum` records to
// `contacts_out` and answers how many (0 for a maximum below 1 or no array).
int vclip_test(const cd_polyhedron_t& first, const axial_t& first_frame, const cd_polyhedron_t& second,
               const axial_t& second_frame, float tolerance, vclip_contact_t* contacts_out, int maximum);
