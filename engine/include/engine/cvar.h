#pragma once
#include <string>
#include <utility>
#include <vector>

#include "engine/api.h"

// A console variable: a named text value with a default, registered by its owner (who keeps the record
// alive while it is registered). Readers follow the link chain to its last variable and take its value
// text, or its default text while the default holds (`value()` does both).
class cvar_t {
public:
    // How owners read the text; the variable itself keeps any text.
    enum type_t { type_integer = 0, type_real = 1, type_text = 2 };
    // Runs after every `set` of the variable.
    using change_callback_t = void (*)(cvar_t* variable);

    cvar_t(const char* name, const char* default_text, int type, change_callback_t on_change, unsigned flags);
    ~cvar_t();
    cvar_t(const cvar_t&) = delete;
    cvar_t& operator=(const cvar_t&) = delete;

    // Sets the value of the last variable of the chain and runs its change callback.
    void set(const char* text);

    // The value in force, following the link chain.
    const char* value() const;
    const char* name() const { return name_.c_str(); }
    // The first value string: the text last set ("" while the default holds).
    const char* value_text() const { return value_.c_str(); }
    // The second value string: the default.
    const char* default_text() const { return default_.c_str(); }
    // The flag byte: true while no value was set, so the default is the value.
    bool holds_default() const { return holds_default_; }
    // The variable this one follows, or null at the end of a chain.
    cvar_t* link() const { return link_; }
    int type() const { return type_; }
    unsigned flags() const { return flags_; }

private:
    friend struct cvar_access;
    std::string name_;
    std::string default_;
    std::string value_;
    bool holds_default_ = true;
    cvar_t* link_ = nullptr;
    int type_;
    unsigned flags_;
    change_callback_t on_change_;
};

// Registers a variable; `options` must be 0. Its value is the one a "set" gave its name before
// registration, else its default; no callback runs. A second variable of a registered name is linked
// to the first. False with a message for a null variable, an empty name or unknown options.
ENGINE_API bool cvar_register_variable(cvar_t* variable, int options);
// Makes `variable` follow `target` (null unlinks). False when that would close a loop.
ENGINE_API bool cvar_link(cvar_t* variable, cvar_t* target);
// The registered variable of that name (ignoring case), or null.
ENGINE_API cvar_t* cvar_get(const char* name);
// The registered variables in registration order; `count` receives how many.
ENGINE_API cvar_t* const* cvar_get_list(int* count);

// Engine side: sets a registered variable, or keeps the text until a variable of that name registers.
void cvar_set_or_keep(const char* name, const char* text);
// Engine side: the (name, text) pairs kept for names not registered yet, in name order.
std::vector<std::pair<std::string, std::string>> cvar_kept_values();
