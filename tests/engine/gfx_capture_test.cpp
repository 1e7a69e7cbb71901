#include <cstring>
#include <vector>

#include "engine/gfx.h"
#include "engine/gfx_record.h"
#include "engine/png.h"
#include "engine_testing/png_decode.h"
#include "gfx_screen_fixture.h"

namespace {

std::vector<uint8_t> written;

bool to_memory(void*, const void* bytes, size_t size)
{
    const auto* b = static_cast<const uint8_t*>(bytes);
    written.insert(written.end(), b, b + size);
    return true;
}

bool refuse(void*, const void*, size_t) { return false; }

// The screen's capture, compressed as a screenshot would be.
void capture_to_png(uint16_t width, uint16_t height, const uint8_t* pixels)
{
    written.clear();
    EXPECT_TRUE(png_compress(width, height, 3, 8, pixels, to_memory, nullptr));
}

class gfx_capture_test : public gfx_screen_test_t {
protected:
    void SetUp() override
    {
        gfx_screen_test_t::SetUp();
        ASSERT_NO_FATAL_FAILURE(open_screen(800, 600));
    }
};

TEST_F(gfx_capture_test, a_captured_frame_is_a_valid_png_of_the_screen)
{
    gfx_screen_capture(capture_to_png);
    gfx_begin_frame();
    gfx_clear1(0xffffffff, 0xff336699);
    gfx_end_frame();
    EXPECT_TRUE(gfx_try_capture());
    gfx_swapbuffers();
    EXPECT_EQ(gfx_record_last().captures, 1);

    ASSERT_GT(written.size(), 8u);
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    EXPECT_EQ(std::memcmp(written.data(), signature, 8), 0);
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(png_decode_rgb(written, width, height, rgb));
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(rgb[0], 0x33);
    EXPECT_EQ(rgb[1], 0x66);
    EXPECT_EQ(rgb[2], 0x99);

    // One request, one capture.
    EXPECT_FALSE(gfx_try_capture());
}

TEST_F(gfx_capture_test, png_compress_refuses_bad_images_and_a_failing_writer)
{
    const uint8_t pixels[12] = {};
    EXPECT_FALSE(png_compress(0, 2, 3, 8, pixels, to_memory, nullptr));
    EXPECT_FALSE(png_compress(2, 2, 2, 8, pixels, to_memory, nullptr));
    EXPECT_FALSE(png_compress(2, 2, 3, 16, pixels, to_memory, nullptr));
    EXPECT_FALSE(png_compress(2, 2, 3, 8, nullptr, to_memory, nullptr));
    EXPECT_FALSE(png_compress(2, 2, 3, 8, pixels, refuse, nullptr));
    EXPECT_TRUE(engine_log_has("png_compress: unsupported format (2 planes of 8 bits)"));

    written.clear();
    EXPECT_TRUE(png_compress(2, 2, 3, 8, pixels, to_memory, nullptr));
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    EXPECT_TRUE(png_decode_rgb(written, width, height, rgb));
}

}  // namespace
