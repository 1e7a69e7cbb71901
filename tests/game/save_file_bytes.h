#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class economy_ctrl_e;

// Where the parts of a whole save stand in its bytes.
struct save_layout_t {
    size_t environment = 4;
    size_t game_ctrl = 0;
    size_t traffic = 0;
    size_t economy = 0;
    size_t drivers = 0;  // the driver count
    size_t truck = 0;    // the player truck's position (row 35)
    size_t record = 0;   // the truck's own record
    size_t trailer = 0;  // the time-stamp trailer
    // Offsets of the rows between the arrays and the truck (version 14).
    size_t week() const { return truck - 2365; }
    size_t time_left() const { return truck - 2345; }
    size_t level() const { return truck - 2337; }
    size_t offer_countdown() const { return truck - 2065; }
};

// A whole save game of version 14 as the game writes it: the environment's and the game controller's
// sections with their numbers at rest (the clock at `clock`), the traffic's, `economy`'s section, its
// truck at (100, 2, 300) towing a trailer with 300 units of fuel and a blank record of the truck's own
// state, and the trailer of `week` and `clock`. `layout` is told where each part stands.
std::string whole_save_bytes(const economy_ctrl_e& economy, int32_t week, float clock, save_layout_t& layout);

// Little-endian words written into `bytes` at `at`.
void save_bytes_set_u32(std::string& bytes, size_t at, uint32_t value);
void save_bytes_set_f32(std::string& bytes, size_t at, float value);
