#pragma once
#include <string>
#include <string_view>

#include "model_data.h"

// Reads the text of an animation file into `out` (frames and length; the path is the caller's); false
// after the scanner reported the first fault as "<source>:<line>: <what>".
bool psm_anim_read_text(std::string_view text, const std::string& source, psm_anim_data_t& out);
