#include "frame/save_game.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "engine_testing/engine_test.h"
#include "common/engine_api.h"
#include "common/save_timestamp.h"
#include "common/vfs_le.h"

namespace {

// A section owner of the test: its section is its magic and one 32-bit value, which a load takes.
class test_section_t : public save_section_owner_t {
public:
    explicit test_section_t(const char* magic) : magic_(magic) {}

    int32_t save(const int file) override
    {
        if (fail_save)
            return -1;
        const long size = static_cast<long>(std::strlen(magic_) + 1);
        const long written = api::vfs_write(file, magic_, size);
        return static_cast<int32_t>(written + (vfs_write_i32(file, value) ? 4 : 0));
    }

    int32_t check(const int file, int32_t) override
    {
        int32_t ignored = 0;
        return read(file, ignored);
    }

    int32_t load(const int file, const int32_t version) override
    {
        ++loads;
        seen_version = version;
        int32_t loaded = 0;
        const int32_t size = read(file, loaded);
        if (size >= 0)
            value = loaded;
        return size;
    }

    int32_t value = 0;
    int loads = 0;
    int32_t seen_version = 0;
    bool fail_save = false;

private:
    // Reads the magic and the value; answers the bytes, or -1.
    int32_t read(const int file, int32_t& out) const
    {
        const size_t size = std::strlen(magic_) + 1;
        char read[64] = {};
        if (api::vfs_read(file, read, static_cast<long>(size)) != static_cast<long>(size) ||
            std::memcmp(read, magic_, size) != 0 || !vfs_read_i32(file, &out))
            return -1;
        return static_cast<int32_t>(size + 4);
    }

    const char* magic_;
};

// The economy's trailer, written with fixed values.
class test_timestamp_t : public save_timestamp_owner_t {
public:
    int32_t save_timestamp_write(const int file) override
    {
        return save_timestamp_write_values(file, value, game_clock);
    }
    int32_t save_timestamp_read(const int file) override { return save_timestamp_read_values(file, nullptr, nullptr); }
    void save_timestamp_default() override { value = 0; }
    int32_t value = 0;
    float game_clock = 0.0f;
};

// The four sections of the test's world and their trailer.
struct test_world_t {
    test_section_t environment{"3nv1r0nm3nth34d3r"};
    test_section_t game_ctrl{"g4m3ctrlh34d3r"};
    test_section_t traffic{"tr4ff1ch34d3r"};
    test_section_t economy{"3c0n0m7ctrlh34d3r"};
    test_timestamp_t timestamp;

    save_game_owners_t owners()
    {
        save_game_owners_t o;
        o.sections[save_section_environment] = &environment;
        o.sections[save_section_game_ctrl] = &game_ctrl;
        o.sections[save_section_traffic] = &traffic;
        o.sections[save_section_economy] = &economy;
        o.timestamp = &timestamp;
        return o;
    }
    void set_values(const int32_t base)
    {
        environment.value = base + 1;
        game_ctrl.value = base + 2;
        traffic.value = base + 3;
        economy.value = base + 4;
    }
};

class save_game_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        bind_engine_for_tests();
        std::filesystem::create_directories(home_ / "saves");
    }

    // Writes the test world with recognisable values to "/saves/one.sav" and answers its host path.
    std::filesystem::path write_saved_world()
    {
        test_world_t world;
        world.set_values(100);
        world.timestamp.value = 7;
        world.timestamp.game_clock = 28800.5f;
        EXPECT_TRUE(save_game_write(world.owners(), "/saves/one.sav"));
        return home_ / "saves" / "one.sav";
    }

    static std::string bytes_of(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void replace_file(const std::filesystem::path& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
};

TEST_F(save_game_test, writes_version_sections_in_order_and_trailer)
{
    const std::string bytes = bytes_of(write_saved_world());
    std::string expected("\x0e\0\0\0", 4);
    expected += std::string("3nv1r0nm3nth34d3r\0", 18) + std::string("\x65\0\0\0", 4);
    expected += std::string("g4m3ctrlh34d3r\0", 15) + std::string("\x66\0\0\0", 4);
    expected += std::string("tr4ff1ch34d3r\0", 14) + std::string("\x67\0\0\0", 4);
    expected += std::string("3c0n0m7ctrlh34d3r\0", 18) + std::string("\x68\0\0\0", 4);
    expected += std::string("t1m3st4mph34d3r\0", 16) + std::string("\x07\0\0\0", 4);
    expected += std::string("\x00\x01\xe1\x46", 4);  // 28800.5f
    EXPECT_EQ(bytes, expected);
}

TEST_F(save_game_test, a_save_read_back_gives_what_was_written)
{
    write_saved_world();
    test_world_t world;
    ASSERT_TRUE(save_game_read(world.owners(), "/saves/one.sav"));
    EXPECT_EQ(world.environment.value, 101);
    EXPECT_EQ(world.game_ctrl.value, 102);
    EXPECT_EQ(world.traffic.value, 103);
    EXPECT_EQ(world.economy.value, 104);
    EXPECT_EQ(world.economy.seen_version, 14);
    EXPECT_TRUE(engine_log_matching("corrupted").empty());

    int32_t value = 0;
    float game_clock = 0.0f;
    EXPECT_TRUE(save_game_read_timestamp("/saves/one.sav", &value, &game_clock));
    EXPECT_EQ(value, 7);
    EXPECT_EQ(game_clock, 28800.5f);
    EXPECT_TRUE(save_game_check_version("/saves/one.sav"));
}

TEST_F(save_game_test, reads_versions_twelve_to_fourteen_and_refuses_the_others)
{
    const std::filesystem::path path = write_saved_world();
    const std::string bytes = bytes_of(path);
    const struct {
        char version;
        bool read;
    } cases[] = {{11, false}, {12, true}, {13, true}, {14, true}, {15, false}};
    for (const auto& c : cases) {
        log_clear_capture();
        replace_file(path, std::string(1, c.version) + bytes.substr(1));
        test_world_t world;
        EXPECT_EQ(save_game_read(world.owners(), "/saves/one.sav"), c.read) << int(c.version);
        EXPECT_EQ(save_game_check_version("/saves/one.sav"), c.read) << int(c.version);
        EXPECT_EQ(engine_log_matching("incorrect version of save file !").size(), c.read ? 0u : 2u);
        EXPECT_EQ(world.environment.loads, c.read ? 1 : 0) << "a refused version reads no section";
        if (c.read) {
            EXPECT_EQ(world.environment.seen_version, c.version);
        }
    }
}

TEST_F(save_game_test, a_file_with_a_byte_appended_inserted_or_cut_is_corrupt_and_changes_nothing)
{
    const std::filesystem::path path = write_saved_world();
    const std::string bytes = bytes_of(path);
    const std::string before_trailer = bytes.substr(0, bytes.size() - save_timestamp_size);
    const std::string trailer = bytes.substr(bytes.size() - save_timestamp_size);
    for (const std::string& changed :
         {bytes + "x", before_trailer + "x" + trailer, bytes.substr(0, bytes.size() - 1), bytes.substr(0, 27)}) {
        log_clear_capture();
        replace_file(path, changed);
        test_world_t world;
        EXPECT_FALSE(save_game_read(world.owners(), "/saves/one.sav")) << changed.size();
        EXPECT_TRUE(engine_log_has("savegame /saves/one.sav is corrupted !"));
        EXPECT_EQ(world.environment.loads + world.game_ctrl.loads + world.traffic.loads + world.economy.loads, 0)
            << "refused before any section is applied";
    }
}

TEST_F(save_game_test, a_section_that_does_not_recognise_its_bytes_leaves_every_section_as_it_was)
{
    const std::filesystem::path path = write_saved_world();
    std::string bytes = bytes_of(path);
    bytes[4 + 22] = 'G';  // the game controller's magic
    replace_file(path, bytes);
    test_world_t world;
    world.set_values(0);
    EXPECT_FALSE(save_game_read(world.owners(), "/saves/one.sav"));
    EXPECT_EQ(world.environment.loads + world.game_ctrl.loads + world.traffic.loads + world.economy.loads, 0)
        << "the section before the damaged one is not applied either";
    EXPECT_EQ(world.environment.value, 1);
    EXPECT_TRUE(engine_log_has("[save_game] /saves/one.sav: the game controller section is not recognised"));
    EXPECT_TRUE(engine_log_has("savegame /saves/one.sav is corrupted !"));
}

TEST_F(save_game_test, a_write_that_fails_answers_false_and_leaves_no_file)
{
    test_world_t world;
    world.traffic.fail_save = true;
    EXPECT_FALSE(save_game_write(world.owners(), "/saves/broken.sav"));
    EXPECT_TRUE(engine_log_has("[save_game] failed to write /saves/broken.sav; the old save is kept"));
    EXPECT_FALSE(std::filesystem::exists(home_ / "saves" / "broken.sav"));
    EXPECT_FALSE(std::filesystem::exists(home_ / "saves" / "broken.sav.new"));

    world.traffic.fail_save = false;
    EXPECT_FALSE(save_game_write(world.owners(), "/no_such_folder/x.sav"));
    EXPECT_TRUE(engine_log_has("[save_game] cannot create /no_such_folder/x.sav.new"));

    save_game_owners_t without_traffic = world.owners();
    without_traffic.sections[save_section_traffic] = nullptr;
    EXPECT_FALSE(save_game_write(without_traffic, "/saves/partial.sav"));
    EXPECT_FALSE(save_game_read(without_traffic, "/saves/partial.sav"));
    EXPECT_FALSE(std::filesystem::exists(home_ / "saves" / "partial.sav"));
}

// A traffic section that, while it is written, looks at the save being replaced and then stops the
// write as a kill or a full disk would.
class interrupted_section_t : public test_section_t {
public:
    interrupted_section_t(const std::filesystem::path& old_save, std::string old_bytes)
        : test_section_t("tr4ff1ch34d3r"), old_save_(old_save), old_bytes_(std::move(old_bytes))
    {}
    int32_t save(const int file) override
    {
        test_section_t::save(file);
        std::ifstream in(old_save_, std::ios::binary);
        old_whole_during_write = std::string(std::istreambuf_iterator<char>(in), {}) == old_bytes_;
        return -1;
    }
    bool old_whole_during_write = false;

private:
    std::filesystem::path old_save_;
    std::string old_bytes_;
};

TEST_F(save_game_test, overwriting_a_save_goes_through_a_file_beside_it_and_a_failure_keeps_the_old_one)
{
    const std::filesystem::path path = write_saved_world();
    const std::string old_bytes = bytes_of(path);

    test_world_t world;
    world.set_values(500);
    interrupted_section_t traffic(path, old_bytes);
    save_game_owners_t owners = world.owners();
    owners.sections[save_section_traffic] = &traffic;
    EXPECT_FALSE(save_game_write(owners, "/saves/one.sav"));
    EXPECT_TRUE(traffic.old_whole_during_write) << "the old save is not opened for writing";
    EXPECT_EQ(bytes_of(path), old_bytes);
    EXPECT_FALSE(std::filesystem::exists(home_ / "saves" / "one.sav.new"));

    // A kill between the written file and the rename leaves that file beside the old save, which
    // still loads; the next save replaces both.
    replace_file(home_ / "saves" / "one.sav.new", old_bytes.substr(0, 30));
    test_world_t loaded;
    EXPECT_TRUE(save_game_read(loaded.owners(), "/saves/one.sav"));
    EXPECT_EQ(loaded.economy.value, 104);
    ASSERT_TRUE(save_game_write(world.owners(), "/saves/one.sav"));
    EXPECT_FALSE(std::filesystem::exists(home_ / "saves" / "one.sav.new"));
    ASSERT_TRUE(save_game_read(loaded.owners(), "/saves/one.sav"));
    EXPECT_EQ(loaded.economy.value, 504);
}

// Checks of the test world's sections without owners, as the game's own checks stand in a table.
template <const char* magic> int32_t check_magic_section(const int file, const int32_t version)
{
    test_section_t section(magic);
    return section.check(file, version);
}
constexpr char environment_magic[] = "3nv1r0nm3nth34d3r";
constexpr char game_ctrl_magic[] = "g4m3ctrlh34d3r";
constexpr char traffic_magic[] = "tr4ff1ch34d3r";
constexpr char economy_magic[] = "3c0n0m7ctrlh34d3r";
const save_game_checks_t test_checks{{check_magic_section<environment_magic>, check_magic_section<game_ctrl_magic>,
                                      check_magic_section<traffic_magic>, check_magic_section<economy_magic>}};

TEST_F(save_game_test, a_save_is_checked_whole_without_a_world)
{
    const std::filesystem::path path = write_saved_world();
    const std::string bytes = bytes_of(path);
    EXPECT_EQ(save_game_check(test_checks, "/saves/one.sav"), save_game_loadable);
    EXPECT_EQ(save_game_check(test_checks, "/saves/none.sav"), save_game_unreadable);
    std::string flipped = bytes;
    flipped[4 + 22 + 19] = 'T';  // the traffic's magic
    const struct {
        const char* what;
        std::string bytes;
        save_game_check_t found;
    } cases[] = {
        {"version 15", std::string(1, 15) + bytes.substr(1), save_game_wrong_version},
        {"cut in the version", bytes.substr(0, 2), save_game_damaged},
        {"cut in the economy", bytes.substr(0, 70), save_game_damaged},
        {"no trailer", bytes.substr(0, bytes.size() - 24), save_game_damaged},
        {"byte appended", bytes + "x", save_game_damaged},
        {"traffic magic flipped", flipped, save_game_damaged},
    };
    for (const auto& c : cases) {
        replace_file(path, c.bytes);
        EXPECT_EQ(save_game_check(test_checks, "/saves/one.sav"), c.found) << c.what;
    }
}

TEST_F(save_game_test, the_trailer_reader_needs_an_open_file_ending_with_the_trailer)
{
    int32_t value = -1;
    float game_clock = -1.0f;
    EXPECT_FALSE(save_game_read_timestamp("/saves/none.sav", &value, &game_clock));
    EXPECT_FALSE(save_game_check_version("/saves/none.sav"));

    const std::filesystem::path path = write_saved_world();
    const std::string bytes = bytes_of(path);
    for (const std::string& changed : {bytes + "x", std::string("t1m3st4mph34d3r"), std::string()}) {
        replace_file(path, changed);
        EXPECT_FALSE(save_game_read_timestamp("/saves/one.sav", &value, &game_clock)) << changed.size();
    }
    EXPECT_EQ(value, -1) << "outputs untouched on failure";
    EXPECT_EQ(game_clock, -1.0f);

    // The trailer alone is read without reading the sections before it.
    replace_file(path, std::string("garbage") + bytes.substr(bytes.size() - 24));
    EXPECT_TRUE(save_game_read_timestamp("/saves/one.sav", &value, &game_clock));
    EXPECT_EQ(value, 7);
}

}  // namespace
