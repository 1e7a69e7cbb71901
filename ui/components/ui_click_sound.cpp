#include "ui/components/ui_click_sound.h"

#include "engine/reset.h"
#include "common/engine_api.h"

namespace {

// The sounds' tag of the menus.
constexpr int menu_sound_tag = 20;

snd_sound_t* click_sound = nullptr;
int click_users = 0;

// The sound family frees every handle on reset; forget ours (the windows are gone by then).
const engine_reset_registrar_t click_sound_reset(reset_order_processes + 51, [] {
    click_sound = nullptr;
    click_users = 0;
});

}  // namespace

void ui_click_sound_acquire(const char* path)
{
    if (click_users++ == 0)
        click_sound = api::snd_new(path, 0, menu_sound_tag);
}

void ui_click_sound_release()
{
    if (click_users <= 0)
        return;
    if (--click_users == 0 && click_sound) {
        api::snd_delete(click_sound);
        click_sound = nullptr;
    }
}

void ui_click_sound_play()
{
    if (click_sound)
        api::snd_play(click_sound);
}

snd_sound_t* ui_click_sound() { return click_sound; }
int ui_click_sound_users() { return click_users; }
