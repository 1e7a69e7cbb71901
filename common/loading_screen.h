#pragma once

// The screen that long loads report their stages to (the map, the segment server's definitions, the
// world's resources). The UI installs its splash window as the loading screen; while none is
// installed, and while the screen is not open, the reports go nowhere.
class loading_screen_t {
public:
    virtual ~loading_screen_t() = default;
    // Expects `total_steps` loading stages, opens the screen when it is not open and draws one frame.
    virtual void open(int total_steps) = 0;
    // Shows `text`, advances the progress by one stage and draws one frame.
    virtual void refresh(const char* text) = 0;
    // Shows progress `done` of `total` within the current stage and draws one frame.
    virtual void progress(int done, int total) = 0;
    // Closes the screen when it is open.
    virtual void close() = 0;
};

// Installs the loading screen (null removes it); the caller keeps it alive while installed.
void loading_screen_install(loading_screen_t* screen);

// Expects `total_steps` loading stages (fewer than one count as one) and opens the loading screen;
// nothing without an installed screen.
void loading_screen_open(int total_steps);
// Shows `text`, advances the bar by one stage and draws one frame; nothing without an open screen.
void loading_screen_refresh(const char* text);
// Shows progress `done` of `total` within the current stage and draws one frame; nothing without an
// open screen. A `total` below one shows the start of the stage.
void loading_screen_progress(int done, int total);
// Closes the loading screen when one is open.
void loading_screen_close();
