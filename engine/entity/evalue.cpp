#include "engine/evalue.h"

#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "engine/dstring.h"
#include "engine/entity.h"
#include "engine/log.h"
#include "engine/mem.h"
#include "evalue_codec.h"

namespace {

// Most elements an array property may hold.
constexpr int max_array_count = 65536;

evalue_array_t& array_of(entity_t* object, const evalue_def_t* def)
{
    return *static_cast<evalue_array_t*>(def->member(object));
}

const evalue_array_t& array_of(const entity_t* object, const evalue_def_t* def)
{
    return *static_cast<const evalue_array_t*>(def->member(const_cast<entity_t*>(object)));
}

// The value `index` of the property: the member itself, or an element of the array; null when
// `index` does not name a value.
void* value_at(entity_t* object, const evalue_def_t* def, int index)
{
    if (!def->array)
        return index == 0 ? def->member(object) : nullptr;
    evalue_array_t& array = array_of(object, def);
    if (index < 0 || index >= array.count)
        return nullptr;
    return static_cast<char*>(array.data) + static_cast<size_t>(index) * def->element_size;
}

void mark_changed(entity_t* object, const evalue_def_t* def)
{
    if (def->status)
        *def->status(object) |= evalue_changed;
}

// Arrays hold plain values, or owned texts that are constructed and destroyed element by element.
bool array_usable(const evalue_def_t* def) { return def->array && evalue_size_fits(def, nullptr); }

// Resizes an array of owned texts to `count`: the kept texts move into a new block, the dropped ones
// are destroyed and the new ones take the default.
bool resize_text_array(const evalue_def_t* def, evalue_array_t& array, int count)
{
    auto* old_texts = static_cast<dstring_t*>(array.data);
    dstring_t* texts = nullptr;
    if (count > 0) {
        texts = static_cast<dstring_t*>(mem_sys_alloc(static_cast<size_t>(count) * sizeof(dstring_t)));
        if (!texts)
            return false;
    }
    for (int i = 0; i < count; ++i) {
        if (i < array.count) {
            new (texts + i) dstring_t(std::move(old_texts[i]));
        } else {
            new (texts + i) dstring_t();
            evalue_default(def, texts + i);
        }
    }
    for (int i = 0; i < array.count; ++i)
        old_texts[i].~dstring_t();
    mem_sys_free(old_texts);
    array = evalue_array_t{texts, count};
    return true;
}

}  // namespace

ENGINE_API bool me_gen_get(const entity_t* object, const evalue_def_t* def, int index, char* out, size_t size)
{
    if (!object || !def)
        return false;
    const void* value = value_at(const_cast<entity_t*>(object), def, index);
    return value && evalue_format(def, value, out, size);
}

ENGINE_API bool me_gen_set(entity_t* object, const evalue_def_t* def, int index, const char* text)
{
    if (!object || !def)
        return false;
    void* value = value_at(object, def, index);
    if (!value || !evalue_size_fits(def, nullptr))
        return false;
    if (def->type == evalue_dstring) {
        evalue_parse(def, text, value, nullptr);
    } else {
        // Read into scratch first so that bad text leaves the member as it was.
        std::vector<unsigned char> scratch(def->element_size);
        memcpy(scratch.data(), value, def->element_size);
        if (!evalue_parse(def, text, scratch.data(), nullptr))
            return false;
        memcpy(value, scratch.data(), def->element_size);
    }
    mark_changed(object, def);
    return true;
}

ENGINE_API bool me_gen_realloc(entity_t* object, const evalue_def_t* def, int count)
{
    if (!object || !def || !array_usable(def) || count < 0 || count > max_array_count)
        return false;
    evalue_array_t& array = array_of(object, def);
    if (count == array.count)
        return true;
    if (def->type == evalue_dstring) {
        if (!resize_text_array(def, array, count))
            return false;
    } else if (count == 0) {
        mem_sys_free(array.data);
        array = evalue_array_t{nullptr, 0};
    } else {
        void* grown = mem_sys_realloc(array.data, static_cast<size_t>(count) * def->element_size);
        if (!grown)
            return false;
        array.data = grown;
        for (int i = array.count; i < count; ++i)
            evalue_default(def, static_cast<char*>(grown) + static_cast<size_t>(i) * def->element_size);
        array.count = count;
    }
    mark_changed(object, def);
    return true;
}

ENGINE_API bool me_gen_insert(entity_t* object, const evalue_def_t* def, int index)
{
    if (!object || !def || !array_usable(def))
        return false;
    const int count = array_of(object, def).count;
    if (index < 0 || index > count || !me_gen_realloc(object, def, count + 1))
        return false;
    evalue_array_t& array = array_of(object, def);
    if (def->type == evalue_dstring) {
        auto* texts = static_cast<dstring_t*>(array.data);
        for (int i = count; i > index; --i)
            texts[i] = std::move(texts[i - 1]);
        evalue_default(def, texts + index);
        return true;
    }
    char* base = static_cast<char*>(array.data);
    const size_t size = def->element_size;
    memmove(base + (static_cast<size_t>(index) + 1) * size, base + static_cast<size_t>(index) * size,
            static_cast<size_t>(count - index) * size);
    evalue_default(def, base + static_cast<size_t>(index) * size);
    return true;
}

ENGINE_API bool me_gen_remove(entity_t* object, const evalue_def_t* def, int index)
{
    if (!object || !def || !array_usable(def))
        return false;
    evalue_array_t& array = array_of(object, def);
    if (index < 0 || index >= array.count)
        return false;
    char* base = static_cast<char*>(array.data);
    const size_t size = def->element_size;
    if (def->type == evalue_dstring) {
        auto* texts = static_cast<dstring_t*>(array.data);
        for (int i = index; i + 1 < array.count; ++i)
            texts[i] = std::move(texts[i + 1]);
    } else {
        memmove(base + static_cast<size_t>(index) * size, base + (static_cast<size_t>(index) + 1) * size,
                static_cast<size_t>(array.count - index - 1) * size);
    }
    return me_gen_realloc(object, def, array.count - 1);
}

ENGINE_API bool me_gen_diff_orig(const entity_t* object, const evalue_def_t* def)
{
    if (!object || !def || !evalue_size_fits(def, nullptr))
        return false;
    if (def->array)
        return array_of(object, def).count != 0;
    char current[4096];
    char original[4096];
    if (!me_gen_get(object, def, 0, current, sizeof current))
        return true;
    std::vector<unsigned char> scratch(def->element_size);
    if (def->type == evalue_dstring) {
        // Owned text: compare with the default text itself.
        return strcmp(current, def->default_text ? def->default_text : "") != 0;
    }
    evalue_default(def, scratch.data());
    if (!evalue_format(def, scratch.data(), original, sizeof original))
        return true;
    return strcmp(current, original) != 0;
}

ENGINE_API bool me_gen_constr(entity_t* object, const evalue_def_t* def)
{
    if (!object || !def || !evalue_size_fits(def, nullptr))
        return false;
    if (def->array)
        return me_gen_realloc(object, def, 0);
    evalue_default(def, def->member(object));
    return true;
}

ENGINE_API bool me_gen_destr(entity_t* object, const evalue_def_t* def)
{
    if (!object || !def || !evalue_size_fits(def, nullptr))
        return false;
    if (def->array) {
        evalue_array_t& array = array_of(object, def);
        if (def->type == evalue_dstring)
            return resize_text_array(def, array, 0);
        mem_sys_free(array.data);
        array = evalue_array_t{nullptr, 0};
        return true;
    }
    evalue_release_value(def, def->member(object));
    return true;
}

ENGINE_API bool me_gen_copy(entity_t* target, const entity_t* source, const evalue_def_t* def)
{
    if (!target || !source || !def || !evalue_size_fits(def, nullptr))
        return false;
    if (!def->array) {
        evalue_copy_value(def, def->member(target), def->member(const_cast<entity_t*>(source)));
        mark_changed(target, def);
        return true;
    }
    const evalue_array_t& from = array_of(source, def);
    if (!me_gen_realloc(target, def, from.count))
        return false;
    if (def->type == evalue_dstring) {
        auto* texts = static_cast<dstring_t*>(array_of(target, def).data);
        for (int i = 0; i < from.count; ++i)
            texts[i] = static_cast<const dstring_t*>(from.data)[i];
    } else if (from.count > 0) {
        memcpy(array_of(target, def).data, from.data, static_cast<size_t>(from.count) * def->element_size);
    }
    mark_changed(target, def);
    return true;
}

ENGINE_API bool me_dstring_get(const entity_t* object, const evalue_def_t* def, int index, char* out, size_t size)
{
    return me_gen_get(object, def, index, out, size);
}

ENGINE_API bool me_dstring_set(entity_t* object, const evalue_def_t* def, int index, const char* text)
{
    return me_gen_set(object, def, index, text);
}

ENGINE_API bool me_string_get(const entity_t* object, const evalue_def_t* def, int index, char* out, size_t size)
{
    return me_gen_get(object, def, index, out, size);
}

ENGINE_API bool me_string_set(entity_t* object, const evalue_def_t* def, int index, const char* text)
{
    return me_gen_set(object, def, index, text);
}

const evalue_def_t* evalue_find(const evalue_def_t* root, const char* name)
{
    if (!name)
        return nullptr;
    for (const evalue_def_t* def = root; def; def = def->next)
        if (def->name && strcmp(def->name, name) == 0)
            return def;
    return nullptr;
}

namespace {

// Says why a setting failed: into `why` when the caller wants it, else to the log.
bool refuse(const entity_t* object, const std::string& reason, std::string* why)
{
    if (why)
        *why = reason;
    else
        error("<evalue> %s (%s): %s", object->name(), object->type_name(), reason.c_str());
    return false;
}

// The property `name` of `object`, or null after refusing; `property` receives the start of every
// message about it.
const evalue_def_t* find_property(const entity_t* object, const char* name, std::string& property, std::string* why)
{
    if (!object)
        return nullptr;
    const evalue_def_t* def = evalue_find(object->get_evalue_root(), name);
    if (!def) {
        refuse(object, std::string("no property \"") + (name ? name : "") + "\"", why);
        return nullptr;
    }
    property = std::string("property \"") + name + "\": ";
    return def;
}

}  // namespace

bool evalue_set(entity_t* object, const char* name, int index, const char* text, std::string* why)
{
    std::string property;
    const evalue_def_t* def = find_property(object, name, property, why);
    if (!def)
        return false;
    std::string reason;
    if (!evalue_size_fits(def, &reason))
        return refuse(object, property + reason, why);
    // Check the text on scratch first, so a bad value changes nothing (not even an array's length).
    if (def->type != evalue_dstring) {
        std::vector<unsigned char> scratch(def->element_size);
        if (!evalue_parse(def, text, scratch.data(), &reason))
            return refuse(object, property + reason, why);
    }
    if (def->array && index == array_of(object, def).count && !def->insert(object, def, index))
        return refuse(object, property + "cannot grow the array", why);
    if (!value_at(object, def, index))
        return refuse(object, property + "no element " + std::to_string(index), why);
    if (!def->set(object, def, index, text))
        return refuse(object, property + "the value was refused", why);
    return true;
}

bool evalue_set_array(entity_t* object, const char* name, const std::vector<std::string>& texts, std::string* why)
{
    std::string property;
    const evalue_def_t* def = find_property(object, name, property, why);
    if (!def)
        return false;
    if (!def->array)
        return refuse(object, property + "not an array", why);
    if (!array_usable(def))
        return refuse(object, property + "not an array of plain values", why);
    if (texts.size() > static_cast<size_t>(max_array_count))
        return refuse(object, property + "more than " + std::to_string(max_array_count) + " values", why);
    std::string reason;
    std::vector<unsigned char> scratch(def->element_size);
    for (const std::string& text : texts)
        if (def->type != evalue_dstring && !evalue_parse(def, text.c_str(), scratch.data(), &reason))
            return refuse(object, property + reason, why);
    if (!def->realloc(object, def, static_cast<int>(texts.size())))
        return refuse(object, property + "cannot size the array", why);
    for (size_t i = 0; i < texts.size(); ++i)
        if (!def->set(object, def, static_cast<int>(i), texts[i].c_str()))
            return refuse(object, property + "the value was refused", why);
    mark_changed(object, def);
    return true;
}

void evalue_destruct_all(entity_t* object, const evalue_def_t* root)
{
    for (const evalue_def_t* def = root; def; def = def->next)
        if (def->destr)
            def->destr(object, def);
}

bool evalue_take_changed(entity_t* object, const evalue_def_t* def)
{
    if (!object || !def || !def->status)
        return false;
    uint8_t& status = *def->status(object);
    const bool changed = status & evalue_changed;
    status = static_cast<uint8_t>(status & ~evalue_changed);
    return changed;
}
