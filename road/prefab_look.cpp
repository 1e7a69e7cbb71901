#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "engine/arg.h"
#include "common/engine_api.h"
#include "road/prefab.h"
#include "road/seg_def_file.h"

namespace {

// The categories of a look's slots, four slots each, in slot order.
constexpr const char* look_categories[prefab_look_categories] = {"terrain", "cross", "road", "fork", "railing", "misc"};

}  // namespace

int32_t prefab_shader_slot(const char* shader)
{
    if (!shader)
        return -1;
    const size_t length = std::strlen(shader);
    if (length == 0)
        return -1;
    const char last = shader[length - 1];
    if (last < '0' || last > '3')
        return -1;
    for (int32_t category = 0; category < prefab_look_categories; ++category) {
        const size_t name_length = std::strlen(look_categories[category]);
        if (length > name_length && std::strncmp(shader, look_categories[category], name_length) == 0)
            return 4 * category + (last - '0');
    }
    return -1;
}

void prefab_look_parse(prefab_look_t& look, const char* text)
{
    look = prefab_look_t{};
    for (int32_t& slot : look.slots)
        slot = -1;
    arg_t items;
    const int count = items.separate(text, "|");
    seg_copy_name(look.name, sizeof look.name, count > 0 ? items[0] : "");
    arg_t pair;
    for (int i = 1; i < count; ++i) {
        const int fields = pair.separate(items[i], ":");
        const int32_t slot = fields == 2 ? prefab_shader_slot(pair[0]) : -1;
        if (slot < 0) {
            api::error("Prefab look %s: \"%s\" is not a slot and a shader index; it is left out", look.name, items[i]);
            continue;
        }
        look.slots[slot] = std::atoi(pair[1]);
    }
}

int32_t prefab_curve_type(const char* text)
{
    if (!text)
        return prefab_curve_plain;
    if (std::strcmp(text, "stop") == 0)
        return prefab_curve_stop;
    if (std::strcmp(text, "switch") == 0)
        return prefab_curve_switch;
    if (std::strncmp(text, "out", 3) == 0 && text[3] >= '0' && text[3] <= '9')
        return text[3] - '0';
    return prefab_curve_plain;
}

int32_t prefab_find_curve(const prefab_t& prefab, const char* name)
{
    for (size_t i = 0; name && i < prefab.curves.size(); ++i)
        if (strcasecmp(prefab.curves[i].name, name) == 0)
            return static_cast<int32_t>(i);
    return -1;
}

int32_t prefab_find_sign(const prefab_t& prefab, const char* name)
{
    for (size_t i = 0; name && i < prefab.signs.size(); ++i)
        if (strcasecmp(prefab.signs[i].name, name) == 0)
            return static_cast<int32_t>(i);
    return -1;
}
