// A career saved whole, then damaged section by section: cut short, bytes flipped, numbers pushed
// past their ranges. Each damaged save is refused by the check the load menu makes before a world is
// built, and by the full read, which leaves the economy it was read into as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>

#include "economy_fixture.h"
#include "save_file_bytes.h"
#include "frame/save_game.h"
#include "frame/type_registry.h"
#include "vehicles/player/car_player.h"

namespace {

// The economy's world with the player truck's own record the game keeps after the economy's fields.
class truck_record_world_t : public fake_economy_world_t {
public:
    int32_t truck_record_load(const int file, const int32_t version) override
    {
        const int32_t size = truck_record_bytes(version);
        return api::vfs_seek(file, size, 1) >= 0 ? size : 0;
    }
    int32_t truck_record_bytes(const int32_t version) const override
    {
        return car_player_e::state_record_bytes(version);
    }
};

class save_damage_test : public economy_test {
protected:
    void SetUp() override
    {
        economy_test::SetUp();
        std::filesystem::create_directories(home_ / "saves");
        load(career_);
        career_.generate_jobs();
        career_.companies[0].money = 25000;
        career_.companies[0].trucks[0] = 0;
        career_.drivers[0].salary = 700;
        ASSERT_FALSE(career_.trucks.empty());
        ASSERT_GT(career_.job_count(), 0);
        good_ = career_bytes();
    }

    // The whole save of the career, a job carried.
    std::string career_bytes()
    {
        career_.player_job = {0, {10.0f, 0.0f, 20.0f}};
        return whole_save_bytes(career_, 3, 28800.0f, layout_);
    }

    void write(const std::string& bytes)
    {
        std::ofstream(home_ / "saves" / "career.sav", std::ios::binary | std::ios::trunc) << bytes;
    }

    // Reads the save into a fresh economy with empty neighbours; false when it is refused.
    bool read_into(economy_ctrl_e& target)
    {
        target.set_world(&truck_world_);
        const save_game_checks_t& checks = save_game_section_checks();
        checked_sections_t others[3] = {checked_sections_t(checks.sections[0]), checked_sections_t(checks.sections[1]),
                                        checked_sections_t(checks.sections[2])};
        save_game_owners_t owners;
        for (int section = 0; section < 3; ++section)
            owners.sections[section] = &others[section];
        owners.sections[save_section_economy] = &target;
        owners.timestamp = &target;
        return save_game_read(owners, "/saves/career.sav");
    }

    // A neighbour section that checks and passes over its bytes as the game's own owner would.
    struct checked_sections_t : save_section_owner_t {
        explicit checked_sections_t(const save_section_check_t check) : check_(check) {}
        int32_t save(int) override { return -1; }
        int32_t check(const int file, const int32_t version) override { return check_(file, version); }
        int32_t load(const int file, const int32_t version) override { return check_(file, version); }
        save_section_check_t check_;
    };

    truck_record_world_t truck_world_;
    economy_ctrl_e career_;
    save_layout_t layout_;
    std::string good_;
};

TEST_F(save_damage_test, the_whole_career_is_checked_and_read_back)
{
    write(good_);
    EXPECT_EQ(save_game_check_file("/saves/career.sav"), save_game_loadable);
    economy_ctrl_e target;
    ASSERT_TRUE(read_into(target));
    EXPECT_EQ(target.companies[0].money, 25000);
    EXPECT_EQ(target.trucks.size(), career_.trucks.size());
    EXPECT_EQ(target.job_count(), career_.job_count());
    EXPECT_TRUE(truck_world_.state.has_trailer);
    EXPECT_EQ(truck_world_.state.fuel, 300.0f);
}

TEST_F(save_damage_test, a_damaged_save_is_refused_before_a_world_and_changes_nothing)
{
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    const save_layout_t& at = layout_;
    const size_t company = at.economy + 18;
    const size_t driver = at.drivers + 4;
    struct case_t {
        const char* what;
        std::string bytes;
    };
    std::vector<case_t> cases;
    // Cut short in and at the end of every section.
    for (const size_t cut :
         {at.environment + 10, at.game_ctrl, at.game_ctrl + 300, at.traffic, at.traffic + 5, at.economy,
          at.drivers + 100, at.truck - 1, at.truck + 30, at.record, at.record + 100, at.trailer, at.trailer + 20})
        cases.push_back({"cut", good_.substr(0, cut)});
    // A byte flipped in each section's magic, and in the driver count.
    for (const size_t flip :
         {at.environment + 3, at.game_ctrl + 3, at.traffic + 3, at.economy + 3, at.drivers + 2, at.trailer + 3}) {
        std::string bytes = good_;
        bytes[flip] = static_cast<char>(bytes[flip] ^ 0x5A);
        cases.push_back({"flip", bytes});
    }
    // Numbers past their ranges.
    const auto with_f32 = [&](const char* what, const size_t offset, const float value) {
        std::string bytes = good_;
        save_bytes_set_f32(bytes, offset, value);
        cases.push_back({what, bytes});
    };
    const auto with_u32 = [&](const char* what, const size_t offset, const uint32_t value) {
        std::string bytes = good_;
        save_bytes_set_u32(bytes, offset, value);
        cases.push_back({what, bytes});
    };
    for (const float value : {nan, inf, -inf, 1e30f, -1.0f}) {
        with_f32("game clock", at.game_ctrl + 15, value);
        with_f32("truck x", at.truck, value == -1.0f ? nan : value);
        with_f32("fuel", at.truck + 64, value);
    }
    with_f32("trailer z", at.truck + 40, 1e30f);
    with_f32("trailer orientation", at.truck + 44, nan);
    with_f32("truck orientation w", at.truck + 24, 0.0f);
    with_f32("fuel price", at.game_ctrl + 80, inf);
    with_f32("time limit", at.time_left(), nan);
    with_f32("offer countdown", at.offer_countdown(), inf);
    with_u32("repair cost", at.game_ctrl + 96, 0xFFFFFFFFu);
    with_u32("money", company + 32, 0x7FFFFFFFu);
    with_u32("money", company + 32, 0x80000000u);
    with_u32("loan", company + 132, 0xFFFFFFFFu);
    with_u32("week costs", company + 124, 2000000000u);
    with_u32("opponent money", company + 144 + 32, 1500000000u);
    with_u32("salary", driver + 68, 0x7FFFFFFFu);
    with_u32("salary", driver + 68, 0xFFFFFFFFu);
    with_u32("week", at.week(), 0xFFFFFFFFu);
    with_u32("level", at.level(), 9);

    for (const case_t& c : cases) {
        SCOPED_TRACE(c.what);
        write(c.bytes);
        EXPECT_EQ(save_game_check_file("/saves/career.sav"), save_game_damaged);
        economy_ctrl_e target;
        truck_world_.state = {};
        EXPECT_FALSE(read_into(target));
        EXPECT_TRUE(target.drivers.empty() && target.trucks.empty()) << "the economy took nothing";
        EXPECT_EQ(target.companies[0].money, 0);
        EXPECT_FALSE(truck_world_.state.has_trailer) << "the truck was not placed";
    }
}

TEST_F(save_damage_test, a_trailer_damage_past_its_range_is_clamped_and_its_place_unread_without_a_trailer)
{
    std::string bytes = good_;
    save_bytes_set_f32(bytes, layout_.truck + 60, 7.0f);
    write(bytes);
    economy_ctrl_e target;
    ASSERT_TRUE(read_into(target));
    EXPECT_EQ(truck_world_.state.trailer_damage, 1.0f);

    // Without a trailer its stored place means nothing and is not checked.
    save_bytes_set_u32(bytes, layout_.truck + 28, 0);
    save_bytes_set_f32(bytes, layout_.truck + 32, std::numeric_limits<float>::quiet_NaN());
    write(bytes);
    EXPECT_EQ(save_game_check_file("/saves/career.sav"), save_game_loadable);
}

}  // namespace
