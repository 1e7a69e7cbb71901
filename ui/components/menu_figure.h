#pragma once
#include "behaviour/psb_animated_model.h"
#include "engine/vec.h"

// The figure in the menu scene's yard, beside the truck: his behaviours raise an arm to wave at the
// camera and lower it again, and he waits a moment with the arm down before the next wave.
class menu_figure_t {
public:
    static constexpr const char* info = "/behaviour/menu_figure/menu_figure.info.xml";
    static constexpr const char* layer = "/behaviour/menu_figure/menu_figure.layer.xml";
    // Where the figure stands from the truck's place: beside the cab's door, facing the camera's path.
    static constexpr vec3_t from_truck{750.0f, 0.0f, 900.0f};
    // Seconds the arm stays down between two waves.
    static constexpr float rest = 1.5f;

    bool load() { return figure.load(info, layer, "arm"); }
    void unload() { figure.unload(); }
    // Asks for the next move when the last one has ended and runs the behaviours for `dt` seconds.
    void update(float dt);
    // Draws the figure beside the truck standing at `truck`.
    void draw(const vec3_t& truck) const;

    psb_animated_model_t figure;
    float resting = 0.0f;
};
