#pragma once
#include <cstddef>
#include <cstdint>

// Markup formatters for the amounts and times the screens and HUDs show. Each writes at most `size`
// bytes (always NUL-terminated when size > 0) and returns the number of characters stored.

// Money as "$1,234,567" in `colour`; a negative amount as "-$1,234,567", always in red (ff0000ff).
int format_money(int32_t value, char* buffer, size_t size, uint32_t colour);
// A number with blank-separated thousands ("-1 002 003") in `colour`.
int format_number(int32_t value, char* buffer, size_t size, uint32_t colour);
// A time of the game week as the day's name and a 12-hour clock ("@@ui_mon@@   08 : 00 AM").
int format_day_time(float seconds, char* buffer, size_t size, uint32_t colour);
// Elapsed game time as days and a 24-hour clock ("1 @@ui_day@@   01 : 00", or "01 : 00" within the
// first day); `colour` is not used (the text carries no markup).
int format_game_time(float seconds, char* buffer, size_t size, uint32_t colour);
