#pragma once
#include "engine/mbio.h"
#include "common/saved_fields.h"
#include "game/economy/economy_records.h"

// The economy's records as they stand in the save section and the AI data file: each described once,
// field by field in file order, for the writing, the reading, the sizes and the check of their numbers
// (common/saved_fields.h). A read that runs out of bytes answers false (the record may then be partly
// filled); every text field read is ended within its array.

template <typename io_t, saved_record_of<company_t> record_t> constexpr void describe(io_t& io, record_t& r)
{
    io.field(r.trucks);
    io.field(r.money);
    io.field(r.colour);
    io.field(r.level);
    io.field(r.headquarters);
    io.field(r.name);
    io.field(r.opponent_variant);
    io.field(r.prestige);
    io.field(r.driver_check);
    io.field(r.expansion_timer);
    io.field(r.last_step_time);
    io.field(r.deliveries);
    io.field(r.haul_score);
    io.field(r.income);
    io.field(r.haul_score_second);
    io.field(r.week_driver_income);
    io.field(r.week_costs);
    io.field(r.week_loan_repayment);
    io.field(r.loan);
    io.field(r.target_city);
    io.field(r.reserved);
}

template <typename io_t, saved_record_of<driver_t> record_t> constexpr void describe(io_t& io, record_t& r)
{
    io.field(r.name);
    io.field(r.flags);
    io.field(r.salary);
    io.field(r.company);
    io.field(r.prestige);
    io.field(r.voice);
    io.field(r.reserved0);
    io.field(r.truck);
    io.field(r.pref_cities);
    io.field(r.pref_cargos);
    io.field(r.reserved1);
    io.field(r.jobs);
    io.field(r.progress);
    io.field(r.leg_time);
    io.field(r.reserved2);
    io.field(r.leg_clock);
    io.field(r.route_length);
    io.field(r.reserved3);
    io.field(r.route_distance);
    io.field(r.route_nodes);
    io.field(r.route_distances);
    io.field(r.route_direction);
    io.field(r.reserved4);
    io.field(r.next_node);
    io.field(r.current_node);
    io.field(r.reserved5);
    io.field(r.covered);
    io.field(r.state);
    io.field(r.week_deliveries);
    io.field(r.reserved6);
    io.field(r.week_income);
    io.field(r.week_haul_score);
}

template <typename io_t, saved_record_of<cargo_t> record_t> constexpr void describe(io_t& io, record_t& r)
{
    io.field(r.flags);
    io.field(r.name);
    io.field(r.trailer);
    io.field(r.variant);
    io.field(r.deliveries);
    io.field(r.record_deliveries);
    io.field(r.record_company);
    io.field(r.income);
    io.field(r.weight);
    io.field(r.fragility);
}

template <typename io_t, saved_record_of<city_t> record_t> constexpr void describe(io_t& io, record_t& r)
{
    io.field(r.name);
    io.field(r.display_name);
    io.field(r.trader_count);
    io.field(r.traders);
    io.field(r.haul_score);
    io.field(r.record_haul_score);
    io.field(r.master);
}

template <typename io_t, saved_record_of<trader_t> record_t> constexpr void describe(io_t& io, record_t& r)
{
    io.field(r.name);
    io.field(r.city);
    io.field(r.dock);
    io.field(r.produced_count);
    io.field(r.produced);
    io.field(r.accepted_count);
    io.field(r.accepted);
    io.field(r.icon_shader);
    io.field(r.first_job);
}

template <typename io_t, saved_record_of<dealer_t> record_t> constexpr void describe(io_t& io, record_t& r)
{
    io.field(r.name);
    io.field(r.flags);
}

template <typename io_t, saved_record_of<dock_t> record_t> constexpr void describe(io_t& io, record_t& r)
{
    io.field(r.id);
    io.field(r.slot_count);
    io.field(r.slot_states);
    io.field(r.slot_jobs);
    io.field(r.slot_positions);
    io.field(r.slot_orientations);
    io.field(r.slot_trailers);
    io.field(r.position);
    io.field(r.trader);
}

template <typename io_t, saved_record_of<job_t> record_t> constexpr void describe(io_t& io, record_t& r)
{
    io.field(r.cargo);
    io.field(r.source);
    io.field(r.destination);
    io.field(r.distance);
    io.field(r.flags);
}

template <typename io_t, saved_record_of<company_truck_t> record_t> constexpr void describe(io_t& io, record_t& r)
{
    io.field(r.condition);
    io.field(r.make);
    io.field(r.accessories);
    io.field(r.flags);
    io.field(r.colour);
    io.field(r.rating);
    io.field(r.prestige);
    io.field(r.owner);
}

template <typename io_t, saved_record_of<player_job_t> record_t> constexpr void describe(io_t& io, record_t& r)
{
    io.field(r.job);
    io.field(r.target);
}

// The sizes of the records in files.
static_assert(saved_record_bytes<company_t>() == 144 && saved_record_bytes<driver_t>() == 168 &&
              saved_record_bytes<city_t>() == 108 && saved_record_bytes<cargo_t>() == 92 &&
              saved_record_bytes<trader_t>() == 376 && saved_record_bytes<dealer_t>() == 36 &&
              saved_record_bytes<company_truck_t>() == 2104 && saved_record_bytes<job_t>() == 20 &&
              saved_record_bytes<dock_t>() == 312 && saved_record_bytes<player_job_t>() == 16);

// One record into a stream, and back.
template <typename record_t> bool write_record(mbio_t& out, const record_t& record)
{
    saved_writer_t writer(out, every_save_version);
    writer.field(record);
    return writer.ok();
}

template <typename record_t> bool read_record(mbio_t& in, record_t& record)
{
    saved_reader_t reader(in, every_save_version);
    reader.field(record);
    return reader.ok();
}
