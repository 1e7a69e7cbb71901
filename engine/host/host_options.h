#pragma once
#include <string>
#include <vector>

// The host's own command-line options; everything else belongs to the module.
struct host_options_t {
    long frames = -1;  // -1 runs until quit
    bool help = false;
    bool version = false;
    std::vector<std::string> module_arguments;  // argument 0 is the program name
};

// Reads the host options into `options` and the global host settings. False with `problem` set on a
// malformed or unknown option (any argument beginning with "--" is the host's).
bool parse_host_options(int argc, char** argv, host_options_t& options, std::string& problem);

// The usage text.
const char* host_usage();
// The version line.
const char* host_version();
