#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

#include "engine/vec.h"

struct c_item_t;
class def_obj_t;
struct psm_t;

// Shared reading of the make folders under "/makes/": bounded paths, the file look-up order, shader
// lists and the definition files read through the resource cache.

// Writes a formatted path into `out`; false, with a message naming the path, when it does not fit.
bool make_path(char* out, size_t capacity, const char* format, ...) __attribute__((format(printf, 3, 4)));
// Copies `text` into a fixed field; false, with a message naming `what`, when it does not fit (the
// field is then left empty).
bool make_copy_name(char* out, size_t capacity, const char* text, const char* what);
// True when `path` opens for reading.
bool make_file_exists(const char* path);

// One definition file held through the resource cache for as long as this lives.
class make_def_t {
public:
    // Precaches `path`; `object` is its object named `object_name` (null when missing).
    make_def_t(const char* path, const char* object_name);
    ~make_def_t();
    make_def_t(const make_def_t&) = delete;
    make_def_t& operator=(const make_def_t&) = delete;

    const def_obj_t* object = nullptr;
    bool loaded() const { return item_ != nullptr; }

private:
    c_item_t* item_ = nullptr;
};

// The description of one accessory of a make, "/makes/<kind>/<make>/acc/<accessory>/!desc.def" (its
// object "accessory"), held for as long as this lives.
class accessory_desc_t {
public:
    // Reads the description; `keys` is null, reported, when the path does not fit or the file cannot
    // be read.
    accessory_desc_t(const char* kind, const char* make, const char* accessory);
    const def_obj_t* keys() const { return def_ ? def_->object : nullptr; }

private:
    std::optional<make_def_t> def_;
};

// Creates an instance of the model at `path` (flags 16); null when the file does not open, the model
// cannot be read or the model library is not loaded (reported).
psm_t* make_model_alloc(const char* path);
// Finds a file in the first of `count` folders where it opens; false when none (the last folder's
// path is left in `out` when `use_last` is set, unchecked, as the trailers' shared folder is used).
bool make_find_file(char* out, size_t capacity, const char* const* folders, int count, const char* file, bool use_last);
// Gives each shader of a ":"-separated list to the next slot of `model`, found in `folders`.
void make_set_shaders(psm_t* model, const char* list, const char* const* folders, int count, bool use_last);
// The position of a model's bone (its global frame's translation); false when there is none.
bool make_bone_position(psm_t* model, const char* bone, vec3_t& out);
// Shows or hides a part of a model when it has it.
void make_show_part(psm_t* model, const char* part, bool visible);
