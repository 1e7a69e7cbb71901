#include "engine_testing/golden_image.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "engine/png.h"
#include "engine_testing/png_decode.h"

namespace {

constexpr int channel_tolerance = 24;
constexpr double differing_share = 0.005;
constexpr double mean_tolerance = 2.0;

golden_picture_t halved(const golden_picture_t& in)
{
    golden_picture_t out;
    out.width = in.width / 2;
    out.height = in.height / 2;
    out.rgb.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height) * 3);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        sum += in.rgb[(static_cast<size_t>(y * 2 + dy) * static_cast<size_t>(in.width) +
                                       static_cast<size_t>(x * 2 + dx)) *
                                          3 +
                                      static_cast<size_t>(c)];
                out.rgb[(static_cast<size_t>(y) * static_cast<size_t>(out.width) + static_cast<size_t>(x)) * 3 +
                        static_cast<size_t>(c)] = static_cast<uint8_t>((sum + 2) / 4);
            }
    return out;
}

bool write_file(void* user, const void* bytes, size_t size)
{
    return std::fwrite(bytes, 1, size, static_cast<FILE*>(user)) == size;
}

bool write_reference(const golden_picture_t& picture, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = png_compress(picture.width, picture.height, 3, 8, picture.rgb.data(), write_file, file);
    return std::fclose(file) == 0 && written;
}

}  // namespace

bool golden_image_uniform(const golden_picture_t& picture)
{
    for (size_t i = 3; i + 2 < picture.rgb.size(); i += 3)
        if (std::memcmp(&picture.rgb[i], &picture.rgb[0], 3) != 0)
            return false;
    return true;
}

::testing::AssertionResult golden_image_matches(const golden_picture_t& picture, const std::string& reference)
{
    if (picture.width < 2 || picture.height < 2 ||
        picture.rgb.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 3)
        return ::testing::AssertionFailure() << "no picture was captured";
    if (golden_image_uniform(picture))
        return ::testing::AssertionFailure() << "the picture is one colour (rgb " << int(picture.rgb[0]) << ", "
                                             << int(picture.rgb[1]) << ", " << int(picture.rgb[2]) << ")";
    const golden_picture_t small = halved(picture);
    const char* update = std::getenv("KAVRENTA_UPDATE_GOLDEN");
    if (update && std::strcmp(update, "1") == 0) {
        if (!write_reference(small, reference))
            return ::testing::AssertionFailure() << "cannot write the reference " << reference;
        return ::testing::AssertionSuccess() << "wrote " << reference;
    }
    golden_picture_t expected;
    if (!png_decode_rgb_file(reference, expected.width, expected.height, expected.rgb))
        return ::testing::AssertionFailure()
               << "no reference picture " << reference << " (tools/update-golden.sh writes it)";
    if (expected.width != small.width || expected.height != small.height)
        return ::testing::AssertionFailure() << "the reference is " << expected.width << "x" << expected.height
                                             << ", the halved picture " << small.width << "x" << small.height;
    size_t differing = 0;
    double total = 0.0;
    const size_t pixels = static_cast<size_t>(small.width) * static_cast<size_t>(small.height);
    for (size_t p = 0; p < pixels; ++p) {
        int worst = 0;
        for (size_t c = 0; c < 3; ++c) {
            const int difference = std::abs(int(small.rgb[p * 3 + c]) - int(expected.rgb[p * 3 + c]));
            worst = std::max(worst, difference);
            total += difference;
        }
        if (worst > channel_tolerance)
            ++differing;
    }
    const double mean = total / static_cast<double>(pixels * 3);
    if (static_cast<double>(differing) > differing_share * static_cast<double>(pixels) || mean > mean_tolerance) {
        // Keeps what was seen beside the build for a look.
        const std::string seen =
            (std::filesystem::temp_directory_path() / (std::filesystem::path(reference).stem().string() + ".seen.png"))
                .string();
        write_reference(small, seen);
        return ::testing::AssertionFailure()
               << differing << " of " << pixels << " pixels differ by more than " << channel_tolerance
               << ", mean difference " << mean << " (from " << reference << "; seen: " << seen << ")";
    }
    return ::testing::AssertionSuccess();
}
