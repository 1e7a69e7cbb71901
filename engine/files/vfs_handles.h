#pragma once
#include <string>
#include <vector>

// One open file or folder of the virtual file system.
struct vfs_open_file_t {
    int descriptor = -1;  // host file descriptor; -1 for a folder
    bool writing = false;
    std::string device_name;         // host folder of the device that holds it
    std::string host_path;           // where it is on the host
    std::vector<std::string> names;  // a folder's entry names
    size_t next_name = 0;            // the first name not yet read
};

// Takes ownership of an open file and answers its handle.
int vfs_handles_add(vfs_open_file_t file);
// The open file of a handle, or null.
vfs_open_file_t* vfs_handles_get(int handle);
// Closes one handle; false when it is not open.
bool vfs_handles_close(int handle);
// Closes every handle.
void vfs_handles_close_all();
