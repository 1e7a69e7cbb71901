#pragma once
#include <string>

// File names inside description files: a name that does not begin with "/" is taken relative to the
// directory of the info file being loaded.

// Longest formed file name the layer takes (names of this many characters or more are refused).
constexpr size_t psb_file_name_limit = 64;

// The info file's directory: `info_name` up to and including its last "/" ("" when there is none).
std::string psb_info_directory(const char* info_name);

// `name` unchanged when it begins with "/", else `directory` followed by `name`. The whole name is
// formed (never cut), so the caller's length check refuses a name that would not fit.
std::string psb_form_file_name(const std::string& directory, const char* name);
