#pragma once
#include <string_view>

#include "engine/psm.h"

// Readers of the model library's two text formats (docs/formats.md, "Models and animations"), for
// callers that hold the text already (the library itself reads files through the virtual file system).

// Parses the text of a model; `source` names it in messages. The model data with one use (give it back
// with psm_info_release), or null after an error line "<source>:<line>: <what>".
psm_info_t* psm_info_parse(std::string_view text, const char* source);

// Parses the text of an animation into its frame count and length in seconds; false after an error
// line "<source>:<line>: <what>".
bool psm_anim_parse(std::string_view text, const char* source, int* out_frames, float* out_length);
