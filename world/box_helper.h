#pragma once
#include <array>
#include <cstdint>

#include "engine/dstring.h"
#include "engine/entity.h"
#include "engine/evalue.h"
#include "engine/vec.h"

// A marker level designers place and see in the map editor: a position, a size, a colour and a
// text; it does nothing in the running game.
class helper_e : public entity_t {
public:
    helper_e();

    const evalue_def_t* get_evalue_root() const override;
    const char* get_default_name() const override { return "helper"; }

    vec3_t position{};
    vec3_t size{};
    // Red, green and blue on a 0..255 scale.
    vec3_t draw_color{128.0f, 128.0f, 128.0f};
    dstring_t text;
};

// The outline the editor draws of a box helper: its colour (red + green x 256 + blue x 65536) and its
// twelve edges as pairs of corners.
struct box_outline_t {
    uint32_t colour = 0;
    std::array<vec3_t, 24> points{};
};

// A box marker, registered as "helpers.box_helper": a 100-unit cube by default.
class box_helper_e : public helper_e {
public:
    box_helper_e();

    const char* get_default_name() const override { return "dummy_box"; }
    // The box's outline: corners from position - size / 2 to position + size / 2, the colour's
    // channels limited to 0..255.
    box_outline_t outline() const;
};
