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

// Where the economy's section starts in a save file's bytes (its magic), or the size when it has none.
size_t economy_section_start(const std::vector<uint8_t>& save)
{
    static const char magic[] = "3c0n0m7ctrlh34d3r";
    return static_cast<size_t>(std::search(save.begin(), save.end(), magic, magic + sizeof magic) - save.begin());
}

}  // namespace

TEST_F(economy_test, a_career_saved_with_trucks_jobs_and_a_trailer_writes_back_to_its_own_bytes)
{
    const std::vector<uint8_t> save =
        file_bytes(KAVRENTA_SOURCE_DIR "/fuzz/corpus/save_game_file/career_with_trucks_jobs_and_trailer.sav");
    const size_t start = economy_section_start(save);
    ASSERT_LT(start, save.size());
    economy_ctrl_e economy;
    economy.set_world(&world);
    mbio_t in(save.data() + start, save.size() - start);
    std::string error;
    ASSERT_TRUE(economy.read_section(in, 14, error)) << error;
    ASSERT_FALSE(economy.drivers.empty());
    ASSERT_GT(economy.job_count(), 0);

    mbio_t out;
    out.open_grow();
    ASSERT_TRUE(economy.write_section(out));
    ASSERT_EQ(out.size(), in.position());
    EXPECT_TRUE(std::equal(out.data(), out.data() + out.size(), save.data() + start));
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
