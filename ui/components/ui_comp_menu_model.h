#pragma once
#include <string>
#include <vector>

#include "engine/ui_view.h"
#include "engine/vec.h"
#include "ui/components/menu_figure.h"
#include "ui/components/ui_comp_make.h"

struct psm_t;

// The 3-D scene behind the menus ("ui.comp.menu_model"): the scene model of "/defs/menu.def" with a
// truck and a trailer, picked at random from the makes, standing at its bone "truck0", seen by a
// camera that travels without end along the closed path of the scene's part "camera" and looks at the
// truck, beside which a figure waves. A path of fewer than two points or of no length keeps the camera
// still.
class ui_comp_menu_model_t : public ui_view_t {
public:
    // Units a second the camera travels, and the most it travels in one frame.
    static constexpr float travel_speed = 300.0f;
    static constexpr float longest_step = 150.0f;

    ui_comp_menu_model_t();
    ~ui_comp_menu_model_t() override;

    const char* get_default_name() const override { return "ui.comp.menu_model"; }

    // Phase 0: takes a use of the 3-D views' shared light and reads the scene.
    int init(int phase) override;
    // Phase 0: frees the scene and the vehicles and gives the light back.
    int destroy(int phase) override;
    // Per frame: moves the camera along its path and turns it to the truck.
    void handler() override;
    // Draws the scene and the vehicles while visible.
    void draw() override;

    // Reads "/defs/menu.def": the scene model, its shaders, the truck's place, the camera path and the
    // two vehicles.
    void read_menu_def();
    // Builds slot 0 (a truck, with a random paint) or slot 1 (a trailer) of `make` of `kind`.
    void build_truck(int slot, const char* kind, const std::string& make);
    // The number of cargo variants ("shader%d" of its base) of a trailer make.
    static int build_trailer(const std::string& make);
    // Shows the parts of the detail level: "high0" and "high1" at the highest, "low" otherwise.
    void reload_models();
    // Sets the camera path (and its segment lengths), starting at its first point.
    void set_camera_path(const std::vector<vec3_t>& points);
    // Moves the camera `step` units along the path.
    void travel(float step);

    psm_t* scene = nullptr;
    vec3_t truck_place{};
    std::vector<vec3_t> path;
    std::vector<float> lengths;
    size_t segment = 0;
    float fraction = 0.0f;
    vec3_t camera_position{};
    vec3_t camera_angles{};
    ui_comp_make_t vehicles[2];
    // The figure who waves beside the truck.
    menu_figure_t figure;
    // Where each vehicle's origin stands from "truck0": the truck at it, the trailer with its "hook" there.
    vec3_t placements[2] = {};

private:
    // Turns the camera toward the truck.
    void aim();
};
