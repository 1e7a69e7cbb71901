#pragma once
#include <cstdint>

// The six company colours a company's colour index chooses, as the markup paints them (0xAABBGGRR):
// the new game offers them to the player, the notebook's pages paint the companies' marks with them.
inline constexpr uint32_t company_colours[6] = {0xFFFF9966, 0xFF3300FF, 0xFF00CCFF, 0xFF009900, 0xFFCC00CC, 0xFF6699CC};
inline constexpr int32_t company_colour_count = 6;

// A truck's paint (0xRRGGBB) of the company colour `index`, the colour its swatch shows; 0 when the
// index is outside the table.
constexpr uint32_t company_truck_paint(const int32_t index)
{
    if (index < 0 || index >= company_colour_count)
        return 0;
    const uint32_t colour = company_colours[index];
    return (colour & 0xFFu) << 16 | (colour & 0xFF00u) | (colour >> 16 & 0xFFu);
}
