#include "engine/picture_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/log.h"
#include "engine/png.h"
#include "engine_testing/engine_test.h"

namespace {

bool to_string(void* user, const void* bytes, size_t size)
{
    static_cast<std::string*>(user)->append(static_cast<const char*>(bytes), size);
    return true;
}

// A PNG of `width` x `height` pixels of `planes` planes, every byte `value`.
std::string png_of(int width, int height, int planes, uint8_t value)
{
    const std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * planes, value);
    std::string out;
    EXPECT_TRUE(png_compress(width, height, planes, 8, pixels.data(), to_string, &out));
    return out;
}

class picture_file_test : public engine_test_t {};

TEST_F(picture_file_test, pictures_sit_beside_the_file_that_names_them)
{
    const std::pair<const char*, const char*> cases[] = {{"/ui/pics/panel.shd", "/ui/pics/panel.png"},
                                                         {"/fonts/default.font", "/fonts/default.png"},
                                                         {"/a.b/shader", "/a.b/shader.png"},
                                                         {"", ""}};
    for (const auto& [path, picture] : cases)
        EXPECT_EQ(picture_path_of(path), picture) << path;
}

TEST_F(picture_file_test, grey_rgb_and_rgba_pictures_decode_to_rgba)
{
    for (const int planes : {1, 3, 4}) {
        picture_t picture;
        ASSERT_TRUE(picture_decode(png_of(3, 2, planes, 200), "/p.png", picture)) << planes;
        EXPECT_EQ(picture.width, 3);
        EXPECT_EQ(picture.height, 2);
        ASSERT_EQ(picture.rgba.size(), 24u);
        EXPECT_EQ(picture.rgba[0], 200);
        EXPECT_EQ(picture.rgba[3], planes == 4 ? 200 : 255);  // opaque without an alpha plane
    }
}

TEST_F(picture_file_test, damaged_and_oversized_pictures_are_refused_with_their_path)
{
    const std::string whole = png_of(4, 4, 3, 9);
    const std::pair<std::string, const char*> cases[] = {
        {"", "not a PNG picture"},
        {"GIF89a", "not a PNG picture"},
        {whole.substr(0, whole.size() / 2), "PNG picture"},
        {png_of(picture_side_limit + 1, 1, 1, 0), "picture of 4097x1 pixels"},
    };
    for (const auto& [bytes, problem] : cases) {
        log_clear_capture();
        picture_t picture;
        EXPECT_FALSE(picture_decode(bytes, "/bad.png", picture)) << problem;
        EXPECT_TRUE(picture.rgba.empty());
        const std::vector<std::string> lines = engine_log_matching("/bad.png: ");
        ASSERT_EQ(lines.size(), 1u) << problem;
        EXPECT_NE(lines[0].find(problem), std::string::npos) << lines[0];
    }
}

}  // namespace
