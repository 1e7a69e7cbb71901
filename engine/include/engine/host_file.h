#pragma once
#include "engine/api.h"

// Files and folders of the host, outside the virtual file system.

// Reads a host file whole into a buffer from mem_sys_alloc (free it with mem_sys_free), with a NUL
// after the data; `out_size` (may be null) receives the byte count. Null with *v_errno_addr() set on
// failure.
ENGINE_API char* v_readfile(const char* host_path, long* out_size);
// Makes a host folder and its missing parents; 0 when it exists afterwards, else -1 with the error number.
ENGINE_API int v_mkdir(const char* host_path);
