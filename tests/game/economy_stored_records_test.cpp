#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/mbio.h"
#include "economy_fixture.h"
#include "game/economy/ai_data_file.h"
#include "game/economy/economy_record_io.h"

// The economy's stored records read from files written before and written back: the same bytes.

namespace {

std::vector<uint8_t> file_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The bytes of a saved career from its economy section's magic to the file's end (none without one).
std::vector<uint8_t> saved_career_from_economy()
{
    const std::vector<uint8_t> save =
        file_bytes(KAVRENTA_SOURCE_DIR "/fuzz/corpus/save_game_file/career_with_trucks_jobs_and_trailer.sav");
    static const char magic[] = "3c0n0m7ctrlh34d3r";
    return {std::search(save.begin(), save.end(), magic, magic + sizeof magic), save.end()};
}

}  // namespace

TEST_F(economy_test, a_career_saved_with_trucks_jobs_and_a_trailer_writes_back_to_its_own_bytes)
{
    const std::vector<uint8_t> saved = saved_career_from_economy();
    economy_ctrl_e economy;
    economy.set_world(&world);
    mbio_t in(saved.data(), saved.size());
    std::string error;
    ASSERT_TRUE(economy.read_section(in, 14, error)) << error;
    ASSERT_FALSE(economy.drivers.empty());
    ASSERT_GT(economy.job_count(), 0);

    mbio_t out;
    out.open_grow();
    ASSERT_TRUE(economy.write_section(out));
    ASSERT_EQ(out.size(), in.position());
    EXPECT_TRUE(std::equal(out.data(), out.data() + out.size(), saved.data()));
}

TEST_F(economy_test, the_saved_career_without_the_offers_rows_reads_as_version_13_to_the_same_records)
{
    const std::vector<uint8_t> saved = saved_career_from_economy();
    economy_ctrl_e current;
    current.set_world(&world);
    mbio_t in(saved.data(), saved.size());
    std::string error;
    ASSERT_TRUE(current.read_section(in, 14, error)) << error;
    // Version 13 sections end before the special offer's rows: countdown, flag, deadline, reminders,
    // reminder time and text.
    const size_t offer_bytes = 4 + 1 + 4 + 4 + 4 + 2048;
    const size_t records_bytes = in.position() - offer_bytes;
    std::vector<uint8_t> old(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(records_bytes));

    economy_ctrl_e loaded;
    loaded.set_world(&world);
    const float fresh_countdown = loaded.offer.countdown;
    mbio_t old_in(old.data(), old.size());
    ASSERT_TRUE(loaded.read_section(old_in, 13, error)) << error;
    EXPECT_EQ(old_in.remaining(), 0u);
    EXPECT_EQ(loaded.offer.countdown, fresh_countdown) << "the offer keeps the fresh controller's";
    EXPECT_EQ(loaded.offer.active, 0);
    mbio_t out;
    out.open_grow();
    ASSERT_TRUE(loaded.write_section(out));
    ASSERT_EQ(out.size(), records_bytes + offer_bytes);
    EXPECT_TRUE(std::equal(old.begin(), old.end(), out.data())) << "every record as the newer save holds it";
}

TEST_F(economy_test, the_sample_maps_docks_write_back_to_their_own_bytes)
{
    const std::vector<uint8_t> aid = file_bytes(KAVRENTA_SOURCE_DIR "/data/maps/mainland.aid");
    std::vector<dock_t> docks;
    std::string error;
    ASSERT_TRUE(ai_data_parse(aid.data(), aid.size(), 1000, docks, error)) << error;
    ASSERT_FALSE(docks.empty());
    mbio_t out;
    out.open_grow();
    out.write_u32(ai_data_version);
    out.write_u32(static_cast<uint32_t>(docks.size()));
    for (const dock_t& dock : docks)
        ASSERT_TRUE(write_record(out, dock));
    EXPECT_EQ(std::vector<uint8_t>(out.data(), out.data() + out.size()), aid);
}

TEST_F(economy_test, a_saved_career_with_a_number_that_is_not_finite_is_refused)
{
    std::vector<uint8_t> saved = saved_career_from_economy();
    // The second company's prestige: after the magic, one company and the second's slots, money,
    // colour, level, headquarters, name and variant.
    const size_t prestige_at = 18 + 144 + 32 + 4 * 4 + 32 + 4;
    ASSERT_LT(prestige_at + 4, saved.size());
    const uint8_t not_a_number[] = {0x00, 0x00, 0xC0, 0x7F};
    std::memcpy(&saved[prestige_at], not_a_number, sizeof not_a_number);
    economy_ctrl_e economy;
    economy.set_world(&world);
    mbio_t in(saved.data(), saved.size());
    std::string error;
    EXPECT_FALSE(economy.read_section(in, 14, error));
    EXPECT_EQ(error, "a number that is not finite");
    EXPECT_TRUE(economy.drivers.empty());
}
