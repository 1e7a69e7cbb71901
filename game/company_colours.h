#pragma once
#include <cstdint>

// The six company colours a company's colour index chooses (the new game offers them to the player;
// the player's own truck is painted in his).
inline constexpr uint32_t company_colours[6] = {0xFFFF9966, 0xFF3300FF, 0xFF00CCFF, 0xFF009900, 0xFFCC00CC, 0xFF6699CC};
inline constexpr int32_t company_colour_count = 6;
