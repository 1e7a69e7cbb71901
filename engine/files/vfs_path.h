#pragma once
#include <string>
#include <vector>

// Components of a virtual path ("/a/b" and "a/b" give {"a", "b"}).
using vfs_parts_t = std::vector<std::string>;

// Splits a virtual path into components, dropping empty and "." parts and folding "..". False (the
// path is refused) for null or when ".." would climb above the root.
bool vfs_split_path(const char* path, vfs_parts_t& parts);

// A host path found for some components under a host folder.
struct vfs_host_match_t {
    std::string host_path;  // the host path; components past `existing` are appended as given
    size_t existing = 0;    // how many leading components name existing entries
};

// Looks `parts` up under the host folder `root`, each component exactly first, then ignoring case.
vfs_host_match_t vfs_match_host(const std::string& root, const vfs_parts_t& parts);

// The host path with trailing slashes removed ("/" stays).
std::string vfs_trim_host_path(const char* host_path);
