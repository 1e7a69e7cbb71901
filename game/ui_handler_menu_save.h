#pragma once
#include "game/savegame_menu.h"

// The save menu ("ui.handler.menu.save", "/ui/msave.esc"): writes the running game under a typed
// name (asking before it overwrites a save), or deletes a save after a question. A save that cannot
// be written is reported in the message box and the menu stays.
class ui_handler_menu_save_t : public savegame_menu_t {
public:
    const char* get_default_name() const override { return "ui.handler.menu.save"; }
    virtual const char* get_type_name() const { return "ui.handler.menu.save"; }

    // No question waits when the menu shows.
    void on_wshow() override;
    // Save, delete and back, Escape and Enter, a selected or activated save.
    bool handle(ui_view_t* view, int code, void* param) override;

    // Saves under `name`, or the typed name when null; true when the file was written. An existing
    // save is not written: the overwrite question waits instead.
    bool menu_save_game(const char* name);

protected:
    // Writes the save the question was about and closes the menu, or reports the failure.
    void overwrite_confirmed() override;

private:
    // Writes `path`; reports a failure in the message box.
    bool write_save(const std::string& path);
    // Saves and closes the menu once written.
    void save_and_close(const char* name);
};
