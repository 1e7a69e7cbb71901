#pragma once
// Marks a function the host exports by name: the module binds these with GetProcAddress.
#define ENGINE_API extern "C" __attribute__((visibility("default")))
