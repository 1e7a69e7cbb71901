#pragma once
#include <cstdint>

#include "engine/ui_view.h"

struct c_item_t;

// A needle picture turned about the centre of its rectangle by an angle taken from a value
// ("ui.comp.gauge"): value 0 shows at "min" degrees, value "range" at "max", clockwise positive.
// With "smooth_move" the needle turns towards the value at a limited speed. HUD screens place gauges
// in their scripts and move them with `set_value`.
class ui_comp_gauge_t : public ui_view_t {
public:
    // "min", "max", "value", "range", "shader", "xref_pos", "yref_pos", "smooth_move"; chained to the
    // view's own properties. Only "shader" has a change mark.
    static const evalue_def_t evd_min;
    static const evalue_def_t evd_max;
    static const evalue_def_t evd_value;
    static const evalue_def_t evd_range;
    static const evalue_def_t evd_shader;
    static const evalue_def_t evd_xref_pos;
    static const evalue_def_t evd_yref_pos;
    static const evalue_def_t evd_smooth_move;
    // Phase 0 of init (loads the picture) and of destroy (gives it back).
    static const level_list_t gauge_init_list;
    static const level_list_t gauge_destroy_list;

    const evalue_def_t* get_evalue_root() const override { return &evd_min; }
    const char* get_default_name() const override { return "ui.comp.gauge"; }
    const level_list_t* get_init_list() const override { return &gauge_init_list; }
    const level_list_t* get_destroy_list() const override { return &gauge_destroy_list; }
    int init(int phase) override;
    int destroy(int phase) override;
    // Per frame: a changed "shader" loads the picture again.
    void handler() override;
    // Turns the needle for this frame and submits it, while the view is visible and has a picture.
    void draw() override;

    // With the property bit (ui_change_property) in `flags` loads the picture again; then tells the view.
    virtual void refresh(unsigned flags);
    // Set "min" or "max" to `angle` limited to 0 .. 360 degrees; answer the previous angle.
    virtual float set_min(float angle);
    virtual float set_max(float angle);
    // Sets "value" limited to 0 .. "range"; answers the previous value.
    virtual float set_value(float new_value);
    // Sets "range" as given; answers the previous range.
    virtual float set_range(float new_range);
    // Keeps a caller's number with the gauge (the gauge itself never reads it).
    virtual void set_mark(int new_mark);

    // The angle the needle turns to for the current value, in degrees.
    float target_angle() const;

    float min_angle = -90.0f;       // "min": degrees at value 0
    float max_angle = 90.0f;        // "max": degrees at value "range"
    float value = 0.0f;             // "value"
    float range = 100.0f;           // "range": the value of a full swing
    char shader_path[64] = "";      // "shader": the needle's picture
    int32_t xref_pos = 0;           // "xref_pos": pivot x in the picture, from its left edge
    int32_t yref_pos = 0;           // "yref_pos": pivot y in the picture, from its top edge
    bool smooth_move = true;        // "smooth_move"
    uint8_t shader_status = 0;      // change mark of "shader"
    c_item_t* shader = nullptr;     // the loaded picture, null without one
    int32_t mark = -1;              // the caller's number given to `set_mark`
    float current_angle = -100.0f;  // where the needle points now, in degrees
    float vertices[4][3] = {};      // the turned picture, as a strip
    float texcoords[8] = {};
    uint32_t colours[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};

private:
    // Gives the old picture back and loads "shader" when it is not empty.
    void load_shader();
    // Moves `current_angle` towards the target for this frame.
    void turn_needle();
};

// Degrees a smooth needle turns in a second.
constexpr float ui_gauge_turn_speed = 150.0f;
