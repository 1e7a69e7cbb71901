#include "vfs_handles.h"

#include <unistd.h>

#include <memory>

namespace {
std::vector<std::unique_ptr<vfs_open_file_t>> handles;  // index is the handle; null when free
}

int vfs_handles_add(vfs_open_file_t file)
{
    size_t index = 0;
    while (index < handles.size() && handles[index])
        ++index;
    if (index == handles.size())
        handles.emplace_back();
    handles[index] = std::make_unique<vfs_open_file_t>(std::move(file));
    return static_cast<int>(index);
}

vfs_open_file_t* vfs_handles_get(int handle)
{
    if (handle < 0 || static_cast<size_t>(handle) >= handles.size())
        return nullptr;
    return handles[static_cast<size_t>(handle)].get();
}

bool vfs_handles_close(int handle)
{
    vfs_open_file_t* file = vfs_handles_get(handle);
    if (!file)
        return false;
    if (file->descriptor >= 0)
        ::close(file->descriptor);
    handles[static_cast<size_t>(handle)].reset();
    return true;
}

void vfs_handles_close_all()
{
    for (size_t i = 0; i < handles.size(); ++i)
        vfs_handles_close(static_cast<int>(i));
    handles.clear();
}
