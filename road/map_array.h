#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "common/engine_api.h"

// A growing array of road-network records: count, capacity and data, grown by reallocation through the
// engine's allocator and never shrunk while a map lives. With `spare_front` one extra record lies
// before index 0, so that index -1 (none) stays addressable; it is zeroed when first allocated.
template <typename T, bool spare_front = false> class map_array_t {
public:
    // Records in front of index 0.
    static constexpr int32_t spare = spare_front ? 1 : 0;

    map_array_t() = default;
    ~map_array_t() { release(); }
    map_array_t(const map_array_t&) = delete;
    map_array_t& operator=(const map_array_t&) = delete;

    // Grows the capacity to `target` records (nothing when it already holds that many). Answers the bytes
    // of the new allocation (capacity x record size), 0 when nothing grew, or -1 when memory runs out
    // or the target cannot be allocated; the array is unchanged then.
    int64_t reserve(const int32_t target)
    {
        if (target <= capacity)
            return 0;
        if (static_cast<uint64_t>(target) + spare > std::numeric_limits<size_t>::max() / sizeof(T))
            return -1;
        T* const block = data ? data - spare : nullptr;
        T* const grown =
            static_cast<T*>(api::mem_sys_realloc(block, (static_cast<size_t>(target) + spare) * sizeof(T)));
        if (!grown)
            return -1;
        if (!block && spare)
            std::memset(static_cast<void*>(grown), 0, sizeof(T));
        data = grown + spare;
        capacity = target;
        return static_cast<int64_t>(target) * static_cast<int64_t>(sizeof(T));
    }

    // Appends `records` zeroed records, growing the capacity by `step` first when they do not fit.
    // Answers the index of the first, or -1 when memory runs out.
    int32_t append(const int32_t step, const int32_t records = 1)
    {
        if (count > std::numeric_limits<int32_t>::max() - records - step)
            return -1;
        if (count + records > capacity && reserve(capacity + step) < 0)
            return -1;
        const int32_t first = count;
        std::memset(static_cast<void*>(data + first), 0, sizeof(T) * static_cast<size_t>(records));
        count += records;
        return first;
    }

    // Frees the records (and the spare one); count and capacity become 0.
    void release()
    {
        if (data)
            api::mem_sys_free(data - spare);
        data = nullptr;
        count = capacity = 0;
    }

    // True when `index` names a record of the array.
    bool valid(const int32_t index) const { return index >= 0 && index < count; }
    T& operator[](const int32_t index) { return data[index]; }
    const T& operator[](const int32_t index) const { return data[index]; }
    T* begin() { return data; }
    T* end() { return data + count; }
    const T* begin() const { return data; }
    const T* end() const { return data + count; }

    int32_t count = 0;
    int32_t capacity = 0;
    T* data = nullptr;
};
