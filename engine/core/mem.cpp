#include "engine/mem.h"

#include <cstdlib>
#include <cstring>

namespace {

int fail_countdown = 0;

// True when injection asks this allocation to fail.
bool injected_failure()
{
    if (fail_countdown <= 0)
        return false;
    return --fail_countdown == 0;
}

}  // namespace

void mem_fail_after(int countdown) { fail_countdown = countdown; }

ENGINE_API void* mem_sys_alloc(size_t size) { return injected_failure() ? nullptr : malloc(size); }

ENGINE_API void* mem_sys_calloc(size_t count, size_t size)
{
    return injected_failure() ? nullptr : calloc(count, size);
}

ENGINE_API void* mem_sys_realloc(void* block, size_t size)
{
    return injected_failure() ? nullptr : realloc(block, size);
}

ENGINE_API void mem_sys_free(void* block) { free(block); }

ENGINE_API void* mm_memcpy(void* destination, const void* source, size_t size)
{
    return size ? memcpy(destination, source, size) : destination;
}

#include "engine/reset.h"
static engine_reset_registrar_t mem_reset_registrar(reset_order_core, [] { mem_fail_after(0); });
