#include "ui_pointer.h"

#include <vector>

#include "engine/log.h"
#include "engine/ui.h"
#include "ui_system.h"

namespace {

constexpr int pointer_count = 8;

// The pointer windows and the pointer's state.
struct pointer_state_t {
    ui_slot_t slots[pointer_count];
    int shown = -1;
    float x = 512.0f;
    float y = 384.0f;
    std::vector<ui_built_t> retired;  // replaced or removed while the UI was busy
};

pointer_state_t pointers;

bool valid_index(int index, const char* caller)
{
    if (index >= 0 && index < pointer_count)
        return true;
    warning("<ui> %s: no pointer %d", caller, index);
    return false;
}

// Ends a pointer window now, or once the UI is no longer busy (its own hooks may be running).
void retire(ui_built_t& built)
{
    if (!built.window)
        return;
    built.window->visible = false;
    pointers.retired.push_back(built);
    built = ui_built_t{};
    ui_pointer_collect();
}

}  // namespace

void ui_pointer_collect()
{
    if (ui_system().busy > 0)
        return;
    std::vector<ui_built_t> retired;
    retired.swap(pointers.retired);
    for (ui_built_t& built : retired)
        ui_script_destroy(built);
}

bool ui_pinsert(int index, const char* script)
{
    if (!valid_index(index, "ui_pinsert"))
        return false;
    ui_init();
    ui_built_t built;
    if (!ui_script_build(script, built)) {
        error("<ui> cannot insert pointer %d from \"%s\"", index, script ? script : "");
        return false;
    }
    retire(pointers.slots[index].built);
    pointers.slots[index].built = built;
    built.window->visible = pointers.shown == index;
    return true;
}

void ui_pshow(int index)
{
    if (index != -1 && !valid_index(index, "ui_pshow"))
        return;
    if (pointers.shown >= 0 && pointers.slots[pointers.shown].built.window)
        pointers.slots[pointers.shown].built.window->visible = false;
    pointers.shown = index;
    if (index >= 0 && pointers.slots[index].built.window)
        pointers.slots[index].built.window->visible = true;
}

void ui_premove(int index)
{
    if (!valid_index(index, "ui_premove"))
        return;
    retire(pointers.slots[index].built);
    if (pointers.shown == index)
        pointers.shown = -1;
}

c_item_t* ui_pget(int index)
{
    if (index < 0 || index >= pointer_count || !pointers.slots[index].built.window)
        return nullptr;
    return pointers.slots[index].built.window->item;
}

float ui_pointer_x() { return pointers.x; }
float ui_pointer_y() { return pointers.y; }
int ui_pointer_shown() { return pointers.shown; }

void ui_pointer_moved(float x, float y)
{
    pointers.x = x;
    pointers.y = y;
}

void ui_pointer_frame()
{
    if (pointers.shown < 0)
        return;
    ui_slot_t& slot = pointers.slots[pointers.shown];
    ui_window_t* window = slot.built.window;
    if (!window)
        return;
    const float dx = pointers.x - window->rect.left;
    const float dy = pointers.y - window->rect.top;
    if (dx != 0.0f || dy != 0.0f)
        window->offset(dx, dy, ui_offset_shift | ui_offset_area);
    // The hooks may remove or replace the pointer: its objects then live until the pass is done.
    ui_handler_t* handler = slot.built.handler;
    if (handler)
        handler->handler();
    if (handler)
        handler->pre_wdraw();
    window->handler();
    window->precache_layers();
    window->draw_layers();
    if (handler)
        handler->post_wdraw();
}

void ui_pointer_reset()
{
    for (ui_slot_t& slot : pointers.slots)
        ui_script_destroy(slot.built);
    for (ui_built_t& built : pointers.retired)
        ui_script_destroy(built);
    pointers = pointer_state_t{};
}
