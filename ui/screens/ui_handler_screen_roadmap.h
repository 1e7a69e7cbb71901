#pragma once
#include <cstdint>

#include "ui/screens/ui_handler_screen_base.h"

// The notebook's road-map page ("ui.handler.screen.roadmap", window "roadmap" of group "notebook"): the
// whole road network in an area map, rebuilt on every showing, with six toggles choosing the labels and
// icons it shows (city names, road signs, dealers, gas, service and weigh stations). The choice lasts
// as long as the window.
class ui_handler_screen_roadmap_t : public ui_handler_screen_base_t {
public:
    // Id of the map, and of the first toggle; toggle k (id first_toggle_id + 10 k) drives bit k.
    static constexpr int map_id = 100;
    static constexpr int first_toggle_id = 200;
    static constexpr int toggle_count = 6;
    // Height of the camera over the map's origin, and half the side of the region built.
    static constexpr float camera_height = 1880000.0f;
    static constexpr float region_half_side = 1880000.0f;
    // Colour of the city names.
    static constexpr uint32_t city_name_colour = 0xff40ff40u;

    const char* get_default_name() const override { return "ui.handler.screen.roadmap"; }
    virtual const char* get_type_name() const { return "ui.handler.screen.roadmap"; }

    // Every label kind shows at first.
    void on_wcreate() override;
    // Builds the whole map, applies the choice and sets the toggles to it.
    void on_wshow() override;
    // A toggle sets or clears its bit of the choice, and the map follows.
    bool handle(ui_view_t* view, int code, void* param) override;

    uint32_t filter = 63;  // label bits of the area map
};
