#include "engine/def_pool.h"

#include <algorithm>

#include "engine/scanner.h"

def_pool_t::def_pool_t(std::string name) : name_(std::move(name)) {}

def_pool_t::~def_pool_t() = default;

namespace {

// Depth-first search for the `index`-th object named `name`; counts down `index` as it goes.
def_obj_t* find_in(const std::vector<def_obj_t*>& objects, const char* name, int& index)
{
    for (def_obj_t* object : objects) {
        if (object->name() == name && index-- == 0)
            return object;
        if (def_obj_t* found = find_in(object->get_children(), name, index))
            return found;
    }
    return nullptr;
}

}  // namespace

def_obj_t* def_pool_t::find(const char* name, int index) const
{
    if (!name || index < 0)
        return nullptr;
    return find_in(objects_, name, index);
}

def_obj_t* def_pool_t::new_object(const char* name, const char* class_name)
{
    store_.push_back(std::unique_ptr<def_obj_t>(new def_obj_t(name ? name : "", class_name ? class_name : "")));
    return store_.back().get();
}

bool def_pool_t::owns(const def_obj_t* object) const
{
    return std::any_of(store_.begin(), store_.end(), [object](const auto& owned) { return owned.get() == object; });
}

bool def_pool_t::add_object(def_obj_t* object, def_obj_t* parent)
{
    if (!object || object->listed_ || object == parent || !owns(object) || (parent && !owns(parent)))
        return false;
    object->listed_ = true;
    (parent ? parent->children_ : objects_).push_back(object);
    return true;
}
