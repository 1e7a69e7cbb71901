#include "game/msgbox.h"

#include "engine/cache.h"
#include "engine/ui.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "game/ui_handler_msgbox.h"

namespace {

// The show parameter that makes a window modal.
constexpr unsigned show_modal = 0x20000000;

// The message box window of the current world, inserted through the bridge when absent; null
// (reported) without a world or when it cannot be built.
c_item_t* msgbox_window()
{
    game_bridge_t* bridge = get_game_bridge();
    if (!bridge) {
        api::error("[msgbox] no world to open the message box in");
        return nullptr;
    }
    if (c_item_t* found = bridge->find_window("dialog", "msgbox"))
        return found;
    // Built hidden: the box is open only once `msgbox_open` shows it.
    c_item_t* window = ui_winsert("dialog", "msgbox", 1, "/ui/msgbox.esc", false);
    bridge->adopt_window(window);
    return window;
}

// Runs `use` on the box's handler while its window is locked; false (reported) when the window has
// no message box handler.
template <typename use_t> bool with_handler(c_item_t* window, const use_t& use)
{
    auto* view = static_cast<ui_window_t*>(c_item_lock(window));
    if (!view)
        return false;
    c_item_t* item = view->handler_item;
    auto* locked = static_cast<ui_handler_t*>(c_item_lock(item));
    auto* handler = dynamic_cast<ui_handler_msgbox_t*>(locked);
    if (handler)
        use(*handler);
    else
        api::error("[msgbox] /ui/msgbox.esc has no message box handler");
    if (locked)
        c_item_release(item);
    c_item_release(window);
    return handler != nullptr;
}

}  // namespace

void msgbox_open(const char* title, const char* text, const uint32_t buttons, const uint8_t pause)
{
    c_item_t* window = msgbox_window();
    if (!window)
        return;
    if (with_handler(window, [&](ui_handler_msgbox_t& box) { box.build_buttons(title, text, buttons, pause); }))
        ui_wshow(window, show_modal);
}

uint32_t msgbox_get()
{
    c_item_t* window = msgbox_window();
    uint32_t state = 0;
    if (window)
        with_handler(window, [&](const ui_handler_msgbox_t& box) { state = box.msgbox_state; });
    return state;
}
