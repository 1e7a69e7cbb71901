#include "editor/editor_keys.h"

#include <cstdio>

#include "engine/bind.h"
#include "engine/input.h"
#include "common/engine_api.h"

const editor_key_t editor_keys[] = {
    {50, "edit_1", "e"},     {51, "edit_2", "m"},     {52, "edit_3", "d"},    {53, "edit_4", "p"},
    {54, "edit_5", "n"},     {55, "edit_6", "c"},     {56, "edit_7", "f"},    {57, "edit_8", "esc"},
    {58, "edit_9", "space"}, {59, "edit_10", "s"},    {60, "edit_11", "F1"},  {61, "edit_12", "h"},
    {62, "edit_13", "num-"}, {63, "edit_14", "num+"}, {64, "edit_15", "r"},   {65, "edit_16", "i"},
    {66, "edit_17", "b"},    {67, "edit_18", "1"},    {68, "edit_19", "2"},   {69, "edit_20", "3"},
    {70, "edit_21", "4"},    {71, "edit_22", "5"},    {72, "edit_23", "6"},   {73, "edit_24", "7"},
    {74, "edit_25", "8"},    {75, "edit_26", "a"},    {90, nullptr, nullptr}, {105, "down", "pgdn"},
    {104, "up", "pgup"},     {0, nullptr, nullptr},
};

void bind_editor_key(const int32_t impulse, const char* action, const char* key)
{
    inp_impulse_t* const record = api::inp_impulse_get(impulse);
    if (!record)
        return;
    std::snprintf(record->name, sizeof record->name, "%s", action);
    api::bind_add_imp(key, record->name, 1, 0);
}

void bind_editor_keys()
{
    const bind_t* const esc = api::bind_get("esc");
    if (esc)
        api::bind_del(esc->id);
    for (const editor_key_t* row = editor_keys; row->impulse; ++row)
        if (row->key)
            bind_editor_key(row->impulse, row->action, row->key);
}
