#pragma once
#include <gtest/gtest.h>

#include <cstdint>

#include "engine/gfx.h"
#include "engine_testing/engine_test.h"

// Base fixture of the graphics tests that draw: a reset engine whose first device shows a 32-bit screen.
class gfx_screen_test_t : public engine_test_t {
protected:
    // Starts the graphics devices and sets the first one to a `width` x `height` screen of 32 bits.
    static void open_screen(int32_t width, int32_t height)
    {
        gfx_init_devices();
        gfx_mode_t mode{};
        mode.width = width;
        mode.height = height;
        mode.bits = 32;
        ASSERT_TRUE(gfx_mode_init(gfx_device_get(0), &mode));
    }
};
