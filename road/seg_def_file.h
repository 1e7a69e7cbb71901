#pragma once
#include <cstddef>
#include <cstdint>

class def_obj_t;
struct c_item_t;

// One definition file of the segment server held through the cache while it is read: its object
// named `object`, null when the file cannot be read or has no such object. Gives the file back when it
// goes.
class seg_def_file_t {
public:
    seg_def_file_t(const char* path, const char* object);
    ~seg_def_file_t();
    seg_def_file_t(const seg_def_file_t&) = delete;
    seg_def_file_t& operator=(const seg_def_file_t&) = delete;

    const def_obj_t* object() const { return object_; }
    const char* path() const { return path_; }
    // The table count `key`: 0 to seg_max_table_count, else 0 with a message naming the file.
    int32_t count(const char* key) const;

private:
    const char* path_;
    c_item_t* item_ = nullptr;
    const def_obj_t* object_ = nullptr;
};

// The value of the numbered key `key` + `index` of `object` ("road" and 3 read "road3"); null when
// absent.
const char* seg_numbered_value(const def_obj_t& object, const char* key, int32_t index);

// Copies `text` into `out` of `size` bytes, cut to size - 1 characters (the fixed-size names of the
// definition records).
void seg_copy_name(char* out, size_t size, const char* text);
