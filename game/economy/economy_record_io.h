#pragma once
#include "engine/mbio.h"
#include "game/economy/economy_records.h"

// The economy's records as they stand in the save section and the AI data file: field by field,
// little-endian, without padding. A read that runs out of bytes answers false (the record may then be
// partly filled); every text field read is ended within its array.

bool write_record(mbio_t& out, const company_t& record);
bool write_record(mbio_t& out, const driver_t& record);
bool write_record(mbio_t& out, const cargo_t& record);
bool write_record(mbio_t& out, const city_t& record);
bool write_record(mbio_t& out, const trader_t& record);
bool write_record(mbio_t& out, const dealer_t& record);
bool write_record(mbio_t& out, const dock_t& record);
bool write_record(mbio_t& out, const job_t& record);
bool write_record(mbio_t& out, const company_truck_t& record);

bool read_record(mbio_t& in, company_t& record);
bool read_record(mbio_t& in, driver_t& record);
bool read_record(mbio_t& in, cargo_t& record);
bool read_record(mbio_t& in, city_t& record);
bool read_record(mbio_t& in, trader_t& record);
bool read_record(mbio_t& in, dealer_t& record);
bool read_record(mbio_t& in, dock_t& record);
bool read_record(mbio_t& in, job_t& record);
bool read_record(mbio_t& in, company_truck_t& record);

// Vectors and quaternions as three and four floats.
bool write_vec3(mbio_t& out, const vec3_t& value);
bool read_vec3(mbio_t& in, vec3_t& value);
bool write_quat(mbio_t& out, const quat_t& value);
bool read_quat(mbio_t& in, quat_t& value);
// A 64-bit float, bit for bit.
bool write_f64(mbio_t& out, double value);
bool read_f64(mbio_t& in, double& value);
// A char array of `size` bytes; the read one is ended within it.
bool write_text(mbio_t& out, const char* text, size_t size);
bool read_text(mbio_t& in, char* text, size_t size);
