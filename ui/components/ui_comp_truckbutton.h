#pragma once
#include <cstdint>

#include "engine/vec.h"
#include "ui/components/ui_comp_button.h"

struct psm_t;

// A button showing a truck as a 3-D model inside its area ("ui.comp.truckbutton"), built from a make
// and its accessories under "/makes/truck/": one level-of-detail model when the make has one (only its
// paint changes), else the parts and wheels. Pressing moves the camera slightly closer until released.
class ui_comp_truckbutton_t : public ui_comp_button_t {
public:
    static constexpr int part_count = 64;
    static constexpr int name_size = 32;

    ui_comp_truckbutton_t();
    ~ui_comp_truckbutton_t() override;

    const char* get_default_name() const override { return "ui.comp.truckbutton"; }

    // Phase 0: the button counts among the live truck buttons, which share one light.
    int init(int phase) override;
    // Phase 0: frees the models and gives the button's share of the light back.
    int destroy(int phase) override;
    // Draws the truck while visible; the camera comes back once the button is released.
    void draw() override;
    // A press moves the camera closer; the action is reported as not handled.
    bool action(ui_view_t* sender, int code, void* param) override;

    // Rebuilds the model of `make` with `accessories` (64 names of 32 bytes; empty ones skipped).
    void build_model(const char* make, const char (*accessories)[name_size]);
    // The paint colour (0xRRGGBB), alpha forced to 0xFF.
    void set_color(uint32_t rgb) { paint = rgb | 0xFF000000u; }
    // Widens `out_min` and `out_max` by the model's parts' bounding spheres along its third axis.
    static void model_bounds(psm_t* model, float& out_min, float& out_max);
    // Frees every model.
    void free_models();
    // The light every live truck button's models are lit by, while one lives (null otherwise); the model
    // library's light callback of those models.
    static const void* shared_light_list(psm_t* model, void* object);
    // The live truck buttons.
    static int live_buttons();

    bool single_model = false;
    uint32_t paint = 0xFFFFFFFFu;
    vec3_t offsets[part_count] = {};
    psm_t* parts[part_count] = {};
    float centre_depth = 0.0f;
    psm_t* front_wheel = nullptr;
    vec3_t front_positions[2] = {};
    int front_count = 0;
    psm_t* rear_wheel = nullptr;
    vec3_t rear_positions[4] = {};
    int rear_count = 0;
    bool pressed_camera = false;
    vec3_t camera_offset{-115.0f, -90.0f, -725.0f};
};
