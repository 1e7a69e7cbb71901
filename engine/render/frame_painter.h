#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/gfx_record.h"

// Paints what a frame recorded, in its drawing order, into an off-screen image: clears, the world's
// prototypes, sprites and lines through the camera and view they were queued with, the overlay's
// immediate records and markup items in the 1024 x 768 reference screen (y up), and the items of 3-D
// windows on their world quads.

// Paints `frame` (whose markup items carry `frame_number`) into top-down RGB rows of `width` x
// `height`; false, leaving `rgb` alone, when there is no OpenGL context.
// Markup items from index `overlay_from` of pml_drawn on are painted over it all, whatever their frame.
bool frame_paint(const gfx_frame_record_t& frame, int frame_number, int width, int height, std::vector<uint8_t>& rgb,
                 size_t overlay_from = SIZE_MAX);
