#pragma once
#include <cstdint>

#include "engine/ui_view.h"

struct c_item_t;

// A flat arrow between two screen points ("ui.comp.arrow"): a shaft that stops short of the end, a
// textured head ending at the end point and, in state 3, a black square part-way along. The routes
// page spawns arrows for freight orders, tags each with its order and asks which one is under the
// pointer.
class ui_comp_arrow_t : public ui_view_t {
public:
    // Phase 0 of init (loads the shaders) and of destroy (gives them back).
    static const level_list_t arrow_init_list;
    static const level_list_t arrow_destroy_list;

    const char* get_default_name() const override { return "ui.comp.arrow"; }
    const level_list_t* get_init_list() const override { return &arrow_init_list; }
    const level_list_t* get_destroy_list() const override { return &arrow_destroy_list; }
    int init(int phase) override;
    int destroy(int phase) override;
    // Submits the shaft and the head, and the marker in state 3, while the view is visible.
    void draw() override;

    // Sets the state and with it the colour of the shaft and head: 1 white, 2 green, 3 a stronger red,
    // any other value white.
    void set_state(uint32_t new_state);
    // Lays the arrow from (x1, y1) to (x2, y2), `width` to each side of the line (half that in state
    // 3, where the marker sits at `fraction` of the way), and keeps the caller's `new_tag`.
    void set_points(int x1, int y1, int x2, int y2, int width, int new_tag, float fraction);
    // The state and the tag.
    void get_params(uint32_t& out_state, int32_t& out_tag) const;
    // True when the view is shown and (x, y) lies inside the arrow's full-length outline.
    bool hit_test(int x, int y) const;

    float shaft[4][3] = {};    // the shaft quad, as a strip
    float outline[4][3] = {};  // the outline `hit_test` uses, corner after corner round the shaft
    float head[4][3] = {};     // the head quad, as a strip
    float marker[4][3] = {};   // the marker square, as a strip
    // Corner colours, 0xAABBGGRR.
    uint32_t shaft_colours[4] = {0x33FFFFFF, 0x33FFFFFF, 0x33FFFFFF, 0x33FFFFFF};
    uint32_t head_colours[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    uint32_t marker_colours[4] = {0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000};
    // "/shaders/ui/white.shd" for the shaft and the marker, "/shaders/ui/arrow.shd" for the head.
    c_item_t* shaft_shader = nullptr;
    c_item_t* head_shader = nullptr;
    c_item_t* marker_shader = nullptr;
    uint32_t state = 1;
    int32_t tag = -1;  // the caller's value given to `set_points`
};

// The state whose arrow is drawn thinner, with a marker.
constexpr uint32_t ui_arrow_state_marked = 3;
