#include "common/console_window.h"

#include "engine/cache.h"
#include "engine/ui.h"
#include "engine/ui_view.h"

bool console_window_open()
{
    c_item_t* const window = ui_wget(console_window_group, console_window_name);
    const auto* view = window ? static_cast<const ui_view_t*>(window->object) : nullptr;
    return view && view->is_visible();
}
