#include "frame/screenshot.h"

#include <cerrno>

#include "engine/png.h"
#include "engine/text.h"
#include "engine/vfs.h"
#include "common/engine_api.h"

namespace {

// Numbers are tried from 0 up to this bound (excluded).
constexpr int screenshot_limit = 100000;
// Flags of vfs_open: create, fail when the file exists, write.
constexpr unsigned open_exclusive = vfs_create | vfs_truncate | vfs_exclusive | vfs_write_only;

// The PNG writer's sink: the open screenshot file.
bool write_to_file(void* user, const void* bytes, const size_t size)
{
    const int file = *static_cast<const int*>(user);
    const long length = static_cast<long>(size);
    return api::vfs_write(file, bytes, length) == length;
}

// Creates the first free screenshot file, writing its name into `name`; its handle, or -1 (reported).
int create_next_file(char* name, const size_t size)
{
    api::vfs_mkdir("/screenshots", 0777);  // an existing folder is fine
    for (int number = 0; number < screenshot_limit; ++number) {
        v_snprintf0(name, size, "/screenshots/aa_%05d.png", number);
        const int file = api::vfs_open(name, open_exclusive, 0666);
        if (file >= 0)
            return file;
        const int reason = *api::v_errno_addr();
        if (reason != EEXIST) {
            api::error("screenshot: cannot create %s: %s", name, api::v_strerror(reason));
            return -1;
        }
    }
    api::error("screenshot directory full!");
    return -1;
}

void write_capture(const uint16_t width, const uint16_t height, const uint8_t* pixels)
{
    screenshot_write(width, height, pixels);
}

}  // namespace

void screenshot() { api::gfx_screen_capture(write_capture); }

bool screenshot_write(const uint16_t width, const uint16_t height, const uint8_t* pixels)
{
    char name[64];
    int file = create_next_file(name, sizeof name);
    if (file < 0)
        return false;
    const bool written = png_compress(width, height, 3, 8, pixels, write_to_file, &file);
    const bool closed = api::vfs_close(file) == 0;
    if (written && closed) {
        api::message("screen shot: %s", name);
        return true;
    }
    api::error("screenshot: failed to write %s", name);
    api::vfs_unlink(name);
    return false;
}
