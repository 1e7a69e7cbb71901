#include "engine/def_obj.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

def_obj_t::def_obj_t(std::string name, std::string class_name)
    : name_(std::move(name)), class_name_(std::move(class_name))
{}

const char* def_obj_t::get_value(const char* key) const
{
    if (!key)
        return nullptr;
    const auto found = index_.find(key);
    return found == index_.end() ? nullptr : values_[found->second].second.c_str();
}

int def_obj_t::get_int(const char* key, int fallback) const
{
    const char* value = get_value(key);
    if (!value)
        return fallback;
    const char* digits = value;
    while (*digits == ' ' || *digits == '\t')
        ++digits;
    const char* after_sign = digits + (*digits == '-' || *digits == '+');
    const bool hex = after_sign[0] == '0' && (after_sign[1] == 'x' || after_sign[1] == 'X');
    errno = 0;
    const long long number = strtoll(digits, nullptr, hex ? 16 : 10);
    if (number > INT_MAX)
        return INT_MAX;
    if (number < INT_MIN)
        return INT_MIN;
    return static_cast<int>(number);
}

float def_obj_t::get_real(const char* key, float fallback) const
{
    const char* value = get_value(key);
    return value ? strtof(value, nullptr) : fallback;
}

bool def_obj_t::get_point(const char* key, float* out_xyz) const
{
    const char* value = get_value(key);
    if (!value || !out_xyz)
        return false;
    float read[3];
    const char* cursor = value;
    for (float& component : read) {
        while (*cursor == ' ' || *cursor == '\t' || *cursor == ',')
            ++cursor;
        char* end = nullptr;
        component = strtof(cursor, &end);
        if (end == cursor)
            return false;
        cursor = end;
    }
    memcpy(out_xyz, read, sizeof read);
    return true;
}

bool def_obj_t::get_point(const char* key, vec_t<float, 3>& out) const
{
    float xyz[3];
    if (!get_point(key, xyz))
        return false;
    out = vec_t<float, 3>{xyz[0], xyz[1], xyz[2]};
    return true;
}

def_obj_t* def_obj_t::find(const char* name, int index) const
{
    if (!name || index < 0)
        return nullptr;
    for (def_obj_t* child : children_)
        if (child->name_ == name && index-- == 0)
            return child;
    return nullptr;
}

void def_obj_t::set_value(const char* key, const char* value)
{
    if (!key)
        return;
    const auto found = index_.find(key);
    if (found != index_.end()) {
        values_[found->second].second = value ? value : "";
        return;
    }
    index_.emplace(key, values_.size());
    values_.emplace_back(key, value ? value : "");
}

void def_obj_t::set_int(const char* key, int value) { set_value(key, std::to_string(value).c_str()); }

void def_obj_t::clear()
{
    values_.clear();
    index_.clear();
    for (def_obj_t* child : children_)
        child->listed_ = false;
    children_.clear();
}
