#include "vfs_path.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace {

// True when the host has an entry of that exact name.
bool host_entry_exists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

// The name of an entry of `folder` equal to `name` ignoring case, or empty.
std::string find_ignoring_case(const std::string& folder, const std::string& name)
{
    DIR* listing = opendir(folder.c_str());
    if (!listing)
        return {};
    std::string found;
    while (const dirent* entry = readdir(listing)) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    closedir(listing);
    return found;
}

}  // namespace

bool vfs_split_path(const char* path, vfs_parts_t& parts)
{
    parts.clear();
    if (!path)
        return false;
    const std::string text(path);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('/', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string part = text.substr(start, end - start);
        if (part == "..") {
            if (parts.empty())
                return false;
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    return true;
}

vfs_host_match_t vfs_match_host(const std::string& root, const vfs_parts_t& parts)
{
    vfs_host_match_t match{root, 0};
    bool resolving = host_entry_exists(root);
    for (const std::string& part : parts) {
        const std::string folder = match.host_path;
        const std::string exact = folder + (folder.back() == '/' ? "" : "/") + part;
        if (resolving && host_entry_exists(exact)) {
            match.host_path = exact;
            ++match.existing;
            continue;
        }
        const std::string other = resolving ? find_ignoring_case(folder, part) : std::string();
        if (!other.empty()) {
            match.host_path = folder + (folder.back() == '/' ? "" : "/") + other;
            ++match.existing;
            continue;
        }
        resolving = false;
        match.host_path = exact;
    }
    return match;
}

std::string vfs_trim_host_path(const char* host_path)
{
    std::string path(host_path ? host_path : "");
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}
