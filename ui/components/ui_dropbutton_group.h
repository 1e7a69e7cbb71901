#pragma once
#include <cstdint>

#include "engine/ui_group.h"
#include "ui/components/ui_comp_list.h"

class ui_comp_button_t;

// A drop-down: a drop button showing the chosen item and a list (its child in the script) that
// opens below the button while the drop-down is open. While open, the window routes every event to
// the drop-down, which hands pointer events to the view under the pointer and closes on a cancel or
// a press outside. The handler gets 22 when the player picks an entry, 20, 21 and 23 from the list,
// and 7 and 8 from any child. It has no type name; `ui_comp_common_dropdown_t` is the registered form.
class ui_dropbutton_group_t : public ui_group_t {
public:
    // Room for one formatted drop-button markup.
    static constexpr size_t markup_size = 1024;
    // A view flag every drop-down sets on itself.
    static constexpr uint32_t view_flag = 0x200;

    // "d_pml", "p_pml", "s_pml", "n_pml", "list_management", "fitting"; then the view's own.
    static const evalue_def_t evd_d_pml;
    static const evalue_def_t evd_p_pml;
    static const evalue_def_t evd_s_pml;
    static const evalue_def_t evd_n_pml;
    static const evalue_def_t evd_list_management;
    static const evalue_def_t evd_fitting;

    ui_dropbutton_group_t();

    const evalue_def_t* get_evalue_root() const override { return &evd_d_pml; }

    // Per frame: the group's handler, then a pending layout.
    void handler() override;
    // Makes the drop button and finds the list.
    void ui_setup() override;
    // While open: a cancel or a press outside closes; pointer events go to the view under the pointer.
    bool handle_event(ui_event_t* event) override;
    // The drop button opens and closes; the list's choice shows on the button and closes.
    bool action(ui_view_t* sender, int code, void* param) override;
    // Losing the window's event routing closes the drop-down.
    void notify(int code) override;
    // A new rectangle moves the drop button (and the list when managed); a new layer moves the button.
    void changed(unsigned mask) override;
    // The drop button is the drop-down's own.
    bool public_component(const ui_view_t* view) const override;
    // Phase 0: forgets the button and the list, which go with the tree.
    int destroy(int phase) override;

    // A new drop button showing no item.
    virtual ui_comp_button_t* create_item_view();
    // Shows `text` on `button`.
    virtual void update_item_view(ui_comp_button_t* button, const char* text);

    // Picks entry `index` as a click would, without telling the handler (no 22); false without a list.
    bool select_item(int index);
    // Opens or closes the list, pressing or releasing the drop button.
    void set_open(bool on);
    // Shows no choice and empties the list.
    void clear();

    dstring_t d_pml{"%s"};
    dstring_t p_pml{"%s"};
    dstring_t s_pml{"%s"};
    dstring_t n_pml{"%s"};
    bool list_management = false;
    uint8_t markup_status = 0;
    uint8_t management_status = 0;

    ui_comp_button_t* drop_button = nullptr;
    ui_comp_list_t* list = nullptr;
    bool open = false;
    bool layout_due = false;
    ui_list_item_t chosen;
    bool selecting = false;

private:
    // Makes the button, finds the list and places it under the button.
    void layout();
    // Closes and ends the window's routing of events to the drop-down.
    void close_routed();
    // Moves the drop-down's own hover to `view` while it routes events.
    void hover(ui_view_t* view);

    ui_view_t* hovered_ = nullptr;
};
