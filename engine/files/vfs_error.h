#pragma once
#include "engine/log.h"

// Sets the engine's error number and answers -1, the failure result of the file calls.
inline int vfs_fail(int error_number)
{
    *v_errno_addr() = error_number;
    return -1;
}
