#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/def_obj.h"

// A parsed definition file: its objects in file order (see docs/formats.md, "Definition files").
// Every ".def" file of the game is read through a pool; the resource cache keeps one pool per file.
class def_pool_t {
public:
    // An empty pool named `name` (the file it will be written to, or empty).
    explicit def_pool_t(std::string name = {});
    ~def_pool_t();
    def_pool_t(const def_pool_t&) = delete;
    def_pool_t& operator=(const def_pool_t&) = delete;

    // Parses a definition text; `source` names it in messages. Null (with one logged error naming
    // source and line) when the text is not a valid definition file.
    static std::unique_ptr<def_pool_t> parse(std::string_view text, const std::string& source);
    // Reads and parses a file of the virtual file system, enciphered or not; null when it cannot be
    // read or parsed (the reason is logged).
    static std::unique_ptr<def_pool_t> load(const char* path);

    const std::string& name() const { return name_; }

    // The `index`-th object (from 0) named `name` anywhere in the pool, depth first in file order, or
    // null.
    def_obj_t* find(const char* name, int index = 0) const;
    // Top-level objects in file order.
    const std::vector<def_obj_t*>& objects() const { return objects_; }

    // Makes a new empty object owned by the pool but not yet placed in it.
    def_obj_t* new_object(const char* name, const char* class_name = "");
    // Places an object made by `new_object` at the end of the pool (or of `parent`'s children);
    // false when the object is not this pool's or is already placed.
    bool add_object(def_obj_t* object, def_obj_t* parent = nullptr);

    // The pool in definition syntax; parsing it gives an equal pool.
    std::string to_text() const;
    // Writes `to_text` to an open file of the virtual file system; false (logged) on a short write.
    bool write_to(int file) const;

private:
    bool owns(const def_obj_t* object) const;

    std::string name_;
    std::vector<std::unique_ptr<def_obj_t>> store_;  // every object made for this pool
    std::vector<def_obj_t*> objects_;                // the top-level objects
};
