#pragma once
#include <cstddef>
#include <cstdint>

// Entry points of the info-file grammar (".info.xml"): an animated model's psm model file, its layer
// files and its looks.

// What the grammar's actions do to the info being read.
class psb_info_actions_t {
public:
    virtual ~psb_info_actions_t() = default;
    // Sets the model file; false stops the parse.
    virtual bool set_model(const char* file) = 0;
    // Adds and loads a layer file with everything it names; false stops the parse.
    virtual bool add_layer(const char* file) = 0;
    // Opens a look; its shaders follow.
    virtual void begin_look(const char* name) = 0;
    // Appends a shader to the open look.
    virtual void add_shader(const char* file) = 0;
    // Appends `count` placeholder shaders to the open look.
    virtual void add_skip(int32_t count) = 0;
};

// The info being read; set by its reader around one parse.
extern psb_info_actions_t* psb_current_info;

// Most placeholder shaders one skip element may ask for.
constexpr int32_t psb_most_skipped_shaders = 1024;

// Parses `length` bytes of info-file text; true when accepted.
bool psb_info_parse_text(const char* text, size_t length);
// Resets the scanner: line 1, column 0, outside any tag.
void psb_info_scan_reset();
// Next token of the current text (0 at its end); sets the token value and location.
int psb_info_scan();
// Runs the parser: 0 accepted, 1 stopped, 2 parser stack overflow.
int psb_info_parse();
// Reports a parser message with the location of the current token.
void psb_info_error(const char* text);
