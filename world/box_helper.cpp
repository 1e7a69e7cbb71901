#include "world/box_helper.h"

#include <algorithm>
#include <cmath>

#include "world/decal_generic.h"

namespace {

constexpr evalue_def_t position_def =
    evalue_member("position", evalue_point, sizeof(vec3_t), evalue_bind<&helper_e::position>, nullptr, "0 0 0");
constexpr evalue_def_t size_def =
    evalue_member("size", evalue_point, sizeof(vec3_t), evalue_bind<&helper_e::size>, nullptr, "0 0 0");
constexpr evalue_def_t draw_color_def = evalue_member("draw_color", evalue_point, sizeof(vec3_t),
                                                      evalue_bind<&helper_e::draw_color>, nullptr, "128 128 128");
constexpr evalue_def_t text_def =
    evalue_member("text", evalue_dstring, sizeof(dstring_t), evalue_bind<&helper_e::text>, nullptr, "");

// A colour channel as a byte. The components are on a 0..255 scale (the default 128 is a middle grey),
// so each is rounded and limited to a byte.
uint32_t channel(float value)
{
    const float byte = std::nearbyint(value);
    return static_cast<uint32_t>(std::clamp(std::isfinite(byte) ? byte : 0.0f, 0.0f, 255.0f));
}

// The twelve edges of a box as pairs of corner numbers (bit 1: maximum x, bit 2: maximum y, 4..7:
// maximum z).
constexpr int edges[12][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}, {4, 5}, {5, 7},
                              {7, 6}, {6, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

}  // namespace

helper_e::helper_e() { entity_flags |= 8; }

const evalue_def_t* helper_e::get_evalue_root() const
{
    static std::array<evalue_def_t, 4> defs{position_def, size_def, draw_color_def, text_def};
    static const evalue_def_t* const root = decal_property_chain(defs, entity_t::get_evalue_root());
    return root;
}

box_helper_e::box_helper_e() { size = vec3_t(100.0f, 100.0f, 100.0f); }

box_outline_t box_helper_e::outline() const
{
    const vec3_t half = size * 0.5f;
    const vec3_t low = position - half;
    const vec3_t high = position + half;
    vec3_t corners[8];
    for (int n = 0; n < 8; ++n)
        corners[n] = vec3_t((n & 1) ? high.x : low.x, (n & 2) ? high.y : low.y, n >= 4 ? high.z : low.z);
    box_outline_t out;
    for (int e = 0; e < 12; ++e) {
        out.points[static_cast<size_t>(e) * 2] = corners[edges[e][0]];
        out.points[static_cast<size_t>(e) * 2 + 1] = corners[edges[e][1]];
    }
    out.colour = channel(draw_color.x) | channel(draw_color.y) << 8 | channel(draw_color.z) << 16;
    return out;
}
