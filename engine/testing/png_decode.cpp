#include "engine_testing/png_decode.h"

#include <png.h>

#include <fstream>
#include <iterator>

bool png_decode_rgb(const std::vector<uint8_t>& bytes, int& width, int& height, std::vector<uint8_t>& rgb)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return false;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
        return false;
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return true;
}

bool png_decode_rgb_file(const std::filesystem::path& path, int& width, int& height, std::vector<uint8_t>& rgb)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    return png_decode_rgb(bytes, width, height, rgb);
}
