#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "engine/mbio.h"

namespace {

TEST(mbio, writes_little_endian_golden_bytes)
{
    mbio_t out;
    out.open_grow();
    ASSERT_TRUE(out.write_u8(0xAB));
    ASSERT_TRUE(out.write_u16(0x1234));
    ASSERT_TRUE(out.write_u32(0xDEADBEEF));
    ASSERT_TRUE(out.write_i32(-2));
    ASSERT_TRUE(out.write_f32(1.0f));
    ASSERT_TRUE(out.write_u64(0x0102030405060708ull));
    ASSERT_TRUE(out.write_i16(-3));
    ASSERT_TRUE(out.write_str_u8("ab"));
    ASSERT_TRUE(out.write_fixed_str("xy", 4));
    ASSERT_TRUE(out.write_str_u32("q"));
    const std::vector<uint8_t> golden = {0xAB, 0x34, 0x12, 0xEF, 0xBE, 0xAD, 0xDE, 0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x00,
                                         0x80, 0x3F, 0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01, 0xFD, 0xFF, 0x02,
                                         'a',  'b',  'x',  'y',  0,    0,    0x01, 0x00, 0x00, 0x00, 'q'};
    ASSERT_EQ(out.size(), golden.size());
    EXPECT_EQ(std::vector<uint8_t>(out.data(), out.data() + out.size()), golden);
}

TEST(mbio, every_type_round_trips)
{
    uint8_t block[96] = {};
    mbio_t out;
    out.open_write(block, sizeof block);
    const float tiny = std::numeric_limits<float>::denorm_min();
    ASSERT_TRUE(out.write_u8(255) && out.write_u16(65535) && out.write_i16(-32768) && out.write_u32(4294967295u) &&
                out.write_i32(INT32_MIN) && out.write_u64(UINT64_MAX) && out.write_f32(-0.0f) && out.write_f32(tiny) &&
                out.write_f32(NAN) && out.write_bytes("raw", 3) && out.write_str_u8("Kavrenta") &&
                out.write_str_u32("") && out.write_fixed_str("Unknown", 16));

    mbio_t in(block, out.position());
    uint8_t u8;
    uint16_t u16;
    int16_t i16;
    uint32_t u32;
    int32_t i32;
    uint64_t u64;
    float neg_zero, denorm, nan;
    char raw[3], name[16], fixed[16];
    std::string empty = "was";
    ASSERT_TRUE(in.read_u8(u8) && in.read_u16(u16) && in.read_i16(i16) && in.read_u32(u32) && in.read_i32(i32) &&
                in.read_u64(u64) && in.read_f32(neg_zero) && in.read_f32(denorm) && in.read_f32(nan) &&
                in.read_bytes(raw, 3) && in.read_str_u8(name, sizeof name) && in.read_str_u32(empty) &&
                in.read_fixed_str(fixed, sizeof fixed, 16));
    EXPECT_EQ(u8, 255);
    EXPECT_EQ(u16, 65535);
    EXPECT_EQ(i16, -32768);
    EXPECT_EQ(u32, 4294967295u);
    EXPECT_EQ(i32, INT32_MIN);
    EXPECT_EQ(u64, UINT64_MAX);
    EXPECT_TRUE(std::signbit(neg_zero) && neg_zero == 0.0f);
    EXPECT_EQ(denorm, tiny);
    EXPECT_TRUE(std::isnan(nan));
    EXPECT_EQ(memcmp(raw, "raw", 3), 0);
    EXPECT_STREQ(name, "Kavrenta");
    EXPECT_EQ(empty, "");
    EXPECT_STREQ(fixed, "Unknown");
    EXPECT_EQ(in.remaining(), 0u);
    EXPECT_FALSE(in.failed());
}

TEST(mbio, a_read_past_the_end_fails_and_leaves_everything_as_it_was)
{
    const uint8_t bytes[3] = {1, 2, 3};
    mbio_t in(bytes, sizeof bytes);
    uint8_t first;
    ASSERT_TRUE(in.read_u8(first));
    uint32_t u32 = 77;
    uint64_t u64 = 77;
    float f32 = 7.0f;
    char buffer[4] = "zz";
    EXPECT_FALSE(in.read_u32(u32));
    EXPECT_FALSE(in.read_u64(u64));
    EXPECT_FALSE(in.read_f32(f32));
    EXPECT_FALSE(in.read_bytes(buffer, 3));
    EXPECT_FALSE(in.skip(3));
    EXPECT_FALSE(in.seek(4));
    EXPECT_EQ(u32, 77u);
    EXPECT_EQ(u64, 77u);
    EXPECT_EQ(f32, 7.0f);
    EXPECT_STREQ(buffer, "zz");
    EXPECT_EQ(in.position(), 1u);
    EXPECT_TRUE(in.failed());
    EXPECT_NE(in.last_error().find("past the end"), std::string::npos) << in.last_error();
    // Still usable: what does fit reads.
    uint16_t u16;
    EXPECT_TRUE(in.read_u16(u16));
    EXPECT_EQ(u16, 0x0302);
    EXPECT_FALSE(in.read_u8(first));

    mbio_t empty;
    EXPECT_FALSE(empty.read_u8(first));
    EXPECT_FALSE(empty.write_u8(1));
}

TEST(mbio, lengths_and_counts_from_the_data_are_checked_before_use)
{
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"u8 text longer than the data", {5, 'a', 'b'}},
        {"u8 text longer than the buffer", {8, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}},
        {"u32 text longer than the data", {0xFF, 0xFF, 0xFF, 0xFF, 'a'}},
        {"count of more elements than bytes", {3, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        {"huge count", {0xFF, 0xFF, 0xFF, 0xFF, 0}},
        {"fixed field past the end", {'a', 'b', 0}},
        {"fixed field text longer than the buffer", {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        mbio_t in(c.bytes.data(), c.bytes.size());
        char text[8] = "keep";
        std::string wide = "keep";
        uint32_t count = 99;
        bool ok = true;
        const std::string name = c.name;
        if (name.rfind("u8", 0) == 0)
            ok = in.read_str_u8(text, sizeof text);
        else if (name.rfind("u32", 0) == 0)
            ok = in.read_str_u32(wide);
        else if (name.find("count") != std::string::npos)
            ok = in.read_count(count, 4);
        else
            ok = in.read_fixed_str(text, sizeof text, name.find("buffer") != std::string::npos ? 8 : 4);
        EXPECT_FALSE(ok);
        EXPECT_STREQ(text, "keep");
        EXPECT_EQ(wide, "keep");
        EXPECT_EQ(count, 99u);
        EXPECT_EQ(in.position(), 0u);
        EXPECT_FALSE(in.last_error().empty());
    }
    const uint8_t three[] = {3, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    mbio_t in(three, sizeof three);
    uint32_t count = 0;
    EXPECT_TRUE(in.read_count(count, 4));
    EXPECT_EQ(count, 3u);
}

TEST(mbio, a_bounded_writer_never_writes_past_its_block)
{
    uint8_t block[6];
    memset(block, 0xEE, sizeof block);
    mbio_t out;
    out.open_write(block, 4);
    EXPECT_TRUE(out.write_u16(1));
    EXPECT_FALSE(out.write_u32(2));
    EXPECT_FALSE(out.write_str_u8("abc"));
    EXPECT_FALSE(out.write_fixed_str("abcd", 4));  // no room for its NUL
    EXPECT_TRUE(out.write_u16(3));
    EXPECT_FALSE(out.write_u8(4));
    EXPECT_EQ(block[4], 0xEE);
    EXPECT_EQ(block[5], 0xEE);
    const std::string long_text(256, 'n');
    mbio_t grow;
    grow.open_grow();
    EXPECT_FALSE(grow.write_str_u8(long_text.c_str()));
    EXPECT_EQ(grow.last_error(), "write text of 256 bytes at offset 0: longer than a u8 length (0 bytes)");
    EXPECT_EQ(grow.size(), 0u);
}

}  // namespace
