#pragma once
#include "engine/evalue.h"

// Accessors of a rectangle property (ui_evalue_rect): a pml_rect_t member written as four numbers.
bool ui_rect_get(const entity_t* object, const evalue_def_t* def, int index, char* out, size_t size);
bool ui_rect_set(entity_t* object, const evalue_def_t* def, int index, const char* text);
// A descriptor of a rectangle property bound to `member`, with `status` taking the changed mark.
evalue_def_t ui_rect_member(const char* name, evalue_member_fn member, evalue_status_fn status,
                            const evalue_def_t* next);
