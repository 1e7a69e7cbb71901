#pragma once
#include <cstdint>

#include "engine/gfx_render.h"
#include "engine/ui_view.h"

struct c_item_t;

// The colour picker ("ui.comp.color.pick"): a hue strip at the right edge and a saturation/value field
// at the left edge, each with a cursor picture; the player picks with the first pointer button (held
// and dragged). The colour is hue (0 to 6), saturation and value (0 to 1); other code reads and sets it
// as an engine colour word 0xAABBGGRR.
class ui_comp_color_pick_t : public ui_view_t {
public:
    // "hue_width", "sv_width", "hue_cursor", "sv_cursor"; then the view's own.
    static const evalue_def_t evd_hue_width;
    static const evalue_def_t evd_sv_width;
    static const evalue_def_t evd_hue_cursor;
    static const evalue_def_t evd_sv_cursor;
    // Rows of the strip and the side of the field's grid.
    static constexpr int strip_rows = 128;
    static constexpr int field_side = 32;

    ui_comp_color_pick_t();

    const evalue_def_t* get_evalue_root() const override { return &evd_hue_width; }
    const char* get_default_name() const override { return "ui.comp.color.pick"; }

    // Phase 0: the meshes' shader, the geometry, the colours and the cursors.
    int init(int phase) override;
    // Phase 0: gives the four shaders back.
    int destroy(int phase) override;
    // Per frame: a changed property rebuilds the geometry.
    void handler() override;
    // Submits the strip, the field and the two cursors while visible.
    void draw() override;
    // Pointer down, up and moves pick the hue or the saturation and value.
    bool action(ui_view_t* sender, int code, void* param) override;
    // A changed rectangle or property rebuilds the geometry.
    void changed(unsigned mask) override;

    // The colour as 0xFFBBGGRR.
    uint32_t get_color() const;
    // Sets the colour from 0x..BBGGRR (the alpha is not read); `picked` is left as it is.
    void set_color(uint32_t colour);

    // HSV (hue 0 to 6, -1 grey) to RGB in 0 to 1.
    static void hsv_to_rgb(float hue, float saturation, float value, float& red, float& green, float& blue);
    // RGB in 0 to 1 to HSV.
    static void rgb_to_hsv(float red, float green, float blue, float& hue, float& saturation, float& value);

    int32_t hue_width = 32;
    int32_t sv_width = 64;
    char hue_cursor[64] = "";
    char sv_cursor[64] = "";
    uint8_t hue_width_status = 0;
    uint8_t sv_width_status = 0;
    uint8_t hue_cursor_status = 0;
    uint8_t sv_cursor_status = 0;

    uint32_t picked = 0;  // 1 once the player picked; never cleared here
    uint32_t held_buttons = 0;
    float hue = 3.0f;
    float saturation = 0.0f;
    float value = 0.0f;
    pml_rect_t strip_box;
    pml_rect_t field_box;

private:
    // Strip, field, cursors and their hit rectangles from the view's rectangle and properties.
    void build_geometry();
    void colour_strip();
    void colour_field();
    void place_cursors();
    // Picks at a pointer position.
    void pick(float x, float y);

    float strip_positions[strip_rows * 2 * 3] = {};
    uint32_t strip_colours[strip_rows * 2] = {};
    uint16_t strip_indices[(strip_rows - 1) * 6] = {};
    float field_positions[field_side * field_side * 3] = {};
    uint32_t field_colours[field_side * field_side] = {};
    uint16_t field_indices[(field_side - 1) * (field_side - 1) * 6] = {};
    float hue_cursor_quad[12] = {};
    float sv_cursor_quad[12] = {};
    c_item_t* strip_shader = nullptr;
    c_item_t* field_shader = nullptr;
    c_item_t* hue_cursor_shader = nullptr;
    c_item_t* sv_cursor_shader = nullptr;
    int hue_cursor_size[2] = {};
    int sv_cursor_size[2] = {};
};
