#include "vehicles/links/player_links.h"

namespace {

hud_buttons_t* installed_buttons = nullptr;

}  // namespace

void hud_buttons_install(hud_buttons_t* buttons) { installed_buttons = buttons; }

hud_buttons_t* hud_buttons() { return installed_buttons; }
