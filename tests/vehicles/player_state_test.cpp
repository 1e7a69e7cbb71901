#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "player_fixture.h"
#include "engine/psm.h"
#include "engine/snd_record.h"
#include "engine/vfs.h"

namespace {

class player_state_test : public player_test_t {
protected:
    // Writes the truck's stored state to "/state.bin"; answers the byte count save_state gave.
    int save(car_player_e& truck)
    {
        const int file = vfs_open("/state.bin", 0x301, 0644);
        EXPECT_GE(file, 0);
        const int written = truck.save_state(file);
        vfs_close(file);
        return written;
    }
    // Reads the stored state back into `truck` as save `version` wrote it.
    int load(car_player_e& truck, int version)
    {
        const int file = vfs_open("/state.bin", 0, 0);
        EXPECT_GE(file, 0);
        const int read = truck.load_state(file, version);
        vfs_close(file);
        return read;
    }
    // Writes raw words as the stored state.
    void write_words(const std::vector<uint32_t>& words)
    {
        const int file = vfs_open("/state.bin", 0x301, 0644);
        ASSERT_GE(file, 0);
        for (const uint32_t word : words) {
            const uint8_t bytes[4] = {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8),
                                      static_cast<uint8_t>(word >> 16), static_cast<uint8_t>(word >> 24)};
            ASSERT_EQ(vfs_write(file, bytes, 4), 4);
        }
        vfs_close(file);
    }
    // A state of 66 words: deform amounts 0.01 x i, damage 0.5, offence, HUD flags 1, the camera, lights 9,
    // wipers 2.
    static std::vector<uint32_t> words(int32_t offence, uint32_t camera)
    {
        std::vector<uint32_t> out;
        const auto bits = [](float value) {
            uint32_t word;
            std::memcpy(&word, &value, 4);
            return word;
        };
        for (int i = 0; i < 60; ++i)
            out.push_back(bits(0.01f * static_cast<float>(i)));
        out.push_back(bits(0.5f));
        out.push_back(static_cast<uint32_t>(offence));
        out.push_back(1);
        out.push_back(camera);
        out.push_back(9);
        out.push_back(2);
        return out;
    }
};

TEST_F(player_state_test, the_stored_state_is_66_little_endian_words_in_their_order)
{
    car_player_e* truck = player();
    for (int i = 0; i < car_phys_e::deform_bone_limit; ++i)
        truck->deform_bones[i].amount = 0.01f * static_cast<float>(i);
    truck->car_phys_e::damage = 0.5f;
    traffic_->pending = -1;
    truck->hud_detail = 1;
    truck->set_camera_mode(car_player_e::cam_hood);
    truck->lights = 9;
    truck->instruments().set_wiper_mode(car_player_e::wipers_on);
    ASSERT_EQ(save(*truck), car_player_e::state_bytes);
    std::string bytes;
    ASSERT_TRUE(vfs_read_whole("/state.bin", bytes));
    std::vector<uint32_t> expected = words(-1, car_player_e::cam_hood);
    ASSERT_EQ(bytes.size(), 264u);
    EXPECT_EQ(std::memcmp(bytes.data(), expected.data(), 264), 0) << "the words of words() in order";
}

TEST_F(player_state_test, each_version_reads_its_own_length_and_keeps_what_it_does_not_hold)
{
    const struct {
        int version;
        int bytes;
        uint8_t camera;
        int32_t wipers;
    } cases[] = {{14, 264, car_player_e::cam_top, car_player_e::wipers_on},
                 {13, 260, car_player_e::cam_top, car_player_e::wipers_finishing},
                 {12, 248, car_player_e::cam_chase, car_player_e::wipers_finishing}};
    car_player_e* truck = player();
    write_words(words(-1, car_player_e::cam_top));
    for (const auto& c : cases) {
        truck->set_camera_mode(car_player_e::cam_chase);
        truck->instruments().set_wiper_mode(car_player_e::wipers_finishing);
        truck->car_phys_e::damage = 0.0f;
        EXPECT_EQ(load(*truck, c.version), c.bytes) << "version " << c.version;
        EXPECT_EQ(truck->camera_mode, c.camera) << "version " << c.version;
        EXPECT_EQ(truck->instruments().wiper_mode(), c.wipers) << "version " << c.version;
        EXPECT_FLOAT_EQ(truck->car_phys_e::damage, 0.5f);
        EXPECT_FLOAT_EQ(truck->deform_bones[59].amount, 0.59f);
    }
    EXPECT_TRUE(!truck->scenes().ticket_shown() && !truck->recovery_active()) << "offence -1 shows no ticket";
}

TEST_F(player_state_test, a_camera_mode_outside_the_playable_modes_comes_back_as_the_chase_camera)
{
    car_player_e* truck = player();
    for (const uint32_t mode : {0u, 2u, 12u, 15u, 255u, 0x10000004u}) {
        write_words(words(-1, mode));
        truck->set_camera_mode(car_player_e::cam_side);
        load(*truck, 14);
        EXPECT_EQ(truck->camera_mode, car_player_e::cam_chase) << "mode " << mode;
    }
    write_words(words(-1, car_player_e::cam_fly));
    load(*truck, 14);
    EXPECT_EQ(truck->camera_mode, car_player_e::cam_fly);
}

TEST_F(player_state_test, a_pending_offence_brings_the_ticket_back_without_charging_the_fine_again)
{
    car_player_e* truck = player();
    write_words(words(150, car_player_e::cam_chase));
    load(*truck, 14);
    EXPECT_TRUE(truck->recovery_active());
    EXPECT_EQ(truck->camera_mode, car_player_e::cam_police);
    EXPECT_TRUE(economy_->charges.empty()) << "the fine was paid when the ticket was given";
}

TEST_F(player_state_test, an_offence_of_no_known_reason_and_dents_that_are_no_number_bring_nothing_back)
{
    car_player_e* truck = player();
    std::vector<uint32_t> state = words(123456, car_player_e::cam_chase);
    state[0] = 0x7fc00000u;   // a dent that is no number
    state[1] = 0x7f800000u;   // an infinite one
    state[60] = 0xff800000u;  // damage of minus infinity
    write_words(state);
    EXPECT_EQ(load(*truck, 14), 264);
    EXPECT_FALSE(truck->recovery_active());
    EXPECT_EQ(truck->camera_mode, car_player_e::cam_chase);
    EXPECT_EQ(truck->deform_bones[0].amount, 0.0f);
    EXPECT_EQ(truck->deform_bones[1].amount, 1.0f);
    EXPECT_EQ(truck->car_phys_e::damage, 0.0f);
}

TEST_F(player_state_test, a_state_cut_short_changes_nothing_past_the_last_whole_word)
{
    car_player_e* truck = player();
    std::vector<uint32_t> cut = words(-1, car_player_e::cam_top);
    cut.resize(60);
    write_words(cut);
    truck->car_phys_e::damage = 0.25f;
    EXPECT_EQ(load(*truck, 14), 240);
    EXPECT_FLOAT_EQ(truck->car_phys_e::damage, 0.25f);
    EXPECT_EQ(truck->camera_mode, car_player_e::cam_chase);
    EXPECT_FALSE(truck->recovery_active());
}

}  // namespace

namespace {

TEST_F(player_state_test, a_world_without_a_truck_writes_the_record_of_a_new_truck_that_loads_cleanly)
{
    car_player_e* truck = player();
    const int file = vfs_open("/state.bin", 0x301, 0644);
    ASSERT_GE(file, 0);
    EXPECT_EQ(car_player_e::save_default_state(file), car_player_e::state_record_bytes(14));
    vfs_close(file);
    truck->set_camera_mode(car_player_e::cam_top);
    truck->car_phys_e::damage = 0.4f;
    EXPECT_EQ(load(*truck, 14), 264);
    EXPECT_EQ(truck->camera_mode, car_player_e::cam_chase);
    EXPECT_EQ(truck->car_phys_e::damage, 0.0f);
    EXPECT_FALSE(truck->recovery_active());
    EXPECT_EQ(car_player_e::state_record_bytes(13), 260);
    EXPECT_EQ(car_player_e::state_record_bytes(12), 248);
}

}  // namespace

namespace {

// The stored state against the sample game's kestrel make.
class player_sample_state_test : public player_state_test {
protected:
    bool sample_data() const override { return true; }

    static constexpr const char* accessories[] = {"base",   "cabin",  "interior", "engine", "transmission",
                                                  "brakes", "wheels", "pipes",    "paint",  "lights_front"};
    // Where deform bone `i` of `truck`'s cabin stands.
    static vec3_t deform_bone_at(const car_truck_e& truck, int i)
    {
        mat4_t matrix;
        EXPECT_TRUE(
            api::psm_bone_get_matrix(truck.models[truck.cabin_slot].model, truck.deform_bones[i].bone, &matrix));
        return mult_zero_matrix(matrix);
    }
};

TEST_F(player_sample_state_test, dents_loaded_before_the_first_build_bend_the_built_cabin_inwards)
{
    car_player_e* truck = player();
    write_words(words(-1, car_player_e::cam_chase));
    ASSERT_EQ(load(*truck, 14), 264) << "a load comes before the truck's first frame, which builds it";
    ASSERT_TRUE(truck->build("kestrel", accessories, 10));
    auto* fresh = add(std::make_unique<test_truck_e>());
    ASSERT_TRUE(fresh->build("kestrel", accessories, 10));
    ASSERT_EQ(truck->deform_count, 6);
    for (int i = 1; i < truck->deform_count; ++i) {
        const car_deform_bone_t& dent = truck->deform_bones[i];
        EXPECT_FLOAT_EQ(dent.amount, 0.01f * static_cast<float>(i)) << "deform bone " << i;
        const vec3_t expected = deform_bone_at(*fresh, i) - dent.direction * (dent.amount * 50.0f);
        const vec3_t built = deform_bone_at(*truck, i);
        EXPECT_NEAR(built.x, expected.x, 1e-3f) << "deform bone " << i;
        EXPECT_NEAR(built.y, expected.y, 1e-3f) << "deform bone " << i;
        EXPECT_NEAR(built.z, expected.z, 1e-3f) << "deform bone " << i;
    }
}

TEST_F(player_sample_state_test, the_engine_horn_and_gear_sounds_come_from_the_makes_accessories)
{
    car_player_e* truck = player();
    truck->load_sounds();
    ASSERT_TRUE(truck->build("kestrel", accessories, 10));
    const struct {
        int slot;
        const char* path;
    } cases[] = {
        {car_player_e::snd_engine, "/makes/truck/kestrel/acc/cabin/engine.ogg"},
        {car_player_e::snd_engine_start, "/makes/truck/kestrel/acc/cabin/engine_start.ogg"},
        {car_player_e::snd_engine_stop, "/makes/truck/kestrel/acc/cabin/engine_stop.ogg"},
        {car_player_e::snd_horn, "/makes/truck/kestrel/acc/cabin/horn.ogg"},
        {car_player_e::snd_gear_change, "/makes/truck/kestrel/acc/transmission/gear.ogg"},
        {car_player_e::snd_crash_0, "/sounds/truck/col1.ogg"},
        {car_player_e::snd_scratch, "/sounds/truck/scratch.ogg"},
    };
    for (const auto& c : cases) {
        snd_state_t state;
        ASSERT_TRUE(snd_record_state(truck->sounds[c.slot], state)) << c.path;
        EXPECT_EQ(state.path, c.path);
    }
    snd_state_t engine;
    ASSERT_TRUE(snd_record_state(truck->sounds[car_player_e::snd_engine], engine));
    EXPECT_TRUE(engine.playing) << "a truck rebuilt with its engine running is heard at once";
    truck->shift_up(true);
    snd_state_t gear;
    ASSERT_TRUE(snd_record_state(truck->sounds[car_player_e::snd_gear_change], gear));
    EXPECT_EQ(gear.plays, 1) << "the clutch goes in with the gear-change sound";

    const int live = snd_record_live();
    ASSERT_TRUE(truck->build("tarrow", accessories, 10));
    EXPECT_EQ(snd_record_live(), live) << "a rebuild replaces the make's sounds";
    snd_state_t horn;
    ASSERT_TRUE(snd_record_state(truck->sounds[car_player_e::snd_horn], horn));
    EXPECT_EQ(horn.path, "/makes/truck/tarrow/acc/cabin/horn.ogg");
}

}  // namespace
