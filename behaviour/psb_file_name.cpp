#include "behaviour/psb_file_name.h"

#include <cstring>

std::string psb_info_directory(const char* info_name)
{
    const char* const slash = strrchr(info_name, '/');
    return slash ? std::string(info_name, static_cast<size_t>(slash - info_name + 1)) : std::string();
}

std::string psb_form_file_name(const std::string& directory, const char* name)
{
    return name[0] == '/' ? std::string(name) : directory + name;
}
