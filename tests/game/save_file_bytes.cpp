#include "save_file_bytes.h"

#include <cstring>

#include "engine/mbio.h"
#include "game/economy_ctrl.h"
#include "road/game_ctrl.h"
#include "vehicles/player/car_player.h"
#include "world/weather.h"

namespace {

void put_u32(std::string& out, const uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(value >> (8 * i));
}

void put_f32(std::string& out, const float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    put_u32(out, bits);
}

}  // namespace

void save_bytes_set_u32(std::string& bytes, const size_t at, const uint32_t value)
{
    std::string word;
    put_u32(word, value);
    bytes.replace(at, 4, word);
}

void save_bytes_set_f32(std::string& bytes, const size_t at, const float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    save_bytes_set_u32(bytes, at, bits);
}

std::string whole_save_bytes(const economy_ctrl_e& economy, const int32_t week, const float clock,
                             save_layout_t& layout)
{
    std::string out;
    put_u32(out, 14);
    layout.environment = out.size();
    out += std::string("3nv1r0nm3nth34d3r", 18) + std::string(weather_t::section_size - 18, '\0');
    layout.game_ctrl = out.size();
    std::string ctrl = std::string("g4m3ctrlh34d3r", 15) + std::string(game_ctrl_save_size - 15, '\0');
    save_bytes_set_f32(ctrl, 15, clock);
    save_bytes_set_f32(ctrl, 80, 1.58f);  // the fuel price
    out += ctrl;
    layout.traffic = out.size();
    out += std::string("tr4ff1ch34d3r", 14);
    layout.economy = out.size();
    layout.drivers = out.size() + 18 + 576;
    mbio_t section;
    section.open_grow();
    economy.write_section(section);
    out.append(reinterpret_cast<const char*>(section.data()), section.size());
    layout.truck = out.size();
    for (const float value : {100.0f, 2.0f, 300.0f, 0.0f, 0.0f, 0.0f, 1.0f})
        put_f32(out, value);
    put_u32(out, 1);  // a trailer is towed
    for (const float value : {100.0f, 2.0f, 290.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.25f, 300.0f})
        put_f32(out, value);
    layout.record = out.size();
    out += std::string(static_cast<size_t>(car_player_e::state_record_bytes(14)), '\0');
    layout.trailer = out.size();
    out += std::string("t1m3st4mph34d3r", 16);
    put_u32(out, static_cast<uint32_t>(week));
    put_f32(out, clock);
    return out;
}
