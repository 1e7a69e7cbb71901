#include "common/dstring_pair.h"

void destroy_dstring_pair(dstring_pair_t* record)
{
    if (!record)
        return;
    record->second.~dstring_t();
    record->first.~dstring_t();
}
