#pragma once
#include <string>

// Reads the whole file `name` through the engine's file system into `out_text`; false when it cannot
// be opened or read (no message: each reader words its own).
bool psb_read_file_text(const char* name, std::string& out_text);
