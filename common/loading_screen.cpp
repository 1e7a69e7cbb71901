#include "common/loading_screen.h"

namespace {

// The installed screen; the installer keeps it for the module's life, so engine resets leave it.
loading_screen_t* installed = nullptr;

}  // namespace

void loading_screen_install(loading_screen_t* screen) { installed = screen; }

void loading_screen_open(const int total_steps)
{
    if (installed)
        installed->open(total_steps);
}

void loading_screen_refresh(const char* text)
{
    if (installed)
        installed->refresh(text);
}

void loading_screen_progress(const int done, const int total)
{
    if (installed)
        installed->progress(done, total);
}

void loading_screen_close()
{
    if (installed)
        installed->close();
}
