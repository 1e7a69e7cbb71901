#pragma once
#include <cstdint>

#include "engine/axial.h"
#include "physics/phys_state.h"
#include "physics/physics_object.h"

class cd_polyhedron_t;
struct vclip_contact_t;

// A physics object that answers its contacts: when its body moved into something, the closest
// features of the two shapes give contact points, and impulses at those points push this body and
// the body it hit. Vehicles and the traffic derive from it.
class dynamic_object_e : public physics_object_e {
public:
    // Shortest impulse a contact passes on to another body; weaker pushes are raised to it.
    static constexpr float smallest_push = 30000.0f;
    // Share of the computed impulse this body takes at each contact point.
    static constexpr float own_share = 0.7f;
    // Farthest apart two features may be and still give a contact point, and most points per contact.
    static constexpr float point_tolerance = 4.0f;
    static constexpr int most_points = 3;

    dynamic_object_e() = default;

    // Each frame: clears the contact flags that the physics steps since the last frame set. The
    // contact timer of physics_object_e does not run here.
    void handler() override;
    // The contact response, when this object's body was the one that moved.
    void on_contact(const phys_contact_t& contact, bool mover) override;
    // Told each contact point of a response (null when it found none or handled the contact by the
    // other's kind), the other geometry (or null) and the other's item id. Vehicles deform here.
    virtual void apply_impact(const vclip_contact_t* point, cd_geo_t* other, uint32_t other_item);

    // Set when a response ran its general case this frame.
    uint32_t solid_contact = 0;
    // Contact points of the last general response that came from a vertex of this object's shape.
    uint32_t flagged_points = 0;
    // Scales the approach speed of a kick.
    float response_factor = 1.5f;

private:
    // One side of a contact: its shape, its frame and its body (null for a fixed geometry).
    struct side_t {
        cd_geo_t* geometry = nullptr;
        const cd_polyhedron_t* polyhedron = nullptr;
        phys_body_t* body = nullptr;
        const phys_state_t* state = nullptr;
        axial_t frame;
    };

    // This object's side, placed where its body is going.
    side_t own_side() const;
    // The geometry that was hit; a mesh's hit triangle stands in the shared triangle.
    static side_t other_side(const phys_contact_t& contact);
    // Contact points of the two shapes, each pushing both bodies apart.
    void respond(const side_t& own, const side_t& other, uint32_t other_item);
    // Running into the police truck: the player's truck is given its ticket (the response goes on).
    static void show_player_ticket();
    // Pushes a pooled box away from this body without pushing back.
    void kick(const side_t& own, const side_t& other);
};
