#pragma once
#include <string>
#include <vector>

// The regular files of a folder of the virtual file system, by name, in the order the folder lists
// them; empty when the folder cannot be opened. Names too long to form "folder/name" in `max_path`
// characters are skipped.
std::vector<std::string> folder_files(const char* folder, size_t max_path = 255);
