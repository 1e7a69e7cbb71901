#include "game/economy/economy_record_io.h"

#include <cstring>

namespace {

bool write_i8(mbio_t& out, const int8_t value) { return out.write_u8(static_cast<uint8_t>(value)); }

bool read_i8(mbio_t& in, int8_t& value)
{
    uint8_t byte = 0;
    if (!in.read_u8(byte))
        return false;
    value = static_cast<int8_t>(byte);
    return true;
}

template <typename value_t, size_t count, typename write_t>
bool write_all(mbio_t& out, const value_t (&values)[count], write_t write)
{
    for (const value_t& value : values)
        if (!write(out, value))
            return false;
    return true;
}

template <typename value_t, size_t count, typename read_t>
bool read_all(mbio_t& in, value_t (&values)[count], read_t read)
{
    for (value_t& value : values)
        if (!read(in, value))
            return false;
    return true;
}

const auto put_i32 = [](mbio_t& out, const int32_t value) { return out.write_i32(value); };
const auto get_i32 = [](mbio_t& in, int32_t& value) { return in.read_i32(value); };
const auto put_u16 = [](mbio_t& out, const uint16_t value) { return out.write_u16(value); };
const auto get_u16 = [](mbio_t& in, uint16_t& value) { return in.read_u16(value); };
const auto put_i16 = [](mbio_t& out, const int16_t value) { return out.write_i16(value); };
const auto get_i16 = [](mbio_t& in, int16_t& value) { return in.read_i16(value); };
const auto put_u32 = [](mbio_t& out, const uint32_t value) { return out.write_u32(value); };
const auto get_u32 = [](mbio_t& in, uint32_t& value) { return in.read_u32(value); };
const auto put_i8 = [](mbio_t& out, const int8_t value) { return write_i8(out, value); };
const auto get_i8 = [](mbio_t& in, int8_t& value) { return read_i8(in, value); };

}  // namespace

bool write_vec3(mbio_t& out, const vec3_t& value)
{
    return out.write_f32(value.x) && out.write_f32(value.y) && out.write_f32(value.z);
}

bool read_vec3(mbio_t& in, vec3_t& value)
{
    return in.read_f32(value.x) && in.read_f32(value.y) && in.read_f32(value.z);
}

bool write_quat(mbio_t& out, const quat_t& value)
{
    return out.write_f32(value.x) && out.write_f32(value.y) && out.write_f32(value.z) && out.write_f32(value.w);
}

bool read_quat(mbio_t& in, quat_t& value)
{
    return in.read_f32(value.x) && in.read_f32(value.y) && in.read_f32(value.z) && in.read_f32(value.w);
}

bool write_f64(mbio_t& out, const double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return out.write_u64(bits);
}

bool read_f64(mbio_t& in, double& value)
{
    uint64_t bits = 0;
    if (!in.read_u64(bits))
        return false;
    std::memcpy(&value, &bits, sizeof bits);
    return true;
}

bool write_text(mbio_t& out, const char* text, const size_t size)
{
    char field[2048] = {};
    kv_assert(size <= sizeof field);
    std::strncpy(field, text, size - 1);
    return out.write_bytes(field, size);
}

bool read_text(mbio_t& in, char* text, const size_t size)
{
    if (!in.read_bytes(text, size))
        return false;
    text[size - 1] = '\0';
    return true;
}

bool write_record(mbio_t& out, const company_t& r)
{
    return write_all(out, r.trucks, put_i32) && out.write_i32(r.money) && out.write_i32(r.colour) &&
           out.write_i32(r.level) && out.write_i32(r.headquarters) && write_text(out, r.name, sizeof r.name) &&
           out.write_i32(r.opponent_variant) && out.write_f32(r.prestige) && out.write_f32(r.driver_check) &&
           out.write_f32(r.expansion_timer) && write_f64(out, r.last_step_time) && out.write_i32(r.deliveries) &&
           out.write_i32(r.haul_score) && out.write_i32(r.income) && out.write_i32(r.haul_score_second) &&
           out.write_i32(r.week_driver_income) && out.write_i32(r.week_costs) && out.write_i32(r.week_loan_repayment) &&
           out.write_i32(r.loan) && out.write_i32(r.target_city) && out.write_i32(r.reserved);
}

bool read_record(mbio_t& in, company_t& r)
{
    return read_all(in, r.trucks, get_i32) && in.read_i32(r.money) && in.read_i32(r.colour) && in.read_i32(r.level) &&
           in.read_i32(r.headquarters) && read_text(in, r.name, sizeof r.name) && in.read_i32(r.opponent_variant) &&
           in.read_f32(r.prestige) && in.read_f32(r.driver_check) && in.read_f32(r.expansion_timer) &&
           read_f64(in, r.last_step_time) && in.read_i32(r.deliveries) && in.read_i32(r.haul_score) &&
           in.read_i32(r.income) && in.read_i32(r.haul_score_second) && in.read_i32(r.week_driver_income) &&
           in.read_i32(r.week_costs) && in.read_i32(r.week_loan_repayment) && in.read_i32(r.loan) &&
           in.read_i32(r.target_city) && in.read_i32(r.reserved);
}

bool write_record(mbio_t& out, const driver_t& r)
{
    return write_text(out, r.name, sizeof r.name) && out.write_u32(r.flags) && out.write_i32(r.salary) &&
           write_i8(out, r.company) && write_i8(out, r.prestige) && write_i8(out, r.voice) &&
           out.write_u8(r.reserved0) && out.write_i32(r.truck) && write_all(out, r.pref_cities, put_i8) &&
           write_all(out, r.pref_cargos, put_i8) && out.write_u16(r.reserved1) && write_all(out, r.jobs, put_i32) &&
           out.write_f32(r.progress) && out.write_f32(r.leg_time) && out.write_u32(r.reserved2) &&
           write_f64(out, r.leg_clock) && out.write_u16(r.route_length) && out.write_u16(r.reserved3) &&
           out.write_u32(r.route_distance) && out.write_u32(r.route_nodes) && out.write_u32(r.route_distances) &&
           out.write_u8(r.route_direction) && out.write_u8(r.reserved4) && out.write_u16(r.next_node) &&
           out.write_u16(r.current_node) && out.write_u16(r.reserved5) && out.write_f32(r.covered) &&
           out.write_u8(r.state) && out.write_u8(r.week_deliveries) && out.write_u16(r.reserved6) &&
           out.write_i32(r.week_income) && out.write_i32(r.week_haul_score);
}

bool read_record(mbio_t& in, driver_t& r)
{
    return read_text(in, r.name, sizeof r.name) && in.read_u32(r.flags) && in.read_i32(r.salary) &&
           read_i8(in, r.company) && read_i8(in, r.prestige) && read_i8(in, r.voice) && in.read_u8(r.reserved0) &&
           in.read_i32(r.truck) && read_all(in, r.pref_cities, get_i8) && read_all(in, r.pref_cargos, get_i8) &&
           in.read_u16(r.reserved1) && read_all(in, r.jobs, get_i32) && in.read_f32(r.progress) &&
           in.read_f32(r.leg_time) && in.read_u32(r.reserved2) && read_f64(in, r.leg_clock) &&
           in.read_u16(r.route_length) && in.read_u16(r.reserved3) && in.read_u32(r.route_distance) &&
           in.read_u32(r.route_nodes) && in.read_u32(r.route_distances) && in.read_u8(r.route_direction) &&
           in.read_u8(r.reserved4) && in.read_u16(r.next_node) && in.read_u16(r.current_node) &&
           in.read_u16(r.reserved5) && in.read_f32(r.covered) && in.read_u8(r.state) && in.read_u8(r.week_deliveries) &&
           in.read_u16(r.reserved6) && in.read_i32(r.week_income) && in.read_i32(r.week_haul_score);
}

bool write_record(mbio_t& out, const cargo_t& r)
{
    return out.write_u32(r.flags) && write_text(out, r.name, sizeof r.name) &&
           write_text(out, r.trailer, sizeof r.trailer) && out.write_i16(r.variant) &&
           write_all(out, r.deliveries, put_i16) && out.write_i16(r.record_deliveries) &&
           out.write_i16(r.record_company) && out.write_i16(r.income) && out.write_f32(r.weight) &&
           out.write_f32(r.fragility);
}

bool read_record(mbio_t& in, cargo_t& r)
{
    return in.read_u32(r.flags) && read_text(in, r.name, sizeof r.name) && read_text(in, r.trailer, sizeof r.trailer) &&
           in.read_i16(r.variant) && read_all(in, r.deliveries, get_i16) && in.read_i16(r.record_deliveries) &&
           in.read_i16(r.record_company) && in.read_i16(r.income) && in.read_f32(r.weight) && in.read_f32(r.fragility);
}

bool write_record(mbio_t& out, const city_t& r)
{
    return write_text(out, r.name, sizeof r.name) && write_text(out, r.display_name, sizeof r.display_name) &&
           out.write_i32(r.trader_count) && write_all(out, r.traders, put_i32) &&
           write_all(out, r.haul_score, put_i32) && out.write_i32(r.record_haul_score) && out.write_i32(r.master);
}

bool read_record(mbio_t& in, city_t& r)
{
    return read_text(in, r.name, sizeof r.name) && read_text(in, r.display_name, sizeof r.display_name) &&
           in.read_i32(r.trader_count) && read_all(in, r.traders, get_i32) && read_all(in, r.haul_score, get_i32) &&
           in.read_i32(r.record_haul_score) && in.read_i32(r.master);
}

bool write_record(mbio_t& out, const trader_t& r)
{
    return write_text(out, r.name, sizeof r.name) && out.write_i32(r.city) && out.write_i32(r.dock) &&
           out.write_i32(r.produced_count) && write_all(out, r.produced, put_i32) && out.write_i32(r.accepted_count) &&
           write_all(out, r.accepted, put_i32) && write_text(out, r.icon_shader, sizeof r.icon_shader) &&
           out.write_i32(r.first_job);
}

bool read_record(mbio_t& in, trader_t& r)
{
    return read_text(in, r.name, sizeof r.name) && in.read_i32(r.city) && in.read_i32(r.dock) &&
           in.read_i32(r.produced_count) && read_all(in, r.produced, get_i32) && in.read_i32(r.accepted_count) &&
           read_all(in, r.accepted, get_i32) && read_text(in, r.icon_shader, sizeof r.icon_shader) &&
           in.read_i32(r.first_job);
}

bool write_record(mbio_t& out, const dealer_t& r)
{
    return write_text(out, r.name, sizeof r.name) && out.write_u32(r.flags);
}

bool read_record(mbio_t& in, dealer_t& r) { return read_text(in, r.name, sizeof r.name) && in.read_u32(r.flags); }

bool write_record(mbio_t& out, const dock_t& r)
{
    bool ok = out.write_i32(r.id) && out.write_i32(r.slot_count) && write_all(out, r.slot_states, put_u16) &&
              write_all(out, r.slot_jobs, put_u16);
    for (const vec3_t& p : r.slot_positions)
        ok = ok && write_vec3(out, p);
    for (const quat_t& q : r.slot_orientations)
        ok = ok && write_quat(out, q);
    return ok && write_all(out, r.slot_trailers, put_u32) && write_vec3(out, r.position) && out.write_i32(r.trader);
}

bool read_record(mbio_t& in, dock_t& r)
{
    bool ok = in.read_i32(r.id) && in.read_i32(r.slot_count) && read_all(in, r.slot_states, get_u16) &&
              read_all(in, r.slot_jobs, get_u16);
    for (vec3_t& p : r.slot_positions)
        ok = ok && read_vec3(in, p);
    for (quat_t& q : r.slot_orientations)
        ok = ok && read_quat(in, q);
    return ok && read_all(in, r.slot_trailers, get_u32) && read_vec3(in, r.position) && in.read_i32(r.trader);
}

bool write_record(mbio_t& out, const job_t& r)
{
    return out.write_i32(r.cargo) && out.write_i32(r.source) && out.write_i32(r.destination) &&
           out.write_f32(r.distance) && out.write_u32(r.flags);
}

bool read_record(mbio_t& in, job_t& r)
{
    return in.read_i32(r.cargo) && in.read_i32(r.source) && in.read_i32(r.destination) && in.read_f32(r.distance) &&
           in.read_u32(r.flags);
}

bool write_record(mbio_t& out, const company_truck_t& r)
{
    bool ok = out.write_f32(r.condition) && write_text(out, r.make, sizeof r.make);
    for (const auto& accessory : r.accessories)
        ok = ok && write_text(out, accessory, sizeof accessory);
    return ok && out.write_u32(r.flags) && out.write_u32(r.colour) && out.write_f32(r.rating) &&
           out.write_i32(r.prestige) && out.write_i32(r.owner);
}

bool read_record(mbio_t& in, company_truck_t& r)
{
    bool ok = in.read_f32(r.condition) && read_text(in, r.make, sizeof r.make);
    for (auto& accessory : r.accessories)
        ok = ok && read_text(in, accessory, sizeof accessory);
    return ok && in.read_u32(r.flags) && in.read_u32(r.colour) && in.read_f32(r.rating) && in.read_i32(r.prestige) &&
           in.read_i32(r.owner);
}
