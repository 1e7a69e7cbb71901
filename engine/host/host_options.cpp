#include "host_options.h"

#include <unistd.h>

#include <climits>

#include "engine/host.h"
#include "engine/scanner.h"

namespace {

// True for a text of decimal digits alone (a count too large to read is still a count).
bool is_digits(const char* text)
{
    if (!*text)
        return false;
    for (; *text; ++text)
        if (*text < '0' || *text > '9')
            return false;
    return true;
}

// The data folder of the source tree this host was built from, the default game data root.
std::string default_data_root()
{
#ifdef KAVRENTA_DEFAULT_DATA
    return KAVRENTA_DEFAULT_DATA;
#else
    return "data";
#endif
}

// Reads the whole number of `option` within minimum..maximum; false with `problem` saying what is wrong.
bool parse_whole(const std::string& option, const char* text, long minimum, long maximum, long& value,
                 std::string& problem)
{
    int64_t read = 0;
    const number_fault_t fault = scanner_read_whole(text, minimum, maximum, read);
    if (fault == number_fault_t::none) {
        value = static_cast<long>(read);
        return true;
    }
    const std::string given = option + " " + text;
    const std::string range = std::to_string(minimum) + " to " + std::to_string(maximum);
    if (fault == number_fault_t::out_of_range || (fault == number_fault_t::not_a_number && is_digits(text)))
        problem = given + " is out of range (" + range + ")";
    else
        problem = given + " is not a whole number (" + range + ")";
    return false;
}

}  // namespace

const char* host_version()
{
#ifdef KAVRENTA_VERSION
    return "kavrenta " KAVRENTA_VERSION "\n";
#else
    return "kavrenta\n";
#endif
}

const char* host_usage()
{
    return "usage: kavrenta [host options] [module arguments]\n"
           "  --frames N      quit after N frames (default: run until quit)\n"
           "  --data DIR      read-only game data root (default: the repository's data/)\n"
           "  --home DIR      documents folder; the game's home is DIR/Kavrenta (default: ~/Documents)\n"
           "  --dt SECONDS    fixed frame time (default 1/60)\n"
           "  --realtime      use wall-clock frame time\n"
           "  --draw          paint every frame, not only those a screenshot is taken of\n"
           "  --seed N        seed of the random source (default 1)\n"
           "  --input FILE    scripted input\n"
           "  --drawn-text FILE  append the text each screenshot's frame drew to FILE\n"
           "  -h, --help      this text\n"
           "  --version       the host's version\n"
           "module arguments: -map NAME, -edit, -default_controls, -project DIR, -homeless\n";
}

bool parse_host_options(int argc, char** argv, host_options_t& options, std::string& problem)
{
    host_settings_t& settings = host_settings();
    settings.data_root = default_data_root();
    options.module_arguments = {argc > 0 ? argv[0] : "kavrenta"};
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool has_value = i + 1 < argc;
        auto value = [&]() { return argv[++i]; };
        if (option == "-h" || option == "--help") {
            options.help = true;
        } else if (option == "--version") {
            options.version = true;
        } else if (option == "--realtime") {
            settings.realtime = true;
        } else if (option == "--draw") {
            settings.draw = true;
        } else if (option == "--frames" || option == "--data" || option == "--home" || option == "--dt" ||
                   option == "--seed" || option == "--input" || option == "--drawn-text") {
            if (!has_value) {
                problem = option + " needs a value";
                return false;
            }
            const char* text = value();
            long number = 0;
            if (option == "--frames") {
                if (!parse_whole(option, text, 0, LONG_MAX, number, problem))
                    return false;
                options.frames = number;
            } else if (option == "--seed") {
                if (!parse_whole(option, text, 0, long(UINT32_MAX), number, problem))
                    return false;
                settings.seed = static_cast<uint32_t>(number);
            } else if (option == "--dt") {
                double seconds = 0.0;
                const number_fault_t fault = scanner_read_real(text, 0.0, 10.0, seconds);
                if (fault != number_fault_t::none) {
                    problem = std::string("--dt ") + text +
                              (fault == number_fault_t::not_a_number ? " is not a number" : " is out of range") +
                              " (seconds from 0 to 10)";
                    return false;
                }
                settings.frame_seconds = seconds;
            } else if (option == "--data") {
                settings.data_root = text;
            } else if (option == "--home") {
                settings.documents = text;
            } else if (option == "--drawn-text") {
                settings.drawn_text = text;
            } else {
                settings.input_script = text;
            }
        } else if (option.starts_with("--")) {
            problem = "unknown option " + option;
            return false;
        } else {
            options.module_arguments.push_back(option);
        }
    }
    return true;
}
