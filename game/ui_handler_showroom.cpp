#include "game/ui_handler_showroom.h"

#include <strings.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/cache.h"
#include "engine/def_obj.h"
#include "engine/def_pool.h"
#include "engine/snd.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "engine/ui_event.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "common/sub_folders.h"
#include "common/ui_find_component.h"
#include "game/menu_files.h"
#include "game/menu_shared.h"
#include "game/ui_handler_menu_main.h"
#include "ui/components/ui_comp_button.h"
#include "ui/components/ui_comp_list.h"
#include "ui/components/ui_comp_make.h"

namespace {

// The first object of a definition file (any name), or a value of it; empty when missing.
std::string def_value(const std::string& path, const char* object, const char* key)
{
    const std::unique_ptr<def_pool_t> pool = def_pool_t::load(path.c_str());
    const def_obj_t* found = pool ? pool->find(object) : nullptr;
    const char* value = found ? found->get_value(key) : nullptr;
    return value ? value : "";
}

void add_item(ui_comp_list_t* list, const std::string& pml, const std::string& text, uint32_t data)
{
    ui_list_item_t item;
    item.pml = pml.c_str();
    item.text = text.c_str();
    item.data = data;
    item.mask = ui_list_pml | ui_list_text | ui_list_data;
    list->insert_item(item, static_cast<uint32_t>(list->count()));
}

// The last component of a path.
std::string last_component(const std::string& path) { return path.substr(path.rfind('/') + 1); }

}  // namespace

std::string cargo_names_for_trailer(const char* trailer, const int variant)
{
    std::string names;
    for (const std::string& file : folder_files("/defs/cargos")) {
        if (file[0] == '.' || file[0] == '!')
            continue;
        const std::string path = "/defs/cargos/" + file;
        const std::unique_ptr<def_pool_t> pool = def_pool_t::load(path.c_str());
        const def_obj_t* cargo = pool ? pool->find("cargo") : nullptr;
        const char* carried_by = cargo ? cargo->get_value("trailer") : nullptr;
        if (!carried_by || strcasecmp(carried_by, trailer) != 0 || cargo->get_int("variant", 0) != variant)
            continue;
        const char* name = cargo->get_value("name");
        if (!names.empty())
            names += ", ";
        names += name ? name : "";
    }
    return names.substr(0, 255);
}

void ui_handler_showroom_t::on_wshow()
{
    if (auto* background =
            static_cast<ui_view_t*>(menu_background_window() ? menu_background_window()->object : nullptr))
        background->show(false);
    ui_handler_game_base_t::on_wshow();
    music = api::snd_new(music_path, 14, 20);
    if (music)
        api::snd_play(music);
    click_muted = 1;
    for (const int id : {turn_id, trucks_id})
        if (auto* button = dynamic_cast<ui_comp_button_t*>(ui_window_component(window, id)))
            button->click();
    click_muted = 0;
}

void ui_handler_showroom_t::on_whide()
{
    if (auto* background =
            static_cast<ui_view_t*>(menu_background_window() ? menu_background_window()->object : nullptr))
        background->show(true);
    ui_handler_game_base_t::on_whide();
    if (music) {
        if (api::snd_playing(music))
            api::snd_stop(music);
        api::snd_delete(music);
        music = nullptr;
    }
}

void ui_handler_showroom_t::showroom_fill_makes()
{
    auto* makes = dynamic_cast<ui_comp_list_t*>(ui_window_component(window, makes_id));
    if (!makes)
        return;
    makes->clear();
    const std::string root = truck_mode ? "/makes/truck" : "/makes/trailer";
    for (const std::string& name : vfs_sub_folders(root)) {
        if (strcasecmp(name.c_str(), "police") == 0)
            continue;
        const std::string folder = root + "/" + name;
        const std::string title = def_value(folder + "/description.def", truck_mode ? "truck" : "trailer", "name");
        if (!title.empty())
            add_item(makes, title, folder, 0);
    }
    makes->sort_items(nullptr);
    click_muted = 1;
    if (makes->count() > 0)
        makes->select_item(0, true);
    click_muted = 0;
}

void ui_handler_showroom_t::showroom_fill_items(const std::string& make_path)
{
    auto* items = dynamic_cast<ui_comp_list_t*>(ui_window_component(window, items_id));
    if (!items)
        return;
    items->clear();
    if (truck_mode) {
        for (const std::string& accessory : vfs_sub_folders(make_path + "/acc")) {
            const std::string folder = make_path + "/acc/" + accessory;
            if (strcasecmp(def_value(folder + "/!desc.def", "accessory", "type").c_str(), "paint") == 0)
                add_item(items, def_value(folder + "/!desc.def", "accessory", "name"), folder, 0);
        }
    } else {
        const std::string base = make_path + "/acc/base/!desc.def";
        const std::unique_ptr<def_pool_t> pool = def_pool_t::load(base.c_str());
        const def_obj_t* accessory = pool ? pool->find("accessory") : nullptr;
        for (int i = 0; accessory; ++i) {
            const char* shader = accessory->get_value(("shader" + std::to_string(i)).c_str());
            if (!shader || !shader[0])
                break;
            add_item(items, cargo_names_for_trailer(last_component(make_path).c_str(), i), make_path,
                     static_cast<uint32_t>(i));
        }
    }
    items->sort_items(nullptr);
    click_muted = 1;
    if (items->count() > 0)
        items->select_item(0, true);
    click_muted = 0;
}

void ui_handler_showroom_t::showroom_show_item(const std::string& item_path, const uint32_t item)
{
    const size_t acc = item_path.rfind("/acc");
    const std::string make_path = truck_mode && acc != std::string::npos ? item_path.substr(0, acc) : item_path;
    const std::string description = make_path + "/description.def";
    const std::unique_ptr<def_pool_t> pool = def_pool_t::load(description.c_str());
    const def_obj_t* make = pool ? pool->find(truck_mode ? "truck" : "trailer") : nullptr;
    const char* make_name = make ? make->get_value("name") : nullptr;
    if (ui_view_t* view = ui_window_component(window, make_name_id))
        evalue_set(view, "value", 0, make_name ? make_name : "");
    char accessories[ui_comp_make_t::part_count][ui_comp_make_t::name_size] = {};
    int used = 0;
    for (int i = 0; truck_mode && make && used < ui_comp_make_t::part_count - 1; ++i) {
        const char* name = make->get_value(("access" + std::to_string(i)).c_str());
        if (!name || !name[0])
            break;
        if (strcasecmp(name, "interior") != 0)
            std::snprintf(accessories[used++], ui_comp_make_t::name_size, "%s", name);
    }
    std::string label;
    if (truck_mode) {
        // The chosen paint goes with the make's own accessories.
        std::snprintf(accessories[used++], ui_comp_make_t::name_size, "%s", last_component(item_path).c_str());
        const std::string paint = item_path + "/!desc.def";
        const std::string name = def_value(paint, "accessory", "name");
        const std::string author = def_value(paint, "accessory", "author");
        label = author.empty() ? name : name + " - " + author;
    } else {
        const std::string cargos = cargo_names_for_trailer(last_component(item_path).c_str(), static_cast<int>(item));
        const char* author = make ? make->get_value("author") : nullptr;
        label = author && author[0] ? cargos + " - " + author : cargos;
    }
    if (ui_view_t* view = ui_window_component(window, item_name_id))
        evalue_set(view, "value", 0, label.c_str());
    if (auto* model = dynamic_cast<ui_comp_make_t*>(ui_window_component(window, view_id)))
        model->build_truck(last_component(make_path).c_str(), accessories, truck_mode ? "truck" : "trailer",
                           static_cast<int>(item));
}

void ui_handler_showroom_t::showroom_leave()
{
    if (auto* model = dynamic_cast<ui_comp_make_t*>(ui_window_component(window, view_id)))
        model->build_truck("", nullptr, "truck", 0);
    for (const int id : {make_name_id, item_name_id})
        if (ui_view_t* view = ui_window_component(window, id))
            evalue_set(view, "value", 0, "");
    menu_back(*this);
}

bool ui_handler_showroom_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code == ui_action_key_up && param && static_cast<const ui_key_param_t*>(param)->key == ui_key_escape) {
        showroom_leave();
        return true;
    }
    if (!view)
        return false;
    if (code == ui_action_pressed) {
        switch (view->id) {
        case back_id:
            showroom_leave();
            return true;
        case turn_id:
            if (auto* model = dynamic_cast<ui_comp_make_t*>(ui_window_component(window, view_id)))
                model->auto_turn = param ? *static_cast<const uint8_t*>(param) : 0;
            return false;
        case trucks_id:
        case trailers_id:
            truck_mode = view->id == trucks_id ? 1 : 0;
            showroom_fill_makes();
            return false;
        default:
            return false;
        }
    }
    if (code == ui_action_item_selected && param) {
        const auto* item = static_cast<const ui_list_param_t*>(param);
        if (view->id == makes_id)
            showroom_fill_items(item->text);
        else if (view->id == items_id)
            showroom_show_item(item->text, item->data);
    }
    return false;
}
