#pragma once
#include <cstdint>

#include "engine/ui_view.h"

struct c_item_t;

// A bar filled from the left of its rectangle to a fraction ("ui.comp.progress"), drawn as one white,
// mostly transparent quad. The loading screen moves it with `set_progress`.
class ui_comp_progress_t : public ui_view_t {
public:
    // Phase 0 of init (loads the shader, shows the first value) and of destroy (gives the shader back).
    static const level_list_t progress_init_list;
    static const level_list_t progress_destroy_list;

    const char* get_default_name() const override { return "ui.comp.progress"; }
    const level_list_t* get_init_list() const override { return &progress_init_list; }
    const level_list_t* get_destroy_list() const override { return &progress_destroy_list; }
    int init(int phase) override;
    int destroy(int phase) override;
    // Submits the quad while the view is visible.
    void draw() override;
    // A moved rectangle or a set property shows the first value again (0, or 0.5 in a preview window).
    void changed(unsigned mask) override;

    // Fills the bar to `fraction` of its width: 1 or more fills it, 0 or less (or no number) empties it.
    void set_progress(float fraction);

    float vertices[4][3] = {};                                               // the quad, as a strip
    uint32_t colours[4] = {0x33FFFFFF, 0x33FFFFFF, 0x33FFFFFF, 0x33FFFFFF};  // 0xAABBGGRR a corner
    c_item_t* shader = nullptr;                                              // "/shaders/ui/white.shd"

private:
    // Loads the shader and shows the first value when the window is known.
    void show_first_value();
};
