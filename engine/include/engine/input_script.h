#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "engine/input_queue.h"

// Input scripts: a text of timed input events (format in docs/formats.md, "Input and bindings").

// Reads a script. False with "<source>:<line>: <what>" logged, and `events` untouched, on any fault.
bool inp_script_parse(std::string_view text, const std::string& source, std::vector<inp_event_t>& events);

// Reads a script file and queues its events; false with a message, and nothing queued, on any fault.
bool inp_script_load(const std::string& path);
