#include "ui/screens/notebook_texts.h"

#include <cstdio>
#include <cstring>

#include "game/economy/economy_defs.h"

void driver_face_markup(const char* driver, char* out, const size_t size)
{
    if (size == 0)
        return;
    out[0] = '\0';
    char images[65] = "";
    if (!driver_def_string(driver, "imgs", images, sizeof images) || images[0] == '\0')
        return;
    // "imgs" lists the portrait first, then smaller pictures, separated by '|'.
    if (char* bar = std::strchr(images, '|'))
        *bar = '\0';
    std::snprintf(out, size, "<img src=/ui/faces/%s xscale=stretch yscale=stretch>", images);
}
