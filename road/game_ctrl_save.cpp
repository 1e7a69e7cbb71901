#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "engine/check.h"
#include "engine/snd.h"
#include "engine/ui.h"
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/game_context.h"
#include "common/saved_fields.h"
#include "road/game_clock.h"
#include "road/game_ctrl.h"
#include "road/saved_index.h"

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

// Farthest a saved point may lie from the origin on either axis.
constexpr float point_limit = 1.0e7f;
// Largest amount of money a station's counters may hold.
constexpr int32_t amount_limit = 1000000000;

bool finite_within(const float value, const float limit) { return std::isfinite(value) && std::fabs(value) <= limit; }

// The controller's fields of the section, after its magic and before the player's profile, in their
// order: the one description the writing and the reading run. `holder_t` is a game_ctrl_saved_t,
// gathered from the controller and its parts for a write, or read and checked before they take it.
template <typename io_t, saved_record_of<game_ctrl_saved_t> holder_t> void describe_fields(io_t& io, holder_t& h)
{
    io.field(h.game_clock);
    io.field(h.key_timer);
    io.field(h.map.shown);
    io.field(h.map.in_city);
    io.field(h.map.city_zoom);
    io.field(h.map.zoom);
    io.field(h.map.city);
    io.field(h.sky_swap.item);
    io.field(h.sky_swap.near_point);
    io.field(h.sky_swap.far_point);
    io.field(h.sky_swap.direction);
    io.field(h.sky_swap.length);
    io.field(h.sky_swap.far_sky);
    io.field(h.sky_swap.near_sky);
    io.field(h.sky_swap.current_sky);
    io.field(h.stations.at_gas_pump);
    io.field(h.stations.at_service);
    io.field(h.stations.fuel_price);
    io.field(h.stations.fuel_ticks);
    io.field(h.stations.fuel_paid);
    io.field(h.stations.fuel_timer);
    io.field(h.stations.repair_cost);
    io.field(h.stations.repair_damage);
    io.field(h.stations.repair_timer);
    io.field(h.stations.weigh_shown);
    io.field(h.stations.weigh_point);
    io.field(h.stations.weigh_armed);
    io.field(h.stations.weigh_done);
    io.field(h.hazard_timer);
    io.field(h.current_loop);
    io.field(h.dealer_start);
}

// Bytes of the controller's fields: the section less its magic and the profile.
size_t described_bytes()
{
    saved_size_t size(every_save_version);
    const game_ctrl_saved_t fields;
    describe_fields(size, fields);
    return size.bytes;
}

// True when every number of a read section is one the controller can run on: the clock within the
// week, the timers, zooms, points and the fuel price finite, and the station counters not negative nor
// beyond any amount of money. Indices are checked against the world when they are taken.
bool values_in_range(const game_ctrl_saved_t& read)
{
    const float clock = read.game_clock;
    bool ok = std::isfinite(clock) && clock >= 0.0f && clock <= game_clock_week;
    const station_state_t& stations = read.stations;
    for (const float value : {read.key_timer, read.map.zoom, read.sky_swap.near_point[0], read.sky_swap.near_point[1],
                              read.sky_swap.far_point[0], read.sky_swap.far_point[1], read.sky_swap.direction[0],
                              read.sky_swap.direction[1], read.sky_swap.length, stations.fuel_price,
                              stations.fuel_timer, stations.repair_damage, stations.repair_timer,
                              stations.weigh_point[0], stations.weigh_point[1], read.hazard_timer})
        ok = ok && finite_within(value, point_limit);
    for (const int32_t amount : {stations.fuel_ticks, stations.fuel_paid, stations.repair_cost})
        ok = ok && amount >= 0 && amount <= amount_limit;
    return ok;
}

// Reads the controller's fields of section `bytes` (after its magic) and checks them.
bool fields_in_range(const uint8_t* fields)
{
    kv_assert(save_magic_size + described_bytes() + std::size(profile_texts) * profile_text_size +
                  std::size(profile_numbers) * 4 ==
              static_cast<size_t>(game_ctrl_save_size));
    game_ctrl_saved_t read;
    mbio_t bytes(fields, described_bytes());
    saved_reader_t in(bytes, every_save_version);
    describe_fields(in, read);
    kv_assert(in.ok());
    return values_in_range(read);
}

}  // namespace

int32_t game_ctrl_e::save(const int file)
{
    uint8_t bytes[game_ctrl_save_size];
    mbio_t stream;
    stream.open_write(bytes, sizeof bytes);
    stream.write_bytes(save_magic, save_magic_size);
    saved_writer_t out(stream, every_save_version);
    const game_ctrl_saved_t fields = saved();
    describe_fields(out, fields);
    const def_obj_t* const context = game_context_get();
    for (const char* key : profile_texts) {
        const char* value = context ? context->get_value(key) : "Unknown";
        char text[profile_text_size] = {};
        std::strncpy(text, value ? value : "", sizeof text - 1);
        out.field(text);
    }
    for (const char* key : profile_numbers)
        out.field(static_cast<int32_t>(context ? context->get_int(key) : 0));
    kv_assert(out.ok() && stream.remaining() == 0);
    const long written = api::vfs_write(file, bytes, sizeof bytes);
    return written < 0 ? -1 : static_cast<int32_t>(written);
}

int32_t game_ctrl_e::check_section(const int file, int32_t)
{
    uint8_t bytes[game_ctrl_save_size] = {};
    if (api::vfs_read(file, bytes, sizeof bytes) != static_cast<long>(sizeof bytes) ||
        std::strncmp(reinterpret_cast<const char*>(bytes), save_magic, save_magic_size) != 0)
        return -1;
    if (!fields_in_range(bytes + save_magic_size)) {
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
    if (!fields_in_range(bytes + save_magic_size)) {
        api::error("<game_ctrl_e> save section refused: a clock, place or amount outside its range");
        return -1;
    }
    mbio_t stream(bytes + save_magic_size, sizeof bytes - save_magic_size);
    saved_reader_t in(stream, every_save_version);
    // What the section does not hold stays as it is.
    game_ctrl_saved_t fields = saved();
    describe_fields(in, fields);
    take_saved(fields);
    def_obj_t* const context = game_context_get();
    char text[profile_text_size];
    for (const char* key : profile_texts) {
        in.field(text);
        if (context)
            context->set_value(key, text);
    }
    for (const char* key : profile_numbers) {
        int32_t value = 0;
        in.field(value);
        if (context)
            context->set_int(key, value);
    }
    kv_assert(in.ok());
    return static_cast<int32_t>(magic + rest);
}

game_ctrl_saved_t game_ctrl_e::saved() const
{
    game_ctrl_saved_t fields;
    fields.game_clock = game_clock;
    fields.key_timer = key_timer;
    fields.map = map_view_.saved();
    fields.sky_swap = sky_swap_.saved();
    fields.stations = stations_.state();
    fields.hazard_timer = hazards_.timer();
    fields.current_loop = ambience_.current();
    fields.dealer_start = dealer_start;
    return fields;
}

void game_ctrl_e::take_saved(game_ctrl_saved_t fields)
{
    map_view_.restore(fields.map);
    fields.sky_swap.item = saved_index_or_none(fields.sky_swap.item, miscitems.count, "sky-swap item");
    fields.stations.repair_damage = std::clamp(fields.stations.repair_damage, 0.0f, 1.0f);
    ambience_.restore(fields.current_loop);
    {
        const held_part_t<ctrl_environment_t> environment(bridge ? bridge->environment() : entity_handle_t{});
        const int32_t sky_count = environment.get() ? environment.get()->sky_count() : 0;
        for (int32_t* sky : {&fields.sky_swap.far_sky, &fields.sky_swap.near_sky, &fields.sky_swap.current_sky})
            *sky = saved_index_or_none(*sky, sky_count, "sky");
        const held_part_t<ctrl_economy_t> economy(bridge ? bridge->economy() : entity_handle_t{});
        const int32_t dealers = economy.get() ? economy.get()->dealer_count() : 0;
        if (dealers > 0 && (fields.dealer_start < 0 || fields.dealer_start >= dealers)) {
            api::error("<game_ctrl_e> the save game names dealer %d, of %d; the first is taken", fields.dealer_start,
                       dealers);
            fields.dealer_start = 0;
        }
    }
    // A fuel price of 0 or below would give fuel away at no cost; the pump's own price comes back on
    // the next visit.
    if (!(fields.stations.fuel_price > 0.0f))
        fields.stations.fuel_price = 1.58f;
    game_clock = fields.game_clock;
    key_timer = fields.key_timer;
    sky_swap_.restore(fields.sky_swap);
    stations_.restore(fields.stations);
    hazards_.restore_timer(fields.hazard_timer);
    dealer_start = fields.dealer_start;
}

void game_ctrl_e::after_load()
{
    map_view_.after_load();
    stations_.assign_prices(dealer_start);
    ambience_.after_load();
    const held_part_t<ctrl_environment_t> environment(bridge ? bridge->environment() : entity_handle_t{});
    if (environment.get()) {
        const int32_t sky = environment.get()->sky_index();
        if (sky >= 0 && sky < environment.get()->sky_count())
            environment.get()->set_sky(sky);
    }
}
