#include "engine/input_script.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/log.h"
#include "engine/scanner.h"
#include "input_state.h"

namespace {

// Largest script file read; a bigger one is refused rather than read in part.
constexpr std::streamoff max_script_bytes = 16 << 20;
// Latest time an event may name, in seconds (a little over eleven days).
constexpr double max_event_time = 1e6;
// Limit of pointer coordinates.
constexpr int64_t max_cursor = 1000000;

// One line's words (tokens).
using words_t = std::vector<token_t>;

// Reads one script, stopping at the first fault, which it reports as "<source>:<line>: <what>".
class script_reader_t {
public:
    // No punctuation: a key name such as "[", "=" or "," is a word like any other.
    script_reader_t(std::string_view text, const std::string& source) : scanner_(text, source, "") {}

    bool read(std::vector<inp_event_t>& events)
    {
        token_t token;
        bool more = scanner_.next(token);
        while (more) {
            line_ = token.line;
            words_t words;
            while (more && token.line == line_) {
                words.push_back(std::move(token));
                more = scanner_.next(token);
            }
            if (scanner_.failed())
                return false;
            inp_event_t event;
            if (!read_event(words, event))
                return false;
            events.push_back(std::move(event));
        }
        return !scanner_.failed();
    }

private:
    bool fail(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        char what[512];
        va_list args;
        va_start(args, format);
        vsnprintf(what, sizeof what, format, args);
        va_end(args);
        scanner_.fail(line_, "%s", what);
        return false;
    }

    bool number(const token_t& word, const char* what, double& value, double minimum = -scanner_t::real_limit,
                double maximum = scanner_t::real_limit)
    {
        return scanner_.real_of(word, value, what, minimum, maximum);
    }

    bool integer(const token_t& word, const char* what, int64_t minimum, int64_t maximum, int& value)
    {
        int64_t read = 0;
        if (!scanner_.whole_of(word, read, what, minimum, maximum))
            return false;
        value = static_cast<int>(read);
        return true;
    }

    bool count(const words_t& words, size_t least, size_t most)
    {
        const size_t arguments = words.size() - 2;
        if (arguments < least || arguments > most)
            return fail("\"%s\" takes %zu to %zu arguments, not %zu", words[1].text.c_str(), least, most, arguments);
        return true;
    }

    bool read_event(const words_t& words, inp_event_t& event)
    {
        if (words.size() < 2)
            return fail("a line needs a time and an action");
        if (!number(words[0], "the time", event.time, 0.0, max_event_time))
            return false;
        const std::string& action = words[1].text;
        if (action == "press" || action == "release")
            return read_key(words, event, action == "press");
        if (action == "impulse")
            return read_impulse(words, event);
        if (action == "axis")
            return read_axis(words, event);
        if (action == "cursor")
            return read_cursor(words, event);
        if (action == "joystick")
            return read_joystick(words, event);
        return fail("unknown action \"%s\"", action.c_str());
    }

    bool read_key(const words_t& words, inp_event_t& event, bool press)
    {
        if (!count(words, 1, 1))
            return false;
        const inp_trigger_t* trigger = input_trigger_named(words[2].text.c_str());
        if (!trigger)
            return fail("no key is named \"%s\"", words[2].text.c_str());
        event.kind = press ? inp_event_kind_t::press : inp_event_kind_t::release;
        event.code = trigger->code;
        return true;
    }

    bool read_impulse(const words_t& words, inp_event_t& event)
    {
        double value = 0.0;
        event.kind = inp_event_kind_t::impulse;
        if (!count(words, 2, 3) || !integer(words[2], "the impulse", 0, inp_impulse_count - 1, event.impulse) ||
            !number(words[3], "the value", value))
            return false;
        event.value = static_cast<float>(value);
        return words.size() < 5 || integer(words[4], "the context", INT_MIN, INT_MAX, event.context);
    }

    bool read_axis(const words_t& words, inp_event_t& event)
    {
        double value = 0.0;
        event.kind = inp_event_kind_t::axis;
        if (!count(words, 3, 3) || !integer(words[2], "the joystick", 0, inp_code_joystick_count - 1, event.joystick) ||
            !integer(words[3], "the axis", 0, inp_joy_axis_count - 1, event.axis) ||
            !number(words[4], "the axis value", value, -1.0, 1.0))
            return false;
        event.value = static_cast<float>(value);
        return true;
    }

    bool read_cursor(const words_t& words, inp_event_t& event)
    {
        event.kind = inp_event_kind_t::cursor;
        return count(words, 2, 2) && integer(words[2], "x", -max_cursor, max_cursor, event.x) &&
               integer(words[3], "y", -max_cursor, max_cursor, event.y);
    }

    bool read_joystick(const words_t& words, inp_event_t& event)
    {
        if (!count(words, 1, 1 + inp_joy_axis_count))
            return false;
        event.kind = inp_event_kind_t::joystick;
        event.name = words[2].text;
        if (event.name.empty() || event.name.size() >= sizeof(inp_device_t::name))
            return fail("a joystick name has 1 to %zu characters", sizeof(inp_device_t::name) - 1);
        for (size_t i = 3; i < words.size(); ++i)
            event.axis_names.push_back(words[i].text);
        return true;
    }

    scanner_t scanner_;
    int line_ = 0;
};

}  // namespace

bool inp_script_parse(std::string_view text, const std::string& source, std::vector<inp_event_t>& events)
{
    std::vector<inp_event_t> read;
    if (!script_reader_t(text, source).read(read))
        return false;
    events.insert(events.end(), read.begin(), read.end());
    return true;
}

bool inp_script_load(const std::string& path)
{
    std::error_code problem;
    if (std::filesystem::exists(path, problem) && !std::filesystem::is_regular_file(path, problem)) {
        error("input script %s: not a file", path.c_str());
        return false;
    }
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        error("input script %s: cannot open it", path.c_str());
        return false;
    }
    const std::streamoff size = file.tellg();
    if (size < 0 || size > max_script_bytes) {
        error("input script %s: larger than %lld bytes", path.c_str(), static_cast<long long>(max_script_bytes));
        return false;
    }
    std::string text(static_cast<size_t>(size), '\0');
    file.seekg(0);
    if (!file.read(text.data(), size)) {
        error("input script %s: cannot read it", path.c_str());
        return false;
    }
    std::vector<inp_event_t> events;
    if (!inp_script_parse(text, path, events))
        return false;
    inp_queue_events(events);
    return true;
}
