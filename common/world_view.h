#pragma once

// A world that can draw its view once more into a secondary view (a mirror): the camera from its camera
// entity, its background and its entities, without the frame's time, the sound listener or the
// per-frame work of its main draw.
class world_view_t {
public:
    virtual ~world_view_t() = default;
    virtual void draw_view() = 0;
};

// The world shown now, or null. A world installs itself when it is made and withdraws when it ends.
world_view_t* shown_world_view();
void set_shown_world_view(world_view_t* view);
// Withdraws `view` when it is the one shown.
void withdraw_world_view(world_view_t* view);

// True while a world draws itself once more into a secondary view (a mirror): the road streaming then
// only draws what is shown, hiding and switching nothing, and rain and snow draw nothing.
bool drawing_secondary_view();
void set_drawing_secondary_view(bool drawing);
