#pragma once
#include <cstddef>
#include <cstdint>

// Texts the notebook's pages write alike.

// The colour the formatters are given for an ordinary figure (white).
constexpr uint32_t format_default_colour = 0xFFFFFFFFu;

// The markup of a driver's portrait: the first picture of his definition's "imgs" from the faces
// folder; empty when the driver has no picture.
void driver_face_markup(const char* driver, char* out, size_t size);
