#pragma once

struct c_item_t;

// The splash window ("/ui/splash.esc", group "splash", name "start") and the loading screen it shows
// while a world is built: a text (component 100) and a progress bar (component 110) advanced one step
// per loading stage. The components are reached by id and set through their properties by name
// ("text" of the text, "value" of the bar, a fraction from 0 to 1), so any component class that has
// those properties serves.

// Switches sound to the loading tag (20), expects `total_steps` loading stages (fewer than one counts
// as one), opens the splash window when none is open, shows "@@ui_starting@@" and draws one frame.
void splash_show(int total_steps);
// Switches sound back to the game tag (10) and removes the splash window, if one is open.
void splash_hide();
// Shows `text`, advances the bar by one stage and draws one frame; nothing without a splash window.
void loading_screen_refresh(const char* text);
// Shows progress `done` of `total` within the current stage and draws one frame; nothing without a
// splash window. A `total` below one shows the start of the stage.
void loading_screen_progress(int done, int total);
// The open splash window, or null.
c_item_t* splash_window();
