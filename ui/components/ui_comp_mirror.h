#pragma once
#include <cstdint>

#include "engine/ui_view.h"

// A rear-view mirror or the driver's view ("ui.comp.mirror"): each draw, while visible, has the shown
// world draw its view again into the mirror's rectangle from a mirror camera of the player's truck
// (camera modes 12 centre, 13 left, 14 right, 15 trucker), with the mirror-view flag raised meanwhile.
// Without a world it draws nothing; without a truck (the menu world) it draws from the current camera.
class ui_comp_mirror_t : public ui_view_t {
public:
    // "mirror_type": "center" 0, "left" 1, "right" 2, "trucker" 3.
    static const evalue_def_t evd_mirror_type;
    // The camera code of the centre mirror; the others follow it.
    static constexpr int32_t first_camera_code = 12;

    const evalue_def_t* get_evalue_root() const override { return &evd_mirror_type; }
    const char* get_default_name() const override { return "ui.comp.mirror"; }

    // Phase 0: the camera code from the mirror type (a type beyond 3 keeps the code).
    int init(int phase) override;
    // Draws the shown world's view through the truck's mirror camera.
    void draw() override;

    int32_t mirror_type = 0;
    int32_t camera_code = first_camera_code;
};
