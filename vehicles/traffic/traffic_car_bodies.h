#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/quat.h"
#include "engine/vec.h"
#include "physics/contact_owner.h"

class body_callback_t;
class cd_geo_box_t;
class physproc_t;
class phys_body_t;

// The collision boxes of the traffic's cars near the viewer: per car slot a box body, or none, and the
// owner record its contacts name (the traffic's handle and the slot as the tag).
class traffic_car_bodies_t {
public:
    static constexpr int32_t slot_count = 128;

    traffic_car_bodies_t() = default;
    traffic_car_bodies_t(const traffic_car_bodies_t&) = delete;
    traffic_car_bodies_t& operator=(const traffic_car_bodies_t&) = delete;

    // Makes the box of slot `car` (one it has is replaced only after remove): `extents` wide, high and
    // long, of `mass`, at `position` turned by `rotation`, its contacts answered by `callbacks` as
    // those of the owner `owner_word`; it is put into `world` when there is one.
    void make(int32_t car, const vec3_t& extents, float mass, const vec3_t& position, const quat_t& rotation,
              uint32_t owner_word, body_callback_t* callbacks, physproc_t* world);
    // Takes the box of slot `car` out of `world` (when there is one) and deletes it.
    void remove(int32_t car, physproc_t* world);
    // The body and the box of slot `car`, null when it has none.
    phys_body_t* body(int32_t car) const { return bodies_[index(car)]; }
    cd_geo_box_t* geometry(int32_t car) const { return geometries_[index(car)]; }
    // The traffic moved by `delta` bytes (these records with it): the boxes that pointed at their
    // owner records and at the traffic's callbacks (now `callbacks`) where they were point again.
    void relink(ptrdiff_t delta, body_callback_t* callbacks);

private:
    static size_t index(int32_t car);

    std::array<cd_geo_box_t*, slot_count> geometries_{};
    std::array<phys_body_t*, slot_count> bodies_{};
    std::array<contact_owner_t, slot_count> owners_{};
};
