#include "engine/check.h"

#include <cstdio>
#include <cstdlib>

void kv_assert_fail(const char* condition, const char* file, int line)
{
    // Straight to stderr: the log may be what broke, and the program ends here.
    fprintf(stderr, "%s:%d: assertion failed: %s\n", file, line, condition);
    fflush(stderr);
    abort();
}
