#include "game/ui_handler_menu_newgame.h"

#include <strings.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "engine/cache.h"
#include "engine/def_obj.h"
#include "engine/def_pool.h"
#include "engine/lcl.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "engine/ui_window.h"
#include "common/engine_api.h"
#include "common/game_context.h"
#include "common/ui_find_component.h"
#include "common/world_pause.h"
#include "game/company_colours.h"
#include "game/menu_files.h"
#include "game/menu_return.h"
#include "game/menu_shared.h"
#include "game/msgbox.h"
#include "game/ui_handler_menu_main.h"
#include "game/ui_handler_msgbox.h"
#include "ui/components/ui_comp_button.h"
#include "ui/components/ui_comp_list.h"
#include "ui/components/ui_editline.h"

namespace {

// A value of object `object` of the definition file `path`, or empty when any is missing.
std::string def_value(const std::string& path, const char* object, const char* key)
{
    const std::unique_ptr<def_pool_t> pool = def_pool_t::load(path.c_str());
    const def_obj_t* found = pool ? pool->find(object) : nullptr;
    const char* value = found ? found->get_value(key) : nullptr;
    return value ? value : "";
}

// A text cut to the longest choice kept.
std::string cut(const char* text)
{
    return std::string(text ? text : "").substr(0, ui_handler_menu_newgame_t::choice_limit);
}

// Orders items by the text the player reads: their markups with the text keys translated (a scenario's
// name is a key such as "@@sc_free_mode@@"), without regard to case.
int compare_shown(ui_comp_list_t* list, const int a, const int b)
{
    const std::string first = lcl_translate(list->item_pml_at(a));
    const std::string second = lcl_translate(list->item_pml_at(b));
    return strcasecmp(first.c_str(), second.c_str());
}

// Appends an item showing `pml`, carrying `text` and `data`.
void add_item(ui_comp_list_t* list, const std::string& pml, const std::string& text, uint32_t data = 0)
{
    ui_list_item_t item;
    item.pml = pml.c_str();
    item.text = text.c_str();
    item.data = data;
    item.mask = ui_list_pml | ui_list_text | ui_list_data;
    list->insert_item(item, static_cast<uint32_t>(list->count()));
}

// A face list item's picture: the portrait (the first of the driver's "imgs") from the faces folder.
std::string face_picture(const std::string& images)
{
    return "<img src=/ui/faces/" + images.substr(0, images.find('|')) + " width=56 height=56>";
}

// A colour list item's swatch: a white picture painted in the colour, as wide as the row.
std::string colour_swatch(const uint32_t colour)
{
    char pml[128];
    std::snprintf(pml, sizeof pml, "<img src=/shaders/2d/uidefault.shd width=160 height=20 color=%08x>", colour);
    return pml;
}

// The file name without ".def".
std::string stem(const std::string& file)
{
    return file.size() > 4 && strcasecmp(file.c_str() + file.size() - 4, ".def") == 0 ? file.substr(0, file.size() - 4)
                                                                                      : file;
}

}  // namespace

ui_comp_list_t* ui_handler_menu_newgame_t::list(const int id) { return window_list(*this, id); }

void ui_handler_menu_newgame_t::on_wcreate()
{
    ui_handler_game_base_t::on_wcreate();
    face = "face01.shd";
    headquarters.clear();
    colour = 0;
    level = 1;
    scenario.clear();
    leaving = 0;
}

void ui_handler_menu_newgame_t::on_wshow()
{
    leaving = 0;
    ui_handler_game_base_t::on_wshow();
    newgame_fill();
}

void ui_handler_menu_newgame_t::on_whide()
{
    if (!leaving) {
        api::snd_disable_tag(20);
        api::snd_set_current_tag(10);
        api::snd_enable_tag(10, 0);
        if (c_item_t* background = menu_background_window())
            ui_whide(background);
        current_world_pause(false, false);
    }
    ui_handler_game_base_t::on_whide();
}

void ui_handler_menu_newgame_t::newgame_fill()
{
    if (ui_comp_list_t* faces = list(face_list_id)) {
        faces->clear();
        for (const std::string& file : folder_files("/defs/drivers")) {
            const std::string images = def_value("/defs/drivers/" + file, "driver", "imgs");
            if (!images.empty())
                add_item(faces, face_picture(images), images);
        }
        faces->sort_items(nullptr);
        if (faces->count() > 0) {
            faces->select_item(0, false);
            face = faces->item_text_at(0);
        }
    }
    if (ui_comp_list_t* swatches = list(colour_list_id)) {
        swatches->clear();
        for (uint32_t i = 0; i < std::size(company_colours); ++i) {
            char text[16];
            std::snprintf(text, sizeof text, "%x", company_colours[i]);
            add_item(swatches, colour_swatch(company_colours[i]), text, i);
        }
        swatches->sort_items(nullptr);
        colour = static_cast<int32_t>(std::nearbyint(api::sys_rand() * 5.0f));
        // The colour is picked by its index, which the sort has moved: find its item by data.
        ui_list_item_t key;
        key.mask = ui_list_data;
        key.data = static_cast<uint32_t>(colour);
        const int index = swatches->find_item(key, 0, false);
        if (index >= 0)
            swatches->select_item(index, false);
    }
    if (auto* name_line = dynamic_cast<ui_editline_t*>(ui_window_component(window, name_id))) {
        // The preset name is selected, so that the player's first key replaces it.
        name_line->set_text("Player", false);
        name_line->select_all();
        // The name takes the keys at once: the player types his own without clicking first.
        if (ui_window_t* const owner = name_line->window())
            owner->focus(name_line);
    }
    level = 1;
    if (auto* button = dynamic_cast<ui_comp_button_t*>(ui_window_component(window, level_ids[1])))
        button->set_pressed(true);
    if (ui_comp_list_t* scenarios = list(scenario_list_id)) {
        scenarios->clear();
        for (const std::string& file : folder_files("/defs/scenarios")) {
            const std::string name = def_value("/defs/scenarios/" + file, "scenario", "name");
            add_item(scenarios, name.empty() ? stem(file) : name, file);
        }
        scenarios->sort_items(compare_shown);
        scenario = default_scenario;
        ui_list_item_t key;
        key.mask = ui_list_text;
        key.text = default_scenario;
        const int index = scenarios->find_item(key, 0, false);
        if (index >= 0)
            scenarios->select_item(index, false);
    }
    newgame_scenario_changed();
}

void ui_handler_menu_newgame_t::newgame_scenario_changed()
{
    const std::string location = def_value("/defs/scenarios/" + scenario, "scenario", "location");
    newgame_fill_cities(location.empty() ? nullptr : location.c_str(), -1);
}

void ui_handler_menu_newgame_t::newgame_fill_cities(const char* location, const int selected)
{
    ui_comp_list_t* cities = list(city_list_id);
    if (!cities)
        return;
    cities->clear();
    // A city without a "name" is offered under its file's name, which is how the economy finds it.
    const auto add_city = [&](const std::string& file) {
        const std::string path = "/defs/cities/" + file;
        vfs_stat_t stat{};
        if (api::vfs_stat(path.c_str(), &stat) != 0)
            return;
        const std::string name = def_value(path, "city", "name");
        add_item(cities, name.empty() ? stem(file) : name, stem(file));
    };
    if (!location || strcasecmp(location, "any") == 0) {
        for (const std::string& file : folder_files("/defs/cities"))
            add_city(file);
    } else {
        std::string words = location;
        for (size_t start = 0; start <= words.size();) {
            const size_t end = std::min(words.find(';', start), words.size());
            const std::string word = words.substr(start, end - start);
            if (!word.empty())
                add_city(word + ".def");
            start = end + 1;
        }
    }
    cities->sort_items(nullptr);
    if (selected == -1 && cities->count() > 0) {
        headquarters = cut(cities->item_pml_at(0));
        cities->select_item(0, false);
    }
}

void ui_handler_menu_newgame_t::newgame_write_context()
{
    if (def_obj_t* context = game_context_get()) {
        auto* name_line = dynamic_cast<ui_editline_t*>(ui_window_component(window, name_id));
        context->set_value("player_name", name_line ? name_line->text() : "");
        context->set_value("face_img_name", face.substr(0, face.find('|')).c_str());
        context->set_value("headq_name", headquarters.c_str());
        context->set_value("load_game_name", "");
        context->set_int("comp_color", colour);
        context->set_int("level", level);
        context->set_value("scenario_def", scenario.c_str());
    }
    api::cmd_execute("map mainland");
}

void ui_handler_menu_newgame_t::newgame_back()
{
    leaving = 1;
    menu_return(*this);
}

bool ui_handler_menu_newgame_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code == ui_action_key_up && param && static_cast<const ui_key_param_t*>(param)->key == ui_key_escape) {
        newgame_back();
        return true;
    }
    if (!view)
        return false;
    if (code == ui_action_pressed) {
        if (view->id == back_id) {
            newgame_back();
            return true;
        }
        if (view->id == start_id) {
            auto* line = dynamic_cast<ui_editline_t*>(ui_window_component(window, name_id));
            if (!savegame_name_valid(line ? line->text() : "")) {
                msgbox_open("@@ui_error@@", "@@ui_wrong_plr_character@@", ui_handler_msgbox_t::set_close, 0);
                return true;
            }
            menu_music_stop();
            ui_whide(window);
            newgame_write_context();
            return true;
        }
        for (int i = 0; i < 3; ++i)
            if (view->id == level_ids[i])
                level = i;
        return false;
    }
    if (code != ui_action_item_selected || !param)
        return false;
    const auto* item = static_cast<const ui_list_param_t*>(param);
    switch (view->id) {
    case face_list_id:
        face = item->text ? item->text : "";
        break;
    case city_list_id:
        headquarters = cut(item->pml);
        break;
    case colour_list_id:
        colour = static_cast<int32_t>(item->data);
        break;
    case scenario_list_id:
        scenario = cut(item->text);
        newgame_scenario_changed();
        break;
    default:
        return false;
    }
    return false;
}
