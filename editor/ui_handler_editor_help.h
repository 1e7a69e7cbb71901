#pragma once
#include "ui/components/ui_handler_game_base.h"

// The handler of the map editor's help window ("help" of "editorui_help"), registered as
// "ui.handler.editor.help": shows the key list; Esc or its button 100 closes it.
class ui_handler_editor_help_t : public ui_handler_game_base_t {
public:
    const char* get_default_name() const override { return "ui.handler.editor.help"; }
    // The registered type name.
    virtual const char* get_type_name() const { return "ui.handler.editor.help"; }
    // Esc (key code 1) or a press of component 100 removes the window.
    bool handle(ui_view_t* view, int code, void* param) override;
};

// Shows the help window, building it from "/ui/editorhelp.esc" the first time.
void editor_show_help();
