#pragma once
// The graphics family of the engine: devices and modes, transforms and views, what a frame draws,
// and the frame itself.
#include "engine/gfx_device.h"
#include "engine/gfx_frame.h"
#include "engine/gfx_render.h"
#include "engine/gfx_view.h"
