#include "ui_script.h"

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/eblock.h"
#include "engine/entity_reg.h"
#include "engine/level_list.h"
#include "engine/log.h"
#include "engine/scanner.h"
#include "engine/ui_handler.h"
#include "engine/ui_window.h"
#include "ui_items.h"

namespace {

using entity_def_t = eblock_template_t::entity_def_t;

// Entities made so far, freed again when the build fails.
struct build_state_t {
    std::string source;
    std::vector<entity_t*> made;

    ~build_state_t()
    {
        for (auto it = made.rbegin(); it != made.rend(); ++it)
            entity_free(*it);
    }
    // Reports a fault of the script at `line`.
    bool fail(int line, const std::string& what)
    {
        error("%s:%d: %s", source.c_str(), line, what.c_str());
        return false;
    }
};

// Reads the four numbers of a rectangle ("left right top bottom"); false otherwise.
bool read_rect(const eblock_template_t::setting_t& setting, pml_rect_t& out)
{
    if (setting.array)
        return false;
    std::string text;
    for (const std::string& value : setting.values)
        text += value + " ";
    float values[4];
    int read = 0;
    const std::string_view rest(text);
    constexpr std::string_view blanks = " \t";
    for (size_t at = rest.find_first_not_of(blanks); at != std::string_view::npos;
         at = rest.find_first_not_of(blanks, at)) {
        const size_t end = std::min(rest.find_first_of(blanks, at), rest.size());
        double value = 0.0;
        if (read == 4 || scanner_read_real(rest.substr(at, end - at), -scanner_t::real_limit, scanner_t::real_limit,
                                           value) != number_fault_t::none)
            return false;
        values[read++] = static_cast<float>(value);
        at = end;
    }
    if (read != 4)
        return false;
    out = pml_rect_t{values[0], values[1], values[2], values[3]};
    return true;
}

// Creates the entity of `def` and sets its properties; null (reported) on failure.
entity_t* make_entity(const entity_def_t& def, build_state_t& state)
{
    entity_t* entity = entity_create(def.type_name.c_str());
    if (!entity) {
        state.fail(def.line, "cannot create \"" + def.type_name + "\"");
        return nullptr;
    }
    state.made.push_back(entity);
    for (const eblock_template_t::setting_t& setting : def.settings) {
        std::string why;
        if (setting.name == "name" && !setting.array) {
            const std::string name = setting.values.empty() ? std::string() : setting.values.front();
            if (name.size() >= 64) {
                state.fail(setting.line, def.type_name + ": name \"" + name + "\" is too long");
                return nullptr;
            }
            entity->set_name(name.c_str());
            continue;
        }
        ui_view_t* view = dynamic_cast<ui_view_t*>(entity);
        if (view && (setting.name == "rect" || setting.name == "area")) {
            if (!read_rect(setting, setting.name == "rect" ? view->rect : view->area)) {
                state.fail(setting.line, def.type_name + ": " + setting.name + " needs four numbers");
                return nullptr;
            }
            continue;
        }
        bool set = false;
        if (setting.array) {
            set = evalue_set_array(entity, setting.name.c_str(), setting.values, &why);
        } else {
            std::string text;
            for (const std::string& value : setting.values)
                text += (text.empty() ? "" : " ") + value;
            set = evalue_set(entity, setting.name.c_str(), 0, text.c_str(), &why);
        }
        if (!set) {
            state.fail(setting.line, def.type_name + ": property \"" + setting.name + "\": " + why);
            return nullptr;
        }
    }
    return entity;
}

// Builds the view of `def` and its children under `parent` (null for the window).
ui_view_t* make_view(const entity_def_t& def, ui_group_t* parent, build_state_t& state)
{
    entity_t* entity = make_entity(def, state);
    if (!entity)
        return nullptr;
    ui_view_t* view = dynamic_cast<ui_view_t*>(entity);
    if (!view) {
        state.fail(def.line, "\"" + def.type_name + "\" is not a UI component");
        return nullptr;
    }
    if (!parent && !dynamic_cast<ui_window_t*>(view)) {
        state.fail(def.line, "\"" + def.type_name + "\" is not a window");
        return nullptr;
    }
    if (parent && (view->class_flags & ui_class_window)) {
        state.fail(def.line, "a window cannot sit inside a window");
        return nullptr;
    }
    if (parent)
        parent->insert_child(view, nullptr);
    if (!def.children.empty() && !view->is_group()) {
        state.fail(def.children.front().line, "\"" + def.type_name + "\" cannot hold components");
        return nullptr;
    }
    for (const entity_def_t& child : def.children)
        if (!make_view(child, static_cast<ui_group_t*>(view), state))
            return nullptr;
    return view;
}

// Every view of `view`'s tree, parents first.
void collect_views(ui_view_t* view, std::vector<entity_t*>& out)
{
    out.push_back(view);
    if (view->is_group())
        for (ui_view_t* child : static_cast<ui_group_t*>(view)->children)
            collect_views(child, out);
}

// Runs the init phases; false when an entity failed one.
bool run_init(const std::vector<entity_t*>& entities, build_state_t& state)
{
    for (const int level : entity_phase_union(entities, true))
        for (entity_t* entity : entities) {
            const level_list_t* list = entity->get_init_list();
            if (list && list->contains(level) && entity->init(level) != 0)
                return state.fail(0, std::string(entity->name()) + " failed init phase " + std::to_string(level));
        }
    return true;
}

void run_destroy(const std::vector<entity_t*>& entities)
{
    for (const int level : entity_phase_union(entities, false))
        for (entity_t* entity : entities) {
            const level_list_t* list = entity->get_destroy_list();
            if (list && list->contains(level))
                entity->destroy(level);
        }
}

}  // namespace

bool ui_script_build(const char* path, ui_built_t& out)
{
    out = ui_built_t{};
    const std::unique_ptr<eblock_template_t> block = eblock_template_t::load(path);
    if (!block)
        return false;
    build_state_t state;
    state.source = path;
    const entity_def_t* window_def = nullptr;
    const entity_def_t* handler_def = nullptr;
    for (const entity_def_t& def : block->entities()) {
        const bool is_handler = def.type_name.rfind("ui.handler.", 0) == 0;
        const entity_def_t*& slot = is_handler ? handler_def : window_def;
        if (slot)
            return state.fail(def.line, is_handler ? "a second handler" : "a second window");
        slot = &def;
    }
    if (!window_def)
        return state.fail(1, "no window");

    ui_window_t* window = static_cast<ui_window_t*>(make_view(*window_def, nullptr, state));
    if (!window)
        return false;
    ui_handler_t* handler = nullptr;
    if (handler_def) {
        entity_t* entity = make_entity(*handler_def, state);
        if (!entity)
            return false;
        handler = dynamic_cast<ui_handler_t*>(entity);
        if (!handler)
            return state.fail(handler_def->line, "\"" + handler_def->type_name + "\" is not a window handler");
    }

    std::vector<entity_t*> entities;
    collect_views(window, entities);
    if (handler)
        entities.push_back(handler);
    if (!run_init(entities, state))
        return false;

    state.made.clear();  // built: the window owns them now
    ui_items_link(window);
    if (handler) {
        window->handler_item = ui_item_for_handler(handler);
        handler->window = window->item;
    }
    window->ui_setup();
    if (handler)
        handler->on_wcreate();
    out.window = window;
    out.handler = handler;
    return true;
}

void ui_script_destroy(ui_built_t& built)
{
    if (!built.window)
        return;
    if (built.handler)
        built.handler->on_wdestroy();
    std::vector<entity_t*> entities;
    collect_views(built.window, entities);
    if (built.handler)
        entities.push_back(built.handler);
    run_destroy(entities);
    ui_items_unlink(built.window);
    ui_item_drop(built.window->handler_item);
    built.window->handler_item = nullptr;
    for (auto it = entities.rbegin(); it != entities.rend(); ++it)
        entity_free(*it);
    built = ui_built_t{};
}
