#include "engine/command_line.h"

#include <strings.h>

namespace {
std::vector<std::string> arguments{"kavrenta"};
}

void cdl_set(const std::vector<std::string>& new_arguments)
{
    arguments = new_arguments;
    if (arguments.empty())
        arguments.push_back("kavrenta");
}

ENGINE_API int cdl_param(const char* name)
{
    if (!name)
        return 0;
    for (size_t i = 1; i < arguments.size(); ++i)
        if (strcasecmp(arguments[i].c_str(), name) == 0)
            return static_cast<int>(i);
    return 0;
}

ENGINE_API int cdl_argc() { return static_cast<int>(arguments.size()); }

ENGINE_API const char* cdl_argv(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= arguments.size())
        return nullptr;
    return arguments[static_cast<size_t>(index)].c_str();
}
