#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "engine/api.h"

class entity_t;

// Editable values: a class declares its script- and editor-settable properties as a chain of static
// descriptors. Every value travels as text, so entity blocks, the editor and the module's own code set a
// property the same way, through the descriptor's `set`, which also raises the changed mark.

// Kind of value a descriptor binds.
enum evalue_type_t : int {
    evalue_bool = 2,          // bool; "true"/"false", "1"/"0", "yes"/"no"
    evalue_int = 3,           // int32_t
    evalue_unsigned = 4,      // uint32_t
    evalue_colour = 5,        // uint32_t 0xAARRGGBB; "r g b" or "r g b a", each 0 .. 255
    evalue_hex = 7,           // uint32_t written in hexadecimal ("ff00ff" or "0xff00ff")
    evalue_real = 8,          // float
    evalue_point = 10,        // three floats; "x y z"
    evalue_dstring = 14,      // dstring_t of any length
    evalue_choice = 19,       // int32_t, one of the values of an `evalue_choice_t` list, set by name
    evalue_text = 23,         // char array of `element_size` bytes, NUL-terminated
    evalue_text_choice = 27,  // int32_t index into an `evalue_text_choice_t` list, set by name, value or index
};

// Bit of the status byte that marks a property changed since its owner last looked.
constexpr uint8_t evalue_changed = 4;

// Flag word bit: a markup property the component computes itself (scripts leave it alone).
constexpr uint32_t evalue_flag_computed = 1;

// One (name, value) pair of a choice list; the list ends with a null name.
struct evalue_choice_t {
    const char* name;
    int value;
};

// One (name, value text) pair of a text-choice list; the list ends with a null name.
struct evalue_text_choice_t {
    const char* name;
    const char* value;
};

// The storage of an array property: `count` elements of the descriptor's element size, owned through
// the engine's allocator. A zeroed record is the empty array.
struct evalue_array_t {
    void* data;
    int count;
};

struct evalue_def_t;

// Accessors of a descriptor. `object` is the owning entity; `index` picks the element of an array
// property and must be 0 for a plain one.
using evalue_get_fn = bool (*)(const entity_t* object, const evalue_def_t* def, int index, char* out, size_t size);
using evalue_set_fn = bool (*)(entity_t* object, const evalue_def_t* def, int index, const char* text);
using evalue_index_fn = bool (*)(entity_t* object, const evalue_def_t* def, int index);
using evalue_differs_fn = bool (*)(const entity_t* object, const evalue_def_t* def);
using evalue_object_fn = bool (*)(entity_t* object, const evalue_def_t* def);
using evalue_copy_fn = bool (*)(entity_t* target, const entity_t* source, const evalue_def_t* def);
using evalue_member_fn = void* (*)(entity_t* object);
using evalue_status_fn = uint8_t* (*)(entity_t* object);
using evalue_text_choices_fn = const evalue_text_choice_t* (*)();

// A property descriptor, one link of a class's chain.
struct evalue_def_t {
    const char* name;
    int type;                             // an evalue_type_t
    uint32_t flags;                       // evalue_flag_computed or 0
    size_t element_size;                  // bytes of one value (the array size for evalue_text)
    bool array;                           // an evalue_array_t of values rather than one value
    evalue_member_fn member;              // address of the bound member in an object
    evalue_status_fn status;              // address of the status byte that takes the changed mark, or null
    const char* default_text;             // the value `constr` gives (null: zero / empty)
    const evalue_choice_t* choices;       // evalue_choice only
    evalue_text_choices_fn text_choices;  // evalue_text_choice only
    const evalue_def_t* next;             // next descriptor of the chain (the base class's first one at the end)

    evalue_get_fn get;            // writes the value as text; false when `out` is too small or bad index
    evalue_set_fn set;            // reads the value from text and marks it changed; false on bad text
    evalue_index_fn remove;       // arrays: removes element `index`
    evalue_index_fn insert;       // arrays: inserts a default element before `index` (== count appends)
    evalue_index_fn realloc;      // arrays: makes the count `index` (new elements take the default)
    evalue_differs_fn diff_orig;  // true when the value differs from the descriptor's default
    evalue_object_fn constr;      // gives the member its default value
    evalue_object_fn destr;       // releases what the member owns (arrays, owned text)
    evalue_copy_fn copy;          // copies the value from another object of the class
};

// Member editors: the accessors the descriptor factories below fill in. The typed names are the same
// functions; they exist so a hand-built descriptor reads as what it edits.
ENGINE_API bool me_gen_get(const entity_t* object, const evalue_def_t* def, int index, char* out, size_t size);
ENGINE_API bool me_gen_set(entity_t* object, const evalue_def_t* def, int index, const char* text);
ENGINE_API bool me_gen_remove(entity_t* object, const evalue_def_t* def, int index);
ENGINE_API bool me_gen_insert(entity_t* object, const evalue_def_t* def, int index);
ENGINE_API bool me_gen_realloc(entity_t* object, const evalue_def_t* def, int count);
ENGINE_API bool me_gen_diff_orig(const entity_t* object, const evalue_def_t* def);
ENGINE_API bool me_gen_constr(entity_t* object, const evalue_def_t* def);
ENGINE_API bool me_gen_destr(entity_t* object, const evalue_def_t* def);
ENGINE_API bool me_gen_copy(entity_t* target, const entity_t* source, const evalue_def_t* def);
ENGINE_API bool me_dstring_get(const entity_t* object, const evalue_def_t* def, int index, char* out, size_t size);
ENGINE_API bool me_dstring_set(entity_t* object, const evalue_def_t* def, int index, const char* text);
ENGINE_API bool me_string_get(const entity_t* object, const evalue_def_t* def, int index, char* out, size_t size);
ENGINE_API bool me_string_set(entity_t* object, const evalue_def_t* def, int index, const char* text);

// Binds a data member of an entity class: `evalue_bind<&car_e::speed_>`.
template <typename member_t> struct evalue_member_class;
template <typename class_t, typename value_t> struct evalue_member_class<value_t class_t::*> {
    using type = class_t;
    using value = value_t;
};
template <auto member> void* evalue_bind(entity_t* object)
{
    using class_t = typename evalue_member_class<decltype(member)>::type;
    return &(static_cast<class_t*>(object)->*member);
}
// Binds the status byte (a uint8_t member) that takes the changed mark.
template <auto member> uint8_t* evalue_bind_status(entity_t* object)
{
    using class_t = typename evalue_member_class<decltype(member)>::type;
    static_assert(std::is_same_v<typename evalue_member_class<decltype(member)>::value, uint8_t>);
    return &(static_cast<class_t*>(object)->*member);
}

// A descriptor with the generic member editors for a value of `type` and `element_size` bytes.
constexpr evalue_def_t evalue_member(const char* name, int type, size_t element_size, evalue_member_fn member,
                                     const evalue_def_t* next, const char* default_text = nullptr,
                                     evalue_status_fn status = nullptr)
{
    return evalue_def_t{name,
                        type,
                        0,
                        element_size,
                        false,
                        member,
                        status,
                        default_text,
                        nullptr,
                        nullptr,
                        next,
                        me_gen_get,
                        me_gen_set,
                        me_gen_remove,
                        me_gen_insert,
                        me_gen_realloc,
                        me_gen_diff_orig,
                        me_gen_constr,
                        me_gen_destr,
                        me_gen_copy};
}

// The same for an array of such values (the member is an evalue_array_t).
constexpr evalue_def_t evalue_array(const char* name, int type, size_t element_size, evalue_member_fn member,
                                    const evalue_def_t* next, const char* default_text = nullptr,
                                    evalue_status_fn status = nullptr)
{
    evalue_def_t def = evalue_member(name, type, element_size, member, next, default_text, status);
    def.array = true;
    return def;
}

// A choice among named integers (type evalue_choice).
constexpr evalue_def_t evalue_choice_member(const char* name, const evalue_choice_t* choices, evalue_member_fn member,
                                            const evalue_def_t* next, const char* default_text = nullptr,
                                            evalue_status_fn status = nullptr)
{
    evalue_def_t def = evalue_member(name, evalue_choice, sizeof(int32_t), member, next, default_text, status);
    def.choices = choices;
    return def;
}

// A choice among named texts (type evalue_text_choice); `choices` returns the list.
constexpr evalue_def_t evalue_text_choice_member(const char* name, evalue_text_choices_fn choices,
                                                 evalue_member_fn member, const evalue_def_t* next,
                                                 const char* default_text = nullptr, evalue_status_fn status = nullptr)
{
    evalue_def_t def = evalue_member(name, evalue_text_choice, sizeof(int32_t), member, next, default_text, status);
    def.text_choices = choices;
    return def;
}

// The descriptor named `name` (case-sensitive) in the chain starting at `root`, or null.
const evalue_def_t* evalue_find(const evalue_def_t* root, const char* name);
// Sets the property `name` of `object` from text (element `index` of an array, which grows to take
// index == count). Answers false for an unknown name or bad text: with `why` given the reason is put
// there, otherwise it is reported naming the entity.
bool evalue_set(entity_t* object, const char* name, int index, const char* text, std::string* why = nullptr);
// Sets a whole array property from its element texts (the count becomes `count`); reports as above.
bool evalue_set_array(entity_t* object, const char* name, const std::vector<std::string>& texts,
                      std::string* why = nullptr);
// Releases what every property of the chain owns (the engine calls it before an entity is destroyed,
// since a base destructor cannot reach its subclass's chain).
void evalue_destruct_all(entity_t* object, const evalue_def_t* root);
// Tests and clears the changed mark of property `def`; false when it has no status byte.
bool evalue_take_changed(entity_t* object, const evalue_def_t* def);
