#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "model_data.h"

// Reads the text of a model file into model data (published, no uses yet); null after the scanner
// reported the first fault as "<source>:<line>: <what>".
std::unique_ptr<psm_model_data_t> psm_model_read_text(std::string_view text, const std::string& source);
