#include "host_options.h"

#include <unistd.h>

#include <climits>

#include "engine/host.h"
#include "engine/scanner.h"

namespace {

// The data folder of the source tree this host was built from, the default game data root.
std::string default_data_root()
{
#ifdef KAVRENTA_DEFAULT_DATA
    return KAVRENTA_DEFAULT_DATA;
#else
    return "data";
#endif
}

bool parse_long(const char* text, long minimum, long& value)
{
    int64_t read = 0;
    if (scanner_read_whole(text, minimum, LONG_MAX, read) != number_fault_t::none)
        return false;
    value = static_cast<long>(read);
    return true;
}

}  // namespace

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
           "  --help          this text\n"
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
        if (option == "--help") {
            options.help = true;
        } else if (option == "--realtime") {
            settings.realtime = true;
        } else if (option == "--draw") {
            settings.draw = true;
        } else if (option == "--frames" || option == "--data" || option == "--home" || option == "--dt" ||
                   option == "--seed" || option == "--input") {
            if (!has_value) {
                problem = option + " needs a value";
                return false;
            }
            const char* text = value();
            long number = 0;
            if (option == "--frames") {
                if (!parse_long(text, 0, number)) {
                    problem = "--frames needs a count of 0 or more";
                    return false;
                }
                options.frames = number;
            } else if (option == "--seed") {
                if (!parse_long(text, 0, number) || number > long(UINT32_MAX)) {
                    problem = "--seed needs a number from 0 to 4294967295";
                    return false;
                }
                settings.seed = static_cast<uint32_t>(number);
            } else if (option == "--dt") {
                double seconds = 0.0;
                if (scanner_read_real(text, 0.0, 10.0, seconds) != number_fault_t::none) {
                    problem = "--dt needs seconds from 0 to 10";
                    return false;
                }
                settings.frame_seconds = seconds;
            } else if (option == "--data") {
                settings.data_root = text;
            } else if (option == "--home") {
                settings.documents = text;
            } else {
                settings.input_script = text;
            }
        } else {
            options.module_arguments.push_back(option);
        }
    }
    return true;
}
