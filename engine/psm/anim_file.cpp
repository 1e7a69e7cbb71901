#include "anim_file.h"

#include "engine/psm_file.h"
#include "text_reader.h"

namespace {

// Most frames an animation may have: more than an hour at 60 frames a second.
constexpr int64_t max_frames = 1 << 20;

}  // namespace

bool psm_anim_read_text(std::string_view text, const std::string& source, psm_anim_data_t& out)
{
    psm_text_reader_t reader(text, source);
    scanner_t& scanner = reader.scanner();
    if (!reader.header("psa", 1))
        return false;
    int64_t frames = 0;
    double length = 0;
    bool has_frames = false, has_length = false;
    token_t token;
    while (scanner.next(token)) {
        if (token.kind == token_kind_t::word && token.text == "frames" && !has_frames) {
            has_frames = scanner.read_whole(frames, "frames", 1, max_frames);
            if (!has_frames)
                return false;
        } else if (token.kind == token_kind_t::word && token.text == "length" && !has_length) {
            if (!scanner.read_real(length, "length"))
                return false;
            if (!(static_cast<float>(length) > 0.0f)) {
                scanner.fail(token.line, "length must be above 0 seconds");
                return false;
            }
            has_length = true;
        } else {
            scanner.fail(token.line, "expected \"frames\" or \"length\" (once each), found \"%s\"", token.text.c_str());
            return false;
        }
    }
    if (scanner.failed())
        return false;
    if (!has_frames || !has_length) {
        scanner.fail(0, "an animation needs \"frames\" and \"length\"");
        return false;
    }
    out.frames = static_cast<int>(frames);
    out.length = static_cast<float>(length);
    return true;
}

bool psm_anim_parse(std::string_view text, const char* source, int* out_frames, float* out_length)
{
    psm_anim_data_t anim;
    if (!psm_anim_read_text(text, source ? source : "(animation)", anim))
        return false;
    if (out_frames)
        *out_frames = anim.frames;
    if (out_length)
        *out_length = anim.length;
    return true;
}
