#pragma once

#include "common/loading_screen.h"

struct c_item_t;

// The splash window ("/ui/splash.esc", group "splash", name "start") and the loading screen it shows
// while a world is built: a text (component 100) and a progress bar (component 110) advanced one step
// per loading stage. The components are reached by id and set through their properties by name
// ("text" of the text, "value" of the bar, a fraction from 0 to 1), so any component class that has
// those properties serves. The splash is the module's loading screen (common/loading_screen.h): it is
// installed when the module loads, and the loading reports reach it while its window is open.

// Switches sound to the loading tag (20), expects `total_steps` loading stages (fewer than one counts
// as one), opens the splash window when none is open, shows "@@ui_starting@@" and draws one frame.
void splash_show(int total_steps);
// Switches sound back to the game tag (10) and removes the splash window, if one is open.
void splash_hide();
// The open splash window, or null.
c_item_t* splash_window();
