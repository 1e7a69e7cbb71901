#pragma once
#include <string>
#include <vector>

#include "vfs_devices.h"

// Names of the entries of a folder held by one or more devices, merged (a name held by several devices,
// ignoring case, is listed once, as the device of highest priority spells it) and sorted.
std::vector<std::string> vfs_folder_names(const std::vector<vfs_entry_t>& folders);

// Fills `buffer` with whole NUL-terminated names from `names` starting at `next`, then one empty name;
// answers the bytes used (0 when no name is left) and advances `next`.
long vfs_folder_read(const std::vector<std::string>& names, size_t& next, char* buffer, long size);
