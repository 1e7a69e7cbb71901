#pragma once
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/vec.h"

class def_pool_t;

// One object of a definition file: a name, an optional class, ordered key/value pairs (every value is
// text; an empty value is a value) and child objects. Objects are made and owned by their pool.
class def_obj_t {
public:
    def_obj_t(const def_obj_t&) = delete;
    def_obj_t& operator=(const def_obj_t&) = delete;

    const std::string& name() const { return name_; }
    // The class named after ':' in the file; empty when none was given.
    const std::string& class_name() const { return class_name_; }

    // The value of `key`, or null when the object has no such key (an empty value is "" not null).
    // The text stays valid until the key is set again or the object is cleared.
    const char* get_value(const char* key) const;
    // The value read as an integer (decimal or 0x-hexadecimal, leading digits as atoi reads them,
    // clamped to the int range); `fallback` when the key is absent.
    int get_int(const char* key, int fallback = 0) const;
    // The value read as a real (leading number as strtod reads it); `fallback` when the key is absent.
    float get_real(const char* key, float fallback = 0.0f) const;
    // Reads three reals separated by blanks and/or commas into `out_xyz`; false (and `out_xyz`
    // untouched) when the key is absent or holds fewer than three numbers.
    bool get_point(const char* key, float* out_xyz) const;
    bool get_point(const char* key, vec_t<float, 3>& out) const;
    // Child objects in file order.
    const std::vector<def_obj_t*>& get_children() const { return children_; }
    // The `index`-th child (from 0) named `name`, or null.
    def_obj_t* find(const char* name, int index = 0) const;

    // Sets `key` to `value`, keeping the key's place when it exists, appending it otherwise.
    void set_value(const char* key, const char* value);
    // Sets `key` to the decimal text of `value`.
    void set_int(const char* key, int value);
    // Removes every value and child.
    void clear();

    // Number of keys, and the key and value at `index` in file order (for writers and tools).
    int value_count() const { return static_cast<int>(values_.size()); }
    const std::string& key_at(int index) const { return values_.at(static_cast<size_t>(index)).first; }
    const std::string& value_at(int index) const { return values_.at(static_cast<size_t>(index)).second; }

private:
    friend class def_pool_t;
    def_obj_t(std::string name, std::string class_name);

    std::string name_;
    std::string class_name_;
    std::vector<std::pair<std::string, std::string>> values_;
    std::unordered_map<std::string, size_t> index_;
    std::vector<def_obj_t*> children_;
    bool listed_ = false;  // placed in the pool or under a parent
};
