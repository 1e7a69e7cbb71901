#pragma once
#include <cstddef>

#include "engine/api.h"

// The engine's allocator: malloc semantics (null on failure, free of null is a no-op).
ENGINE_API void* mem_sys_alloc(size_t size);
ENGINE_API void* mem_sys_calloc(size_t count, size_t size);
ENGINE_API void* mem_sys_realloc(void* block, size_t size);
ENGINE_API void mem_sys_free(void* block);
ENGINE_API void* mm_memcpy(void* destination, const void* source, size_t size);

// Failure injection for tests: the allocation `countdown` calls from now fails once (1 = the next
// one); 0 turns injection off.
void mem_fail_after(int countdown);
