#pragma once
#include "engine/ui_view.h"

// A rear-view mirror showing the world, registered as "ui.comp.mirror": its draw has the shown world
// draw its view again, with the mirror-view flag raised meanwhile.
class ui_comp_mirror_t : public ui_view_t {
public:
    const char* get_default_name() const override { return "ui.comp.mirror"; }
    // Draws the shown world's view (nothing when no world is shown).
    void draw() override;
};

// True while a mirror draws its view of the world: the road streaming, the camera copy of the game
// controller, decals, rain and snow hold back then.
bool mirror_view_drawing();
