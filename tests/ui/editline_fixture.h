#pragma once
#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/ui_action.h"
#include "engine/ui_handler.h"
#include "common/type_create.h"
#include "frame/type_registry.h"
#include "ui/components/ui_editline.h"
#include "ui_fixture.h"

// A window handler that writes down what edit lines tell it: "2 <line's text>" for an accept, "3 <text>"
// for a proposal and "4 <text>" for a change. It refuses proposals while `refuse` is set.
class editline_probe_t : public ui_handler_t {
public:
    bool handle(ui_view_t* view, const int code, void* param) override
    {
        if (code == ui_action_pressed) {
            heard.push_back("2 " + std::string(static_cast<ui_editline_t*>(view)->text()));
            return false;
        }
        if (code != ui_action_propose && code != ui_action_text_changed)
            return false;
        auto* const text = static_cast<ui_text_param_t*>(param);
        heard.push_back(std::to_string(code) + " " + text->text);
        if (code == ui_action_propose && refuse) {
            text->accept = 0;
            return true;
        }
        return false;
    }

    static inline std::vector<std::string> heard;
    static inline bool refuse = false;
};

// A window with one edit line (id 1) of the given type and extra settings, focused, with the probe as
// its handler. The line is 200 wide and one default-font line (16) high at (100, 400): eight units a
// character, so 25 characters fit.
class editline_test_t : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        static const entity_reg_t line_type =
            registered_type<ui_editline_t>("ui.comp.test.editline", 0, entity_type_destroy);
        static const entity_reg_t probe_type =
            registered_type<editline_probe_t>("ui.handler.test.editline", 0, entity_type_destroy);
        for (const entity_reg_t* type : {&line_type, &probe_type}) {
            if (!entity_find_type(type->type_name)) {
                ASSERT_TRUE(entity_register(type));
            }
        }
        editline_probe_t::heard.clear();
        editline_probe_t::refuse = false;
    }

    // Builds the window and answers its line, focused and laid out by one frame.
    template <typename line_t = ui_editline_t>
    line_t* make_line(const std::string& settings, const char* type = "ui.comp.test.editline")
    {
        write_data_file("ui/line.esc", std::string("entity ui.handler.test.editline { }\n"
                                                   "entity ui.window {\n    rect = 0 1024 768 0;\n    entity ") +
                                           type + " { id = 1; rect = 100 300 400 384; " + settings + " }\n}\n");
        window_item_ = ui_winsert("test", "line", 0, "/ui/line.esc", true);
        EXPECT_NE(window_item_, nullptr);
        if (!window_item_)
            return nullptr;
        auto* const line = static_cast<line_t*>(ui_driver_find(window_item_, 1));
        ui_driver_window(window_item_)->focus(line);
        frame(0.0);
        return line;
    }

    // One UI frame of `seconds`.
    static void frame(const double seconds)
    {
        sys_advance_frame(seconds);
        ui_process();
    }

    // Ctrl with a key.
    static void ctrl(const uint16_t scan) { ui_driver_stroke(scan, ui_mod_ctrl); }

    c_item_t* window_item_ = nullptr;
};
