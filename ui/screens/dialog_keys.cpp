#include "ui/screens/dialog_keys.h"

#include "engine/ui_action.h"

int dialog_answer_key(const int code, const void* param)
{
    if (code != ui_action_key_up || !param)
        return 0;
    const int key = static_cast<const ui_key_param_t*>(param)->key;
    return key == dialog_enter_key || key == dialog_escape_key ? key : 0;
}
