#include "engine/cvar.h"

#include <strings.h>

#include <algorithm>
#include <map>

#include "engine/log.h"

// Grants the registry access to the private state of a variable.
struct cvar_access {
    static void start(cvar_t& variable, const std::string* kept)
    {
        variable.link_ = nullptr;
        variable.holds_default_ = kept == nullptr;
        variable.value_ = kept ? *kept : std::string();
    }
    static void set_link(cvar_t& variable, cvar_t* target) { variable.link_ = target; }
};

namespace {

// Lower-case key of a name, so names compare ignoring case.
std::string key_of(const char* name)
{
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return char(tolower(c)); });
    return key;
}

// Outlives every variable, even those destroyed at program exit.
std::vector<cvar_t*>& registry()
{
    static auto* variables = new std::vector<cvar_t*>;
    return *variables;
}

// Texts set by name before their variable registered: key -> (name as written, text).
std::map<std::string, std::pair<std::string, std::string>>& kept()
{
    static auto* values = new std::map<std::string, std::pair<std::string, std::string>>;
    return *values;
}

// The last variable of a link chain.
cvar_t* chain_end(cvar_t* variable)
{
    while (variable->link())
        variable = variable->link();
    return variable;
}

}  // namespace

cvar_t::cvar_t(const char* name, const char* default_text, int type, change_callback_t on_change, unsigned flags)
    : name_(name ? name : ""), default_(default_text ? default_text : ""), type_(type), flags_(flags),
      on_change_(on_change)
{}

cvar_t::~cvar_t()
{
    std::vector<cvar_t*>& variables = registry();
    variables.erase(std::remove(variables.begin(), variables.end(), this), variables.end());
    for (cvar_t* other : variables)
        if (other->link_ == this)
            other->link_ = nullptr;
}

void cvar_t::set(const char* text)
{
    cvar_t* target = chain_end(this);
    target->value_ = text ? text : "";
    target->holds_default_ = false;
    if (target->on_change_)
        target->on_change_(target);
}

const char* cvar_t::value() const
{
    const cvar_t* end = this;
    while (end->link_)
        end = end->link_;
    return end->holds_default_ ? end->default_.c_str() : end->value_.c_str();
}

ENGINE_API bool cvar_register_variable(cvar_t* variable, int options)
{
    if (!variable || !*variable->name() || options != 0) {
        error("cvar_register_variable: needs a named variable and options 0");
        return false;
    }
    std::vector<cvar_t*>& variables = registry();
    if (std::find(variables.begin(), variables.end(), variable) != variables.end())
        return true;
    cvar_t* existing = cvar_get(variable->name());
    const std::string key = key_of(variable->name());
    const auto kept_value = kept().find(key);
    cvar_access::start(*variable, kept_value == kept().end() ? nullptr : &kept_value->second.second);
    if (kept_value != kept().end())
        kept().erase(kept_value);
    variables.push_back(variable);
    if (existing)
        cvar_access::set_link(*variable, existing);
    return true;
}

ENGINE_API bool cvar_link(cvar_t* variable, cvar_t* target)
{
    if (!variable)
        return false;
    for (cvar_t* step = target; step; step = step->link()) {
        if (step == variable) {
            error("cvar_link: linking %s to %s would close a loop", variable->name(), target->name());
            return false;
        }
    }
    cvar_access::set_link(*variable, target);
    return true;
}

ENGINE_API cvar_t* cvar_get(const char* name)
{
    if (!name)
        return nullptr;
    for (cvar_t* variable : registry())
        if (strcasecmp(variable->name(), name) == 0)
            return variable;
    return nullptr;
}

ENGINE_API cvar_t* const* cvar_get_list(int* count)
{
    if (count)
        *count = static_cast<int>(registry().size());
    return registry().data();
}

void cvar_set_or_keep(const char* name, const char* text)
{
    if (cvar_t* variable = cvar_get(name)) {
        variable->set(text);
        return;
    }
    kept()[key_of(name)] = {name, text};
}

std::vector<std::pair<std::string, std::string>> cvar_kept_values()
{
    std::vector<std::pair<std::string, std::string>> values;
    for (const auto& [key, entry] : kept())
        values.push_back(entry);
    return values;
}

#include "engine/reset.h"
static engine_reset_registrar_t cvar_reset_registrar(reset_order_console, [] {
    registry().clear();
    kept().clear();
});
