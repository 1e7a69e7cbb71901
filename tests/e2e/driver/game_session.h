#pragma once
#include <string>
#include <vector>

// The game module run in this process the way the kavrenta host runs it: the engine reset, the data
// root and the documents folder set, the module's command line passed, DLL_register with the engine
// library's handle, DLL_game_init, then one engine frame of the host's fixed frame time at a time.
class game_session_t {
public:
    ~game_session_t() { stop(); }

    // Starts the game on `data_root` with `documents` as the user's documents folder (the game's home is
    // its Kavrenta folder) and `arguments` as the module's command line; false with `error` set when
    // the module cannot start.
    bool start(const std::string& data_root, const std::string& documents, const std::vector<std::string>& arguments,
               std::string& error);
    // Runs one engine frame; false once no process is left or the game quit.
    bool frame();
    // Seconds one frame lasts.
    double frame_seconds() const;
    // The game's home folder.
    std::string home() const { return documents_ + "/Kavrenta"; }
    // Shuts the module down as the host does at the end of a run.
    void stop();

private:
    bool running_ = false;
    std::string documents_;
};
