#include "engine/picture_file.h"

#include <png.h>

#include "engine/log.h"

std::string picture_path_of(const std::string& path)
{
    if (path.empty())
        return {};
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    const size_t stem = dot != std::string::npos && (slash == std::string::npos || dot > slash) ? dot : path.size();
    return path.substr(0, stem) + ".png";
}

bool picture_decode(const std::string& bytes, const std::string& path, picture_t& out)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        error("%s: not a PNG picture (%s)", path.c_str(), image.message);
        return false;
    }
    if (image.width == 0 || image.height == 0 || image.width > picture_side_limit ||
        image.height > picture_side_limit) {
        error("%s: picture of %ux%u pixels (each side 1 to %d)", path.c_str(), image.width, image.height,
              picture_side_limit);
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    out.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
        error("%s: damaged PNG picture (%s)", path.c_str(), image.message);
        out = picture_t{};
        return false;
    }
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    return true;
}
