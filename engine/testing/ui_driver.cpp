#include "engine_testing/ui_driver.h"

#include "engine/cache.h"
#include "engine/entity_reg.h"
#include "engine/evalue.h"
#include "engine/pml_draw.h"
#include "engine/reset.h"
#include "engine/ui_action.h"

namespace {

std::vector<std::string> trace;
uint32_t held_buttons = 0;

engine_reset_registrar_t driver_reset_registrar(reset_order_devices + 50, [] {
    trace.clear();
    held_buttons = 0;
});

ui_view_t* find_in(ui_view_t* view, int id)
{
    if (view->id == id)
        return view;
    if (!view->is_group())
        return nullptr;
    for (ui_view_t* child : static_cast<ui_group_t*>(view)->children)
        if (ui_view_t* found = find_in(child, id))
            return found;
    return nullptr;
}

// The handler of "ui.handler.test.trace".
class trace_handler_t : public ui_handler_t {
public:
    bool handle(ui_view_t* view, int code, void* param) override
    {
        std::string line = "handle " + std::to_string(view ? view->id : -1) + " " + std::to_string(code);
        if (code == ui_action_pressed && param)
            line += " " + std::to_string(static_cast<ui_press_param_t*>(param)->pressed);
        trace.push_back(line);
        if (code == ui_action_pressed && view && view->id == 999)
            ui_wremove(window);
        return code == ui_action_pressed;
    }
    void on_wcreate() override { trace.push_back("create"); }
    void on_wdestroy() override { trace.push_back("destroy"); }
    void on_wshow() override { trace.push_back("show"); }
    void on_whide() override { trace.push_back("hide"); }
    void pre_wdraw() override { trace.push_back("pre_wdraw"); }
    void post_wdraw() override { trace.push_back("post_wdraw"); }
    void handler() override { trace.push_back("handler"); }
};

const entity_reg_t trace_type{
    "ui.handler.test.trace",
    0,
    {0, 0, 0},
    sizeof(trace_handler_t),
    [](void* memory) -> entity_t* { return memory ? new (memory) trace_handler_t() : new trace_handler_t(); },
    [](entity_t* object, bool in_place) {
        if (in_place)
            static_cast<trace_handler_t*>(object)->~trace_handler_t();
        else
            delete static_cast<trace_handler_t*>(object);
    }};

bool send(ui_event_t event) { return ui_dispatch_event(&event); }

std::string text_of(const std::vector<pml_item_t>& items)
{
    std::string out;
    for (const pml_item_t& item : items)
        if (!item.is_hidden())
            out += item.id == pml_item_image ? '#' : static_cast<char>(item.id);
    return out;
}

}  // namespace

ui_view_t* ui_driver_find(c_item_t* window, int id)
{
    ui_window_t* root = ui_driver_window(window);
    return root ? find_in(root, id) : nullptr;
}

ui_window_t* ui_driver_window(c_item_t* window)
{
    if (!window || !window->object || (window->class_flags & ui_class_window) == 0)
        return nullptr;
    return static_cast<ui_window_t*>(window->object);
}

bool ui_driver_move(float x, float y)
{
    ui_event_t event;
    event.type = ui_event_move;
    event.buttons = held_buttons;
    event.x = x;
    event.y = y;
    return send(event);
}

bool ui_driver_press(uint32_t buttons)
{
    held_buttons |= buttons;
    ui_event_t event;
    event.type = ui_event_pointer;
    event.down = 1;
    event.buttons = buttons;
    event.x = ui_pointer_x();
    event.y = ui_pointer_y();
    return send(event);
}

bool ui_driver_release(uint32_t buttons)
{
    held_buttons &= ~buttons;
    ui_event_t event;
    event.type = ui_event_pointer;
    event.down = 0;
    event.buttons = buttons;
    event.x = ui_pointer_x();
    event.y = ui_pointer_y();
    return send(event);
}

bool ui_driver_click(const ui_view_t* view)
{
    if (!view)
        return false;
    const pml_rect_t& box = view->area.left == ui_area_unset ? view->rect : view->area;
    ui_driver_move((box.left + box.right) * 0.5f, (box.top + box.bottom) * 0.5f);
    const bool pressed = ui_driver_press();
    const bool released = ui_driver_release();
    return pressed || released;
}

bool ui_driver_key(uint16_t scan, bool down, uint8_t modifiers, char character)
{
    ui_event_t event;
    event.type = ui_event_key;
    event.down = down ? 1 : 0;
    event.scan = scan;
    event.modifiers = modifiers;
    event.character = static_cast<unsigned char>(character);
    return send(event);
}

bool ui_driver_stroke(uint16_t scan, uint8_t modifiers, char character)
{
    const bool down = ui_driver_key(scan, true, modifiers, character);
    const bool up = ui_driver_key(scan, false, modifiers, character);
    return down || up;
}

void ui_driver_type(const char* text)
{
    for (const char* c = text; c && *c; ++c)
        ui_driver_stroke(0, 0, *c);
}

std::string ui_driver_get(ui_view_t* view, const char* property)
{
    if (!view)
        return std::string();
    const evalue_def_t* def = evalue_find(view->get_evalue_root(), property);
    char text[4096];
    if (!def || !def->get(view, def, 0, text, sizeof text))
        return std::string();
    return text;
}

bool ui_driver_set(ui_view_t* view, const char* property, const char* value)
{
    if (!view)
        return false;
    const evalue_def_t* def = evalue_find(view->get_evalue_root(), property);
    return def && def->set(view, def, 0, value);
}

std::string ui_driver_layer_text(c_item_t* window, int layer)
{
    ui_window_t* root = ui_driver_window(window);
    const ui_layer_entry_t* entry = root ? root->layer_entry(layer, false) : nullptr;
    return entry ? text_of(entry->buffer.items()) : std::string();
}

std::string ui_driver_drawn_text()
{
    std::string out;
    for (const pml_drawn_t& drawn : pml_drawn())
        out += drawn.item.id == pml_item_image ? '#' : static_cast<char>(drawn.item.id);
    return out;
}

void ui_driver_register_trace_handler()
{
    if (!entity_find_type(trace_type.type_name))
        entity_register(&trace_type);
}

const std::vector<std::string>& ui_driver_trace() { return trace; }
void ui_driver_trace_add(const std::string& line) { trace.push_back(line); }
void ui_driver_trace_clear() { trace.clear(); }
