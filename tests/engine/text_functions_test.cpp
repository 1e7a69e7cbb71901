#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <string>

#include "engine/path.h"
#include "engine/text.h"
#include "engine_testing/engine_test.h"

namespace {

TEST(v_atoi, reads_decimal_prefixes_and_never_overflows)
{
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"42", 42},
        {"  -17x", -17},
        {"+8", 8},
        {"", 0},
        {nullptr, 0},
        {"abc", 0},
        {"3.9", 3},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"4294967295", -1},  // an unsigned 32-bit colour keeps its bits
        {"4288243302", static_cast<int>(0xFF996666u)},
        {"99999999999999999999999", INT32_MAX},
        {"-99999999999999999999", INT32_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(v_atoi(c.text), c.value) << (c.text ? c.text : "(null)");
}

TEST(v_atof, reads_decimal_prefixes_and_saturates)
{
    const struct {
        const char* text;
        float value;
    } cases[] = {
        {"1.5", 1.5f},     {" -0.25", -0.25f},  {"+3", 3.0f},    {".5", 0.5f}, {"2.5s", 2.5f},
        {"1e3", 1000.0f},  {"", 0.0f},          {nullptr, 0.0f}, {"x1", 0.0f}, {"-+1", 0.0f},
        {"1e60", FLT_MAX}, {"-1e60", -FLT_MAX}, {"1e-60", 0.0f},
    };
    for (const auto& c : cases)
        EXPECT_EQ(v_atof(c.text), c.value) << (c.text ? c.text : "(null)");
}

TEST(v_snprintf0, truncates_and_always_terminates)
{
    const struct {
        size_t size;
        const char* stored;
        int returned;
    } cases[] = {
        {16, "Height : 1234", 13}, {14, "Height : 1234", 13}, {13, "Height : 123", 12}, {2, "H", 1}, {1, "", 0}};
    for (const auto& c : cases) {
        char buffer[32];
        memset(buffer, 'z', sizeof buffer);
        EXPECT_EQ(v_snprintf0(buffer, c.size, "Height : %d", 1234), c.returned) << c.size;
        EXPECT_STREQ(buffer, c.stored) << c.size;
        EXPECT_EQ(buffer[c.size], 'z') << "wrote past the buffer of " << c.size;
    }
    EXPECT_EQ(v_snprintf0(nullptr, 8, "x"), 0);
}

TEST(v_snprintf, reports_the_full_length_and_terminates_a_cut_text)
{
    char buffer[8];
    EXPECT_EQ(v_snprintf(buffer, sizeof buffer, "%s/%s", "maps", "europe"), 11);
    EXPECT_STREQ(buffer, "maps/eu");
    EXPECT_EQ(v_snprintf(nullptr, 0, "%d", 12345), 5);
}

TEST(v_strncpy, copies_at_most_count_characters_and_a_nul)
{
    char out[8];
    memset(out, 'z', sizeof out);
    EXPECT_EQ(v_strncpy(out, "europe.map", 6), out);
    EXPECT_STREQ(out, "europe");
    EXPECT_EQ(out[7], 'z');
    v_strncpy(out, nullptr, 6);
    EXPECT_STREQ(out, "");
}

TEST(v_stpncpy, fills_the_whole_field_with_zeros)
{
    char field[9];
    memset(field, 'z', sizeof field);
    char* end = v_stpncpy(field, "Kim", 8);
    EXPECT_EQ(end, field + 3);
    const char expected[9] = {'K', 'i', 'm', 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(memcmp(field, expected, sizeof field), 0);
    end = v_stpncpy(field, "a name longer than the field", 8);
    EXPECT_EQ(end, field + 8);
    EXPECT_STREQ(field, "a name l");
}

TEST(v_strhash, is_the_same_on_every_run)
{
    // Fixed values: seeds and tables derived from names must not change between builds.
    EXPECT_EQ(v_strhash(""), 0x811c9dc5u);
    EXPECT_EQ(v_strhash(nullptr), 0x811c9dc5u);
    EXPECT_EQ(v_strhash("a"), 0xe40c292cu);
    EXPECT_EQ(v_strhash("foobar"), 0xbf9cf968u);
    EXPECT_NE(v_strhash("Scenario"), v_strhash("scenario"));
    EXPECT_EQ(v_memhash("foobar", 6), v_strhash("foobar"));
}

using path_test = engine_test_t;

TEST_F(path_test, fnsplit_splits_folder_name_and_extension)
{
    const struct {
        const char* path;
        const char* dir;
        const char* name;
        const char* ext;
    } cases[] = {
        {"/maps/europe.btr", "/maps/", "europe", "btr"},
        {"sector.a.btr", "", "sector.a", "btr"},
        {"/defs/.cfg", "/defs/", ".cfg", ""},
        {"/defs/", "/defs/", "", ""},
        {"noext", "", "noext", ""},
        {"C:\\maps\\x.map", "C:\\maps\\", "x", "map"},
        {"/dir.d/file", "/dir.d/", "file", ""},
        {"trail.", "", "trail", ""},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        char dir[32], name[32], ext[8];
        ASSERT_TRUE(v_fnsplit(c.path, dir, sizeof dir, name, sizeof name, ext, sizeof ext)) << c.path;
        EXPECT_STREQ(dir, c.dir) << c.path;
        EXPECT_STREQ(name, c.name) << c.path;
        EXPECT_STREQ(ext, c.ext) << c.path;
    }
}

TEST_F(path_test, fnsplit_reports_a_part_that_does_not_fit)
{
    char dir[32], name[4], ext[8];
    EXPECT_FALSE(v_fnsplit("/maps/europe.btr", dir, sizeof dir, name, sizeof name, ext, sizeof ext));
    EXPECT_STREQ(dir, "");
    EXPECT_STREQ(name, "");
    EXPECT_STREQ(ext, "");
    EXPECT_EQ(engine_log_matching("/maps/europe.btr").size(), 1u);
    // Only the extension wanted: the long name does not matter.
    EXPECT_TRUE(v_fnsplit("/maps/europe.btr", nullptr, 0, nullptr, 0, ext, sizeof ext));
    EXPECT_STREQ(ext, "btr");
}

TEST(path_conversion, swaps_separators_in_place)
{
    const struct {
        const char* unix_path;
        const char* dos_path;
    } cases[] = {{"/home/kim/Documents", "\\home\\kim\\Documents"}, {"maps/", "maps\\"}, {"", ""}};
    for (const auto& c : cases) {
        std::string text = c.unix_path;
        EXPECT_STREQ(v_unix2dos_path(text.data()), c.dos_path);
        EXPECT_STREQ(v_dos2unix_path(text.data()), c.unix_path);
    }
    char mixed[] = "C:\\a/b\\c";
    EXPECT_STREQ(v_dos2unix_path(mixed), "C:/a/b/c");
    EXPECT_EQ(v_dos2unix_path(nullptr), nullptr);
}

}  // namespace
