#include "road/seg_def_file.h"

#include <cstdio>
#include <cstring>

#include "engine/def_pool.h"
#include "common/engine_api.h"
#include "road/seg_server.h"

seg_def_file_t::seg_def_file_t(const char* path, const char* object) : path_(path)
{
    item_ = api::mm_precache(path);
    const auto* const pool = item_ ? static_cast<const def_pool_t*>(item_->object) : nullptr;
    object_ = pool ? pool->find(object) : nullptr;
    if (!object_)
        api::warning("%s: cannot be read or has no object \"%s\"; its tables stay empty", path, object);
}

seg_def_file_t::~seg_def_file_t()
{
    if (item_)
        api::ci_dec_refs(item_);
}

int32_t seg_def_file_t::count(const char* key) const
{
    if (!object_)
        return 0;
    const int value = object_->get_int(key);
    if (value < 0 || value > seg_max_table_count) {
        api::error("%s: \"%s\" is %d, not a count from 0 to %d; the table stays empty", path_, key, value,
                   seg_max_table_count);
        return 0;
    }
    return value;
}

const char* seg_numbered_value(const def_obj_t& object, const char* key, const int32_t index)
{
    char name[96];
    std::snprintf(name, sizeof name, "%s%d", key, index);
    return object.get_value(name);
}

void seg_copy_name(char* out, const size_t size, const char* text)
{
    if (size == 0)
        return;
    std::snprintf(out, size, "%s", text ? text : "");
}
