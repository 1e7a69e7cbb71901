#pragma once
#include <cstdint>
#include <string>

#include "ui/components/ui_handler_game_base.h"

// What the load and save menus share: the list of saves (component 30), the question waiting in the
// message box (delete, or overwrite for the save menu) and its answer.
class savegame_menu_t : public ui_handler_game_base_t {
public:
    // Ids of the menus' components.
    static constexpr int action_id = 10;
    static constexpr int delete_id = 20;
    static constexpr int list_id = 30;
    static constexpr int name_id = 40;
    static constexpr int back_id = 50;
    // Longest save path.
    static constexpr size_t path_limit = 255;

    // No question waiting.
    void on_wcreate() override;
    // The list of saves, refilled every time.
    void on_wshow() override;
    // Per frame: acts on the answer of a waiting question.
    void handler() override;

    // Asks whether to delete the selected save.
    void menu_delete_save();

    std::string pending_path;  // the save the question is about
    uint8_t pending = 0;       // a question waits in the message box
    uint8_t deleting = 0;      // the question is a deletion (else an overwrite)
    uint8_t leaving = 0;       // the window is left through a switch

protected:
    // The save the question asked to overwrite: written, then the menu closes.
    virtual void overwrite_confirmed() {}
    // The text of the selected save, or empty with none selected.
    std::string selected_save();
};

// "/saves/<name>.sav", or empty when it would be longer than the menus keep.
std::string save_path(const std::string& name);
