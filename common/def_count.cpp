#include "common/def_count.h"

#include "engine/def_obj.h"
#include "common/engine_api.h"

int def_count(const def_obj_t& object, const char* key, const char* path)
{
    const int count = object.get_int(key);
    // The count's own key is one of the values, so at most value_count() - 1 entries can follow it.
    const int most = object.value_count() > 0 ? object.value_count() - 1 : 0;
    if (count < 0) {
        api::error("%s: %s is %d; no entry is read", path, key, count);
        return 0;
    }
    if (count > most) {
        api::error("%s: %s is %d, but the block holds %d values; %d entries are read", path, key, count,
                   object.value_count(), most);
        return most;
    }
    return count;
}
