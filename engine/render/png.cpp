#include "engine/png.h"

#include <png.h>

#include <csetjmp>
#include <vector>

#include "engine/log.h"

namespace {

// Where libpng's output goes, and whether the writer has failed.
struct png_sink_t {
    png_write_fn write;
    void* user;
    bool failed;
};

void sink_write(png_structp png, png_bytep bytes, png_size_t size)
{
    auto* sink = static_cast<png_sink_t*>(png_get_io_ptr(png));
    if (!sink->failed && !sink->write(sink->user, bytes, size))
        sink->failed = true;
    if (sink->failed)
        png_error(png, "write failed");
}

void sink_flush(png_structp) {}

void report_error(png_structp, png_const_charp text) { error("png_compress: %s", text); }
void report_warning(png_structp, png_const_charp text) { warning("png_compress: %s", text); }

int colour_type(int planes)
{
    switch (planes) {
    case 1:
        return PNG_COLOR_TYPE_GRAY;
    case 3:
        return PNG_COLOR_TYPE_RGB;
    case 4:
        return PNG_COLOR_TYPE_RGB_ALPHA;
    default:
        return -1;
    }
}

// The libpng calls, kept apart because setjmp forbids objects with destructors in the same frame.
bool write_png(png_sink_t& sink, int width, int height, int planes, png_bytep* rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, report_error, report_warning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &sink, sink_write, sink_flush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, colour_type(planes),
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool png_compress(int width, int height, int planes, int bits, const uint8_t* pixels, png_write_fn write, void* user)
{
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 || !pixels || !write) {
        error("png_compress: bad image (%dx%d)", width, height);
        return false;
    }
    if (bits != 8 || colour_type(planes) < 0) {
        error("png_compress: unsupported format (%d planes of %d bits)", planes, bits);
        return false;
    }
    const size_t stride = static_cast<size_t>(width) * static_cast<size_t>(planes);
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (size_t y = 0; y < rows.size(); ++y)
        rows[y] = const_cast<png_bytep>(pixels + y * stride);
    png_sink_t sink{write, user, false};
    return write_png(sink, width, height, planes, rows.data()) && !sink.failed;
}
