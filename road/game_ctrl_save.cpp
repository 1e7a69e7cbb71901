#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/snd.h"
#include "engine/ui.h"
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/game_context.h"
#include "road/game_clock.h"
#include "road/game_ctrl.h"
#include "road/map_file_layout.h"

// The game controller's save-game section: the magic, then the clock, the map view, the sky-swap
// state, the station state, the hazard timer, the city loop, the dealer start and the player's
// profile, little-endian with no padding (game_ctrl_save_size bytes).

namespace {

// The section's magic with its terminating zero.
constexpr char save_magic[] = "g4m3ctrlh34d3r";
constexpr size_t save_magic_size = sizeof save_magic;
// Bytes of each profile text, terminator included.
constexpr size_t profile_text_size = 128;
// The profile's texts and numbers in the game context.
constexpr const char* profile_texts[] = {"player_name", "face_img_name", "headq_name", "scenario_def"};
constexpr const char* profile_numbers[] = {"comp_color", "level"};
static_assert(save_magic_size == 15);

// Writes fields one after another into a section buffer.
class section_writer_t {
public:
    explicit section_writer_t(uint8_t* bytes) : at_(bytes) {}
    void u8(const uint8_t value) { *at_++ = value; }
    void i32(const int32_t value) { word(static_cast<uint32_t>(value)); }
    void f32(const float value)
    {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        word(bits);
    }
    void text(const char* value, const size_t size)
    {
        std::memset(at_, 0, size);
        if (value)
            std::strncpy(reinterpret_cast<char*>(at_), value, size - 1);
        at_ += size;
    }

private:
    void word(const uint32_t bits)
    {
        map_file_put_u32(at_, bits);
        at_ += 4;
    }
    uint8_t* at_;
};

// Reads fields one after another from a section buffer.
class section_reader_t {
public:
    explicit section_reader_t(const uint8_t* bytes) : at_(bytes) {}
    uint8_t u8() { return *at_++; }
    int32_t i32() { return static_cast<int32_t>(word()); }
    float f32()
    {
        const uint32_t bits = word();
        float value;
        std::memcpy(&value, &bits, 4);
        return value;
    }
    // A text of `size` bytes, always ended within them.
    void text(char* out, const size_t size)
    {
        std::memcpy(out, at_, size);
        out[size - 1] = '\0';
        at_ += size;
    }

private:
    uint32_t word()
    {
        const uint32_t bits = map_file_get_u32(at_);
        at_ += 4;
        return bits;
    }
    const uint8_t* at_;
};

// Keeps `value` when it is -1 or below `limit` (and not negative), else reports it and answers -1.
int32_t index_or_none(const int32_t value, const int32_t limit, const char* what)
{
    if (value == -1 || (value >= 0 && value < limit))
        return value;
    api::error("<game_ctrl_e> the save game names %s %d, of %d; none is taken", what, value, limit);
    return -1;
}

// Farthest a saved point may lie from the origin on either axis.
constexpr float point_limit = 1.0e7f;
// Largest amount of money a station's counters may hold.
constexpr int32_t amount_limit = 1000000000;

bool finite_within(const float value, const float limit) { return std::isfinite(value) && std::fabs(value) <= limit; }

// True when every number of the section after its magic is one the controller can run on: the clock
// within the week, the timers, zooms, points and the fuel price finite, and the station counters not
// negative nor beyond any amount of money. Indices are checked against the world when they are taken.
bool values_in_range(const uint8_t* fields)
{
    section_reader_t in(fields);
    const float clock = in.f32();
    bool ok = std::isfinite(clock) && clock >= 0.0f && clock <= game_clock_week;
    ok = ok && finite_within(in.f32(), point_limit);  // key timer
    in.u8();
    in.u8();
    in.u8();
    ok = ok && finite_within(in.f32(), point_limit);  // map zoom
    in.i32();
    in.i32();
    for (int i = 0; i < 7; ++i)
        ok = ok && finite_within(in.f32(), point_limit);  // the sky-swap points, direction and length
    in.i32();
    in.i32();
    in.i32();
    in.u8();
    in.u8();
    ok = ok && finite_within(in.f32(), point_limit);  // fuel price
    for (int i = 0; i < 2; ++i) {
        const int32_t count = in.i32();  // fuel ticks, fuel paid
        ok = ok && count >= 0 && count <= amount_limit;
    }
    ok = ok && finite_within(in.f32(), point_limit);  // fuel tick timer
    const int32_t repair_cost = in.i32();
    ok = ok && repair_cost >= 0 && repair_cost <= amount_limit;
    for (int i = 0; i < 2; ++i)
        ok = ok && finite_within(in.f32(), point_limit);  // damage left, repair timer
    in.u8();
    for (int i = 0; i < 2; ++i)
        ok = ok && finite_within(in.f32(), point_limit);  // weigh station point
    in.u8();
    in.u8();
    return ok && finite_within(in.f32(), point_limit);  // hazard accumulator
}

}  // namespace

int32_t game_ctrl_e::save(const int file)
{
    uint8_t bytes[game_ctrl_save_size];
    std::memcpy(bytes, save_magic, save_magic_size);
    section_writer_t out(bytes + save_magic_size);
    out.f32(game_clock);
    out.f32(key_timer);
    out.u8(map_shown);
    out.u8(in_city);
    out.u8(city_zoom);
    out.f32(map_zoom);
    out.i32(city_index);
    out.i32(sky_swap.item);
    for (const float value : {sky_swap.near_point[0], sky_swap.near_point[1], sky_swap.far_point[0],
                              sky_swap.far_point[1], sky_swap.direction[0], sky_swap.direction[1], sky_swap.length})
        out.f32(value);
    out.i32(sky_swap.far_sky);
    out.i32(sky_swap.near_sky);
    out.i32(sky_swap.current_sky);
    out.u8(stations.at_gas_pump);
    out.u8(stations.at_service);
    out.f32(stations.fuel_price);
    out.i32(stations.fuel_ticks);
    out.i32(stations.fuel_paid);
    out.f32(stations.fuel_timer);
    out.i32(stations.repair_cost);
    out.f32(stations.repair_damage);
    out.f32(stations.repair_timer);
    out.u8(stations.weigh_shown);
    out.f32(stations.weigh_point[0]);
    out.f32(stations.weigh_point[1]);
    out.u8(stations.weigh_armed);
    out.u8(stations.weigh_done);
    out.f32(hazard_timer);
    out.i32(current_loop);
    out.i32(dealer_start);
    const def_obj_t* const context = game_context_get();
    for (const char* key : profile_texts) {
        const char* value = context ? context->get_value(key) : "Unknown";
        out.text(value ? value : "", profile_text_size);
    }
    for (const char* key : profile_numbers)
        out.i32(context ? context->get_int(key) : 0);
    const long written = api::vfs_write(file, bytes, sizeof bytes);
    return written < 0 ? -1 : static_cast<int32_t>(written);
}

int32_t game_ctrl_e::check_section(const int file, int32_t)
{
    uint8_t bytes[game_ctrl_save_size] = {};
    if (api::vfs_read(file, bytes, sizeof bytes) != static_cast<long>(sizeof bytes) ||
        std::strncmp(reinterpret_cast<const char*>(bytes), save_magic, save_magic_size) != 0)
        return -1;
    if (!values_in_range(bytes + save_magic_size)) {
        api::error("<game_ctrl_e> save section refused: a clock, place or amount outside its range");
        return -1;
    }
    return game_ctrl_save_size;
}

int32_t game_ctrl_e::check(const int file, const int32_t version) { return check_section(file, version); }

int32_t game_ctrl_e::load(const int file, int32_t)
{
    uint8_t bytes[game_ctrl_save_size] = {};
    const long magic = api::vfs_read(file, bytes, save_magic_size);
    if (magic != static_cast<long>(save_magic_size) ||
        std::strncmp(reinterpret_cast<const char*>(bytes), save_magic, save_magic_size) != 0)
        return -1;
    const long rest = api::vfs_read(file, bytes + save_magic_size, sizeof bytes - save_magic_size);
    if (rest != static_cast<long>(sizeof bytes - save_magic_size)) {
        // A section cut short changes nothing; the container finds the total wrong.
        return rest < 0 ? static_cast<int32_t>(magic) : static_cast<int32_t>(magic + rest);
    }
    if (!values_in_range(bytes + save_magic_size)) {
        api::error("<game_ctrl_e> save section refused: a clock, place or amount outside its range");
        return -1;
    }
    section_reader_t in(bytes + save_magic_size);
    game_clock = in.f32();
    key_timer = in.f32();
    map_shown = in.u8();
    in_city = in.u8();
    city_zoom = in.u8();
    map_zoom = in.f32();
    city_index = index_or_none(in.i32(), seg_server ? seg_server->city_count : 0, "city");
    sky_swap.item = index_or_none(in.i32(), miscitems.count, "sky-swap item");
    for (float* value : {&sky_swap.near_point[0], &sky_swap.near_point[1], &sky_swap.far_point[0],
                         &sky_swap.far_point[1], &sky_swap.direction[0], &sky_swap.direction[1], &sky_swap.length})
        *value = in.f32();
    int32_t skies[3];
    for (int32_t& sky : skies)
        sky = in.i32();
    stations.at_gas_pump = in.u8();
    stations.at_service = in.u8();
    stations.fuel_price = in.f32();
    stations.fuel_ticks = in.i32();
    stations.fuel_paid = in.i32();
    stations.fuel_timer = in.f32();
    stations.repair_cost = in.i32();
    stations.repair_damage = std::clamp(in.f32(), 0.0f, 1.0f);
    stations.repair_timer = in.f32();
    stations.weigh_shown = in.u8();
    stations.weigh_point[0] = in.f32();
    stations.weigh_point[1] = in.f32();
    stations.weigh_armed = in.u8();
    stations.weigh_done = in.u8();
    hazard_timer = in.f32();
    current_loop = index_or_none(in.i32(), game_ctrl_ambient_loops, "city traffic loop");
    dealer_start = in.i32();
    {
        const held_part_t<ctrl_environment_t> environment(bridge ? bridge->environment() : entity_handle_t{});
        const int32_t sky_count = environment.get() ? environment.get()->sky_count() : 0;
        sky_swap.far_sky = index_or_none(skies[0], sky_count, "sky");
        sky_swap.near_sky = index_or_none(skies[1], sky_count, "sky");
        sky_swap.current_sky = index_or_none(skies[2], sky_count, "sky");
        const held_part_t<ctrl_economy_t> economy(bridge ? bridge->economy() : entity_handle_t{});
        const int32_t dealers = economy.get() ? economy.get()->dealer_count() : 0;
        if (dealers > 0 && (dealer_start < 0 || dealer_start >= dealers)) {
            api::error("<game_ctrl_e> the save game names dealer %d, of %d; the first is taken", dealer_start, dealers);
            dealer_start = 0;
        }
    }
    // A fuel price of 0 or below would give fuel away at no cost; the pump's own price comes back on
    // the next visit.
    if (!(stations.fuel_price > 0.0f))
        stations.fuel_price = 1.58f;
    def_obj_t* const context = game_context_get();
    char text[profile_text_size];
    for (const char* key : profile_texts) {
        in.text(text, sizeof text);
        if (context)
            context->set_value(key, text);
    }
    for (const char* key : profile_numbers) {
        const int32_t value = in.i32();
        if (context)
            context->set_int(key, value);
    }
    return static_cast<int32_t>(magic + rest);
}

void game_ctrl_e::after_load()
{
    remembered_truck_position = vec3_t{};
    if (map_shown && map_window_)
        ui_wshow(map_window_, 0);
    assign_station_prices();
    if (current_loop >= 0 && current_loop < game_ctrl_ambient_loops && ambient_loops_[current_loop])
        api::snd_play(ambient_loops_[current_loop]);
    const held_part_t<ctrl_environment_t> environment(bridge ? bridge->environment() : entity_handle_t{});
    if (environment.get()) {
        const int32_t sky = environment.get()->sky_index();
        if (sky >= 0 && sky < environment.get()->sky_count())
            environment.get()->set_sky(sky);
    }
}
