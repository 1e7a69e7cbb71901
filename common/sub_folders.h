#pragma once
#include <string>
#include <vector>

// The sub-folders of `folder` in the game's file system whose names do not begin with '.', in the
// order the file system lists them; none when the folder cannot be opened.
std::vector<std::string> vfs_sub_folders(const std::string& folder);
