// The stored state of the player's truck that the economy's save section carries: one description of
// its fields, with the save versions that hold each, drives the writing, the reading and its size.
#include <algorithm>
#include <cmath>
#include <vector>

#include "common/engine_api.h"
#include "common/hud_components.h"
#include "common/saved_fields.h"
#include "vehicles/player/car_player.h"
#include "vehicles/links/player_links.h"

namespace {

// The save version the truck writes.
constexpr int written_version = 14;

// The stored state's fields; a new truck's values are the defaults (no dents, no damage, no offence,
// the HUD's mirrors, the chase camera, lights off, wipers off).
struct stored_state_t {
    float bone_amounts[car_phys_e::deform_bone_limit] = {};
    float damage = 0.0f;
    int32_t offence = -1;
    int32_t hud_detail = 2;
    int32_t camera_mode = car_player_e::cam_chase;
    int32_t lights = 0;
    int32_t wiper_mode = car_player_e::wipers_off;
};

// The fields in their order, each with the save versions that hold it.
template <typename io_t, saved_record_of<stored_state_t> record_t> void describe(io_t& io, record_t& r)
{
    for (auto& amount : r.bone_amounts)
        io.field(amount);
    io.field(r.damage);
    io.field(r.offence);
    io.field(r.hud_detail, 13, 14);
    io.field(r.camera_mode, 13, 14);
    io.field(r.lights, 13, 14);
    io.field(r.wiper_mode, 14, 14);
}

// Writes a stored state as the written version holds it, answering the bytes that went through.
int write_record(const int file, const stored_state_t& record)
{
    mbio_t out;
    out.open_grow();
    saved_writer_t writer(out, written_version);
    describe(writer, record);
    kv_assert(writer.ok());
    const long written = api::vfs_write(file, out.data(), static_cast<long>(out.size()));
    return written < 0 ? 0 : static_cast<int>(written);
}

// A saved fraction: 0..1, and 0 for what is no number.
float saved_fraction(float value) { return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f); }

// The camera modes a truck can be left in: the fly camera and the modes 3 to 11 (the traffic-car
// views, the mirrors' modes and anything else are not).
bool restorable_camera_mode(int32_t mode) { return mode == 1 || (mode >= 3 && mode <= 11); }

}  // namespace

int car_player_e::state_record_bytes(const int version)
{
    saved_size_t size(version);
    const stored_state_t record;
    describe(size, record);
    return static_cast<int>(size.bytes);
}

int car_player_e::save_state(int file)
{
    stored_state_t record;
    for (int i = 0; i < deform_bone_limit; ++i)
        record.bone_amounts[i] = deform_bones[i].amount;
    record.damage = car_phys_e::damage;
    {
        const held_part_t<player_traffic_t> traffic(traffic_link);
        if (traffic.get())
            record.offence = traffic.get()->pending_offence();
    }
    record.hud_detail = static_cast<int32_t>(hud_detail);
    record.camera_mode = camera_mode;
    record.lights = lights;
    record.wiper_mode = instruments_.wiper_mode();
    return write_record(file, record);
}

int car_player_e::save_default_state(int file) { return write_record(file, stored_state_t{}); }

int car_player_e::load_state(int file, int version)
{
    // Fields are applied only once read whole: a save that ends early changes nothing further.
    // The bytes this version holds are read at once; a save that ends early gives fewer.
    std::vector<uint8_t> bytes(static_cast<size_t>(state_record_bytes(version)));
    const long got = api::vfs_read(file, bytes.data(), static_cast<long>(bytes.size()));
    mbio_t stream(bytes.data(), got < 0 ? 0 : static_cast<size_t>(got));
    stored_state_t record;
    saved_reader_t in(stream, version);
    in.keep_taken();
    describe(in, record);
    psm_t* const cabin = cabin_slot >= 0 ? models[cabin_slot].model : nullptr;
    for (int i = 0; i < deform_bone_limit; ++i) {
        if (!in.took(&record.bone_amounts[i]))
            break;
        car_deform_bone_t& bone = deform_bones[i];
        bone.amount = saved_fraction(record.bone_amounts[i]);
        if (bone.bone >= 0 && cabin) {
            const vec3_t offset = bone.direction * (-bone.amount * 50.0f);
            api::psm_bone_set_ext_pos(cabin, bone.bone, &offset);
        }
    }
    if (in.took(&record.damage))
        car_phys_e::damage = saved_fraction(record.damage);
    if (in.took(&record.hud_detail)) {
        hud_detail = static_cast<uint32_t>(record.hud_detail);
        hud_show(truck_hud_rear_mirror, (hud_detail & 1u) != 0);
        hud_show(truck_hud_left_mirror, (hud_detail & 2u) != 0);
        hud_show(truck_hud_right_mirror, !hud_hidden_by_ctrl() && (hud_detail & 2u) != 0);
    }
    if (in.took(&record.camera_mode)) {
        const int32_t mode = record.camera_mode;
        camera_mode = restorable_camera_mode(mode) ? static_cast<uint8_t>(mode) : static_cast<uint8_t>(cam_chase);
        scenes_.set_return_camera(camera_mode);
    }
    if (in.took(&record.lights)) {
        lights = static_cast<uint8_t>(record.lights);
        if (camera_mode == cam_cabin)
            setup_interior();
    }
    if (in.took(&record.wiper_mode) && record.wiper_mode >= wipers_off && record.wiper_mode <= wipers_finishing)
        instruments_.set_wiper_mode(record.wiper_mode);
    if (!in.ok())
        return static_cast<int>(stream.position());
    // The fine of a pending offence was charged when it was given: the ticket comes back unpaid. A
    // stored reason the police do not give opens no ticket.
    const int32_t offence = record.offence;
    if (player_scenes_t::ticket_reason_known(offence))
        scenes_.open_ticket(offence, -1, false);
    else if (offence != -1)
        api::warning("<car_player_e> the save holds an offence of unknown reason %d; no ticket is shown", offence);
    reset_history();
    return static_cast<int>(stream.position());
}
