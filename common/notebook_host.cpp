#include "common/notebook_host.h"

#include "engine/cache.h"
#include "engine/ui_view.h"
#include "engine/ui_window.h"

notebook_host_t* notebook_host(c_item_t* window)
{
    const auto* view =
        window && (window->class_flags & ui_class_window) ? static_cast<const ui_window_t*>(window->object) : nullptr;
    c_item_t* handler = view ? view->handler_item : nullptr;
    return handler ? dynamic_cast<notebook_host_t*>(static_cast<entity_t*>(handler->object)) : nullptr;
}
