#pragma once
#include <cstdint>
#include <string>

// What the host program was asked for on its command line. Families of the engine read the parts they
// need (the file system its roots, the random source its seed, the clock its frame time).
struct host_settings_t {
    std::string data_root;  // read-only game data, mounted at "/"
    std::string home;       // writable home mounted by the host itself (tests); empty: the module mounts its own
    std::string documents;  // the user's documents folder (--home), where the module makes its home
    double frame_seconds = 1.0 / 60.0;
    bool realtime = false;  // wall-clock frame time instead of the fixed one
    uint32_t seed = 1;
    std::string input_script;  // scripted input file, empty for none
    bool draw = false;         // paint every frame (--draw), not only the frames a screenshot is taken of
    std::string drawn_text;    // --drawn-text FILE: each captured frame's drawn markup text appended there
};

// The one settings record of this process.
host_settings_t& host_settings();

// Asks the host's frame loop to stop after the current frame (the "quit" command ends here).
void host_request_quit();
bool host_quit_requested();
void host_clear_quit();
