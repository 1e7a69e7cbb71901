#include "anim_file.h"

#include "engine/psm_file.h"
#include "text_reader.h"

namespace {

// Most frames an animation may have: more than an hour at 60 frames a second.
constexpr int64_t max_frames = 1 << 20;
// Most keys of one bone track (each five numbers: frame, turn axis x y z, degrees) and most tracks.
constexpr size_t max_keys = 4096;
constexpr size_t max_tracks = 256;

// Reads the keys of a bone track: "{ frame ax ay az degrees ... }", frames rising.
bool read_track(psm_text_reader_t& reader, int line, psm_anim_track_t& track)
{
    std::vector<float> numbers;
    if (!reader.floats(numbers, max_keys * 5, "bone keys"))
        return false;
    if (numbers.empty() || numbers.size() % 5 != 0) {
        reader.scanner().fail(line, "bone %s: keys are groups of five numbers (frame, axis x y z, degrees)",
                              track.bone_name.c_str());
        return false;
    }
    for (size_t at = 0; at < numbers.size(); at += 5) {
        psm_anim_key_t key;
        key.frame = numbers[at];
        if (!track.keys.empty() && !(key.frame > track.keys.back().frame)) {
            reader.scanner().fail(line, "bone %s: key frames must rise", track.bone_name.c_str());
            return false;
        }
        key.turn.set(vec3_t(numbers[at + 1], numbers[at + 2], numbers[at + 3]), numbers[at + 4]);
        track.keys.push_back(key);
    }
    return true;
}

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
        } else if (token.kind == token_kind_t::word && token.text == "bone") {
            psm_anim_track_t track;
            if (!reader.name(track.bone_name, "bone name") || !read_track(reader, token.line, track))
                return false;
            for (const psm_anim_track_t& other : out.tracks)
                if (other.bone_name == track.bone_name) {
                    scanner.fail(token.line, "bone %s has two tracks", track.bone_name.c_str());
                    return false;
                }
            if (out.tracks.size() >= max_tracks) {
                scanner.fail(token.line, "more than %zu bone tracks", max_tracks);
                return false;
            }
            out.tracks.push_back(std::move(track));
        } else {
            scanner.fail(token.line, "expected \"frames\", \"length\" (once each) or \"bone\", found \"%s\"",
                         token.text.c_str());
            return false;
        }
    }
    if (scanner.failed())
        return false;
    if (!has_frames || !has_length) {
        scanner.fail(0, "an animation needs \"frames\" and \"length\"");
        return false;
    }
    for (const psm_anim_track_t& track : out.tracks)
        if (track.keys.front().frame < 0 || track.keys.back().frame > float(frames - 1)) {
            scanner.fail(0, "bone %s: key frames lie outside 0 .. %lld", track.bone_name.c_str(),
                         static_cast<long long>(frames - 1));
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
