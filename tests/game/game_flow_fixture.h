#pragma once
#include <string>
#include <vector>

#include "engine/command_line.h"
#include "engine/entity_reg.h"
#include "engine/ui.h"
#include "engine/vfs.h"
#include "engine_testing/ui_driver.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "frame/game_process.h"
#include "frame/type_registry.h"
#include "../frame/frame_fixture.h"
#include "game/menu_shared.h"

// The game process on a small data root with the windows of the game flow (the ids their handlers
// read, plain looks), the module's UI types registered, and helpers to step frames, find windows and
// write saves into the home.
class game_flow_test_t : public world_test_t {
protected:
    void SetUp() override
    {
        world_test_t::SetUp();
        const entity_reg_t* const rows = entity_type_rows();
        for (int i = 0; i < entity_type_row_count(); ++i)
            if (std::string(rows[i].type_name).rfind("ui.", 0) == 0 && !entity_find_type(rows[i].type_name))
                entity_register(&rows[i]);
        write_data_file("ui/pointers/main.esc", "entity ui.window { rect = 0 1024 768 0; }\n");
        write_data_file("ui/mbackground.esc", "entity ui.handler.mbackground { }\n"
                                              "entity ui.window { rect = 0 1024 768 0;\n"
                                              "    entity ui.comp.common.text { id = 100; rect = 0 100 100 0; }\n"
                                              "    entity ui.comp.common.text { id = 110; rect = 0 100 200 100; }\n"
                                              "}\n");
        write_data_file("ui/mmain.esc", buttons("menu.main", {10, 20, 30, 40, 50, 60}));
        write_data_file("ui/mgame.esc", buttons("menu.game", {5, 10, 20, 30, 40, 50, 666}));
        write_data_file("ui/msgbox.esc", "entity ui.handler.msgbox { }\n"
                                         "entity ui.window { rect = 262 762 504 264;\n"
                                         "    entity ui.comp.common.text { id = 200; rect = 262 762 504 264; }\n"
                                         "    entity ui.comp.common.text { id = 100; rect = 282 742 496 460; }\n"
                                         "    entity ui.comp.common.text { id = 110; rect = 282 742 452 320; }\n"
                                         "    entity ui.comp.common.button { id = 10; rect = 282 422 308 276; }\n"
                                         "    entity ui.comp.common.button { id = 20; rect = 442 582 308 276; }\n"
                                         "    entity ui.comp.common.button { id = 30; rect = 602 742 308 276; }\n"
                                         "}\n");
        const std::string save_list =
            "    entity ui.comp.common.list { id = 30; rect = 100 900 700 260; item_height = 20; }\n"
            "    entity ui.comp.common.button { id = 10; rect = 100 200 100 60; }\n"
            "    entity ui.comp.common.button { id = 20; rect = 300 400 100 60; }\n"
            "    entity ui.comp.common.button { id = 50; rect = 500 600 100 60; }\n";
        write_data_file("ui/mload.esc", "entity ui.handler.menu.load { }\nentity ui.window { rect = 0 1024 768 0;\n" +
                                            save_list + "}\n");
        write_data_file("ui/msave.esc",
                        "entity ui.handler.menu.save { }\nentity ui.window { rect = 0 1024 768 0;\n" + save_list +
                            "    entity ui.comp.common.inputline { id = 40; rect = 100 900 240 210; }\n}\n");
    }

    // A menu script with a handler and a button for each id, in a column.
    static std::string buttons(const std::string& handler, const std::vector<int>& ids)
    {
        std::string script = "entity ui.handler." + handler + " { }\nentity ui.window { rect = 0 1024 768 0;\n";
        float top = 740.0f;
        for (const int id : ids) {
            script += "    entity ui.comp.common.button { id = " + std::to_string(id) + "; rect = 400 600 " +
                      std::to_string(top) + " " + std::to_string(top - 30.0f) + "; }\n";
            top -= 40.0f;
        }
        return script + "}\n";
    }

    // Starts the game process (the menu world unless `arguments` say otherwise).
    void start(const std::vector<std::string>& arguments = {})
    {
        std::vector<std::string> line{"kavrenta"};
        line.insert(line.end(), arguments.begin(), arguments.end());
        cdl_set(line);
        ASSERT_NE(game_process_t::create_and_start(), nullptr);
        frames(1);
    }

    // `count` frames of `seconds` (the game process runs the UI's pass in each).
    static void frames(int count, double seconds = 0.02) { engine_run_frames(count, seconds); }

    // Lets every running fade end.
    static void settle() { frames(3, 0.4); }

    static c_item_t* window(const char* group, const char* name)
    {
        game_bridge_t* bridge = get_game_bridge();
        return bridge ? bridge->find_window(group, name) : nullptr;
    }

    static bool shown(c_item_t* item)
    {
        const ui_window_t* view = ui_driver_window(item);
        return view && view->visible;
    }

    // Clicks component `id` of a window.
    static bool click(c_item_t* item, int id)
    {
        ui_view_t* view = ui_driver_find(item, id);
        return view && ui_driver_click(view);
    }

    // Writes `bytes` to a home file through the file system.
    static bool write_home(const char* path, const std::string& bytes)
    {
        const int file = api::vfs_open(path, 0x301, 0x1b6);
        if (file < 0)
            return false;
        const bool written =
            api::vfs_write(file, bytes.data(), static_cast<long>(bytes.size())) == static_cast<long>(bytes.size());
        api::vfs_close(file);
        return written;
    }

    // A save file of version `version` whose trailer holds `week` and `clock`.
    static std::string save_bytes(int32_t version, int32_t week, float clock)
    {
        std::string bytes(reinterpret_cast<const char*>(&version), 4);
        bytes += std::string("t1m3st4mph34d3r", 16);
        bytes += std::string(reinterpret_cast<const char*>(&week), 4);
        bytes += std::string(reinterpret_cast<const char*>(&clock), 4);
        return bytes;
    }
};
