#pragma once
#include <string>
#include <utility>
#include <vector>

#include "../../game/game_flow_fixture.h"
#include "ui/components/ui_comp_button.h"
#include "ui/components/ui_comp_list.h"
#include "ui/components/ui_dropbutton_group.h"
#include "ui/components/ui_slider_base.h"

// The menu world with the options' windows: the host, the three pages, the capture prompt and the
// mode test, each with the components its handler reads (plain looks, laid out in a column).
class options_test_t : public game_flow_test_t {
protected:
    // One component of a test window: its kind ("button", "radio" pair members, "slider", "text",
    // "drop", "list") and id.
    using part_t = std::pair<std::string, int>;

    void SetUp() override
    {
        game_flow_test_t::SetUp();
        write_data_file(
            "ui/options/moptionsbase.esc",
            window_script("menu.optionsbase", {{"radios", 3000}, {"radio", 3001}, {"radio", 3002}}, "112 912 744 696"));
        write_data_file(
            "ui/options/moptions1.esc",
            window_script("menu.options1",
                          {{"drop", 10},    {"drop", 30},    {"drop", 32},     {"radios", 40},   {"radio", 41},
                           {"radios", 50},  {"radio", 51},   {"radios", 60},   {"radio", 61},    {"slider", 70},
                           {"drop", 80},    {"drop", 90},    {"drop", 100},    {"slider", 110},  {"slider", 120},
                           {"radios", 130}, {"radio", 131},  {"radio", 132},   {"slider", 140},  {"button", 150},
                           {"button", 160}, {"button", 170}, {"button", 1000}, {"button", 1001}, {"button", 1100}}));
        write_data_file(
            "ui/options/moptions2.esc",
            window_script("menu.options2",
                          {{"list", 10},    {"slider", 30},  {"drop", 40},     {"radios", 50},   {"radio", 55},
                           {"radios", 60},  {"radio", 65},   {"slider", 70},   {"slider", 80},   {"text", 90},
                           {"slider", 92},  {"text", 100},   {"slider", 102},  {"text", 110},    {"slider", 112},
                           {"text", 116},   {"radios", 200}, {"radio", 205},   {"radios", 210},  {"radio", 215},
                           {"radios", 220}, {"radio", 225},  {"button", 1000}, {"button", 1001}, {"text", 999}}));
        write_data_file("ui/options/moptions3.esc", window_script("menu.options3", {{"drop", 100},
                                                                                    {"drop", 110},
                                                                                    {"slider", 120},
                                                                                    {"slider", 130},
                                                                                    {"radios", 140},
                                                                                    {"radio", 145},
                                                                                    {"radios", 150},
                                                                                    {"radio", 155},
                                                                                    {"radios", 160},
                                                                                    {"radio", 165},
                                                                                    {"radios", 170},
                                                                                    {"radio", 175},
                                                                                    {"button", 1000},
                                                                                    {"button", 1001}}));
        write_data_file("ui/options/minformer.esc",
                        window_script("options.informer", {{"text", 1}}, "262 762 444 324"));
        write_data_file(
            "ui/dialog/gfxtest.esc",
            window_script("dialog.gfxtest", {{"text", 10}, {"button", 20}, {"button", 21}}, "262 762 484 284"));
    }

    // A window script of `handler` with `parts` in rows of four; a "radios" part opens a new radio group
    // that the following "radio" parts join.
    static std::string window_script(const std::string& handler, const std::vector<part_t>& parts,
                                     const std::string& rect = "0 1024 688 0")
    {
        std::string script = "entity ui.handler." + handler + " { }\nentity ui.window { rect = " + rect + ";\n";
        bool in_group = false;
        for (size_t i = 0; i < parts.size(); ++i) {
            const auto& [kind, id] = parts[i];
            const float left = 10.0f + static_cast<float>(i % 4) * 250.0f;
            const float top = 680.0f - static_cast<float>(i / 4) * 40.0f;
            const std::string box =
                std::to_string(static_cast<int>(left)) + " " + std::to_string(static_cast<int>(left + 200)) + " " +
                std::to_string(static_cast<int>(top)) + " " + std::to_string(static_cast<int>(top - 30));
            if (in_group && kind != "radio") {
                script += "    }\n";
                in_group = false;
            }
            if (kind == "radios") {
                script += "    entity ui.comp.group { rect = 0 0 0 0;\n";
                in_group = true;
            }
            const std::string line = "id = " + std::to_string(id) + "; rect = " + box + ";";
            if (kind == "radios" || kind == "radio")
                script += "    entity ui.comp.common.button { " + line + " button_type = radio; }\n";
            else if (kind == "button")
                script +=
                    "    entity ui.comp.common.button { " + line + " tooltip = tip" + std::to_string(id) + "; }\n";
            else if (kind == "slider")
                script += "    entity ui.comp.common.slider { " + line + " }\n";
            else if (kind == "text")
                script += "    entity ui.comp.common.text { " + line + " value = \" \"; tooltip = tip" +
                          std::to_string(id) + "; }\n";
            else if (kind == "list")
                script += "    entity ui.comp.common.list { id = " + std::to_string(id) +
                          "; rect = " + std::to_string(static_cast<int>(left)) + " " +
                          std::to_string(static_cast<int>(left + 200)) + " " + std::to_string(static_cast<int>(top)) +
                          " " + std::to_string(static_cast<int>(top - 30)) + "; item_height = 10; }\n";
            else if (kind == "drop")
                script += "    entity ui.comp.common.dropdown { " + line +
                          " list_management = true;\n        entity ui.comp.common.list { rect = 0 200 300 200; "
                          "item_height = 10; }\n    }\n";
        }
        if (in_group)
            script += "    }\n";
        return script + "}\n";
    }

    // Starts the menu world and opens the options from the main menu's button 30.
    void open_options()
    {
        start();
        settle();
        ASSERT_TRUE(click(window("menu", "main"), 30));
        settle();
        ASSERT_NE(window("optionsmenu", "optionsbase"), nullptr);
    }

    template <typename handler_t> static handler_t* page(const char* group, const char* name)
    {
        return dynamic_cast<handler_t*>(window_handler(window(group, name)));
    }

    static ui_view_t* find(const char* group, const char* name, int id)
    {
        return ui_driver_find(window(group, name), id);
    }

    // The list inside drop-down (or list) `id`.
    static ui_comp_list_t* list_of(const char* group, const char* name, int id)
    {
        ui_view_t* view = find(group, name, id);
        if (auto* drop = dynamic_cast<ui_dropbutton_group_t*>(view))
            return drop->list;
        return dynamic_cast<ui_comp_list_t*>(view);
    }

    // The texts of a list's rows.
    static std::vector<std::string> rows(const ui_comp_list_t* list)
    {
        std::vector<std::string> texts;
        for (int i = 0; list && i < list->count(); ++i)
            texts.emplace_back(list->item_pml_at(i));
        return texts;
    }

    // The markup of the selected row, or "" for none.
    static std::string selected(const ui_comp_list_t* list)
    {
        return list && list->selection >= 0 ? list->item_pml_at(list->selection) : "";
    }

    // Picks row `index` as a click would: the handler hears 22.
    static void pick(ui_comp_list_t* list, int index) { list->select_item(index, true); }

    static bool pressed(const char* group, const char* name, int id)
    {
        const auto* button = dynamic_cast<const ui_comp_button_t*>(find(group, name, id));
        return button && button->pressed;
    }

    static int slider_value(const char* group, const char* name, int id)
    {
        const auto* slider = dynamic_cast<const ui_slider_base_t*>(find(group, name, id));
        return slider ? slider->get_int_value() : -1;
    }

    // Moves slider `id` to `value` and sends its change, as a drag would.
    static void slide(const char* group, const char* name, int id, int value)
    {
        if (auto* slider = dynamic_cast<ui_slider_base_t*>(find(group, name, id)))
            slider->set_int_value(value, true);
    }

    static std::string cvar(const char* name)
    {
        const cvar_t* variable = api::cvar_get(name);
        return variable ? variable->value() : "(none)";
    }
    static void set_cvar(const char* name, const char* text)
    {
        if (cvar_t* variable = api::cvar_get(name))
            variable->set(text);
    }
};
