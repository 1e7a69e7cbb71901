#pragma once
#include <cstdint>
#include <vector>

#include "engine/dstring.h"
#include "engine/ui_action.h"
#include "engine/ui_group.h"

class ui_comp_button_t;
class ui_slider_base_t;

// Bits of `ui_list_item_t::mask`: which fields an operation reads or writes.
enum ui_list_mask_t : uint8_t {
    ui_list_pml = 1,
    ui_list_active = 2,
    ui_list_text = 4,
    ui_list_data = 8,
    ui_list_all = 15,
};

// One item of a list as callers pass it.
struct ui_list_item_t {
    dstring_t pml;       // markup shown in the item's row
    dstring_t text;      // the item's plain text (not shown)
    uint32_t data = 0;   // the caller's value (an index, an id)
    bool active = true;  // can be picked; an inactive row is drawn disabled
    uint8_t mask = 0;    // ui_list_mask_t
};

// The parameter of the list's codes 20 to 24: the item's markup, text, data and index.
struct ui_list_param_t {
    const char* pml;
    const char* text;
    uint32_t data;
    uint32_t index;
};

// The parameter of codes 12 and 13 passed on from a row: the row's pointer parameter and the index of
// the row's item after it.
struct ui_list_pointer_param_t {
    ui_pointer_param_t pointer;
    uint32_t index;
};

// A view flag every list sets on itself, so that a drop-down finds its list among its children.
constexpr uint32_t ui_view_list = 0x100;

// The scrolling list ("ui.comp.list"): items in four parallel array properties, the visible part
// shown as rows of radio buttons (one per visible item, ids 100000 + item index) in a row group of
// its own, with an optional scroll slider taken from its children. Screens fill and read it through
// the operations below; scripts may fill the arrays directly.
class ui_comp_list_t : public ui_group_t {
public:
    // Row buttons carry this id plus the index of their item.
    static constexpr int32_t row_id_base = 100000;
    // Room for one formatted row markup.
    static constexpr size_t row_markup_size = 2048;

    // "items", "item_data", "item_text", "item_active", "item_pml", "d_pml", "p_pml", "s_pml",
    // "n_pml", "item_gap", "item_width", "item_height", "slider_management", "multi_column",
    // "fitting"; then the view's own.
    static const evalue_def_t evd_items;
    static const evalue_def_t evd_item_data;
    static const evalue_def_t evd_item_text;
    static const evalue_def_t evd_item_active;
    static const evalue_def_t evd_item_pml;
    static const evalue_def_t evd_d_pml;
    static const evalue_def_t evd_p_pml;
    static const evalue_def_t evd_s_pml;
    static const evalue_def_t evd_n_pml;
    static const evalue_def_t evd_item_gap;
    static const evalue_def_t evd_item_width;
    static const evalue_def_t evd_item_height;
    static const evalue_def_t evd_slider_management;
    static const evalue_def_t evd_multi_column;
    static const evalue_def_t evd_fitting;

    // A comparison of two items of a list by index: below, equal to or above zero.
    using compare_fn = int (*)(ui_comp_list_t* list, int a, int b);

    ui_comp_list_t();

    const evalue_def_t* get_evalue_root() const override { return &evd_items; }
    const char* get_default_name() const override { return "ui.comp.list"; }

    // Per frame: the group's handler, then the rows rebuilt for changed layout or content, and a
    // pending slider placement.
    void handler() override;
    // Lays the rows out, then adopts and places the scroll slider.
    void ui_setup() override;
    // Rows, the slider and everything else that reaches the list (see the class comment).
    bool action(ui_view_t* sender, int code, void* param) override;
    // A moved rectangle rebuilds the rows in full; a set property rebuilds them; a new layer moves them.
    void changed(unsigned mask) override;
    // Phase 0: forgets the rows, the row group and the slider, which go with the list's tree.
    int destroy(int phase) override;
    // The row group and the rows are the list's own.
    bool public_component(const ui_view_t* view) const override;

    // A new row button, dressed for no item.
    virtual ui_comp_button_t* create_item_view();
    // Dresses `row` for an item whose markup is `pml`.
    virtual void update_item_view(ui_comp_button_t* row, const char* pml);

    // Removes every item; no selection, no first visible item; the rows show nothing.
    void clear();
    // Inserts `item` at `index` (clamped to the count); fields outside its mask take the defaults.
    // Answers the index used.
    uint32_t insert_item(const ui_list_item_t& item, uint32_t index);
    // Inserts `item` after `index`, or at the end when `index` is at or past the count.
    uint32_t insert_item_after(const ui_list_item_t& item, int index);
    // Removes item `index` (the selection follows); false when there is no such item.
    bool remove_item(int index);
    // Selects item `index` (-1 clears); with `click` the row is clicked, sending 23 and 22.
    bool select_item(int index, bool click);
    // Copies the masked fields of item `index` into `item`; false when there is no such item.
    bool get_item(int index, ui_list_item_t& item) const;
    // Writes the masked fields of `item` into item `index`; false when there is no such item.
    bool set_item(int index, const ui_list_item_t& item);
    // Sorts the items by `compare` (null: `compare_text`); the selection follows its item.
    void sort_items(compare_fn compare);
    // Brings item `index` into view; false when there is no such item.
    bool scroll_to(int index);
    // Shows the visible items in the rows; `full` places the rows again first.
    void rebuild_views(bool full);
    // The index of the first item at or after `start` whose field picked by `key.mask` (1 pml, 2
    // active, 4 text, 8 data: the first set bit) matches `key`, whole or as a prefix; -1 for none.
    int find_item(const ui_list_item_t& key, int start, bool prefix) const;

    // The items' markups compared without regard to case (an index past the count reads as empty).
    static int compare_text(ui_comp_list_t* list, int a, int b);

    // The number of items, and the fields of item `index` (which must exist).
    int count() const { return pml_items.count; }
    const char* item_pml_at(int index) const;
    const char* item_text_at(int index) const;
    uint32_t item_data_at(int index) const;
    bool item_active_at(int index) const;

    evalue_array_t data_items{};    // uint32_t
    evalue_array_t text_items{};    // dstring_t
    evalue_array_t active_items{};  // bool
    evalue_array_t pml_items{};     // dstring_t; its count is the item count
    dstring_t d_pml;
    dstring_t p_pml;
    dstring_t s_pml;
    dstring_t n_pml;
    float item_gap = 0.0f;
    float item_width = 32.0f;
    float item_height = 32.0f;
    bool slider_management = false;
    bool multi_column = false;
    uint8_t slider_status = 0;
    uint8_t layout_status = 0;
    uint8_t content_status = 0;

    int visible_lines = 0;
    int items_per_line = 1;
    std::vector<ui_comp_button_t*> rows;  // the row buttons, children of the row group
    int first_visible = -1;
    int built_count = 0;  // the item count the rows were last built for
    int selection = -1;
    ui_group_t* row_group = nullptr;
    ui_slider_base_t* slider = nullptr;
    bool slider_pending = false;  // the slider is to be adopted and placed

private:
    // Makes the other arrays as long as "item_pml" (a script may give them shorter).
    void even_arrays();
    // Puts row `k` at its place in the list.
    void place_row(ui_comp_button_t* row, int k) const;
    // Adds rows until every visible place has one.
    void add_rows(int wanted);
    // Sets up the slider for the lines that do not fit.
    void update_slider();
    // Adopts the first slider child and places it beside the list.
    void place_slider();
    // Sends `code` for item `index` to the handler.
    bool send_item(int code, int index);
    // The row showing item `index`, or null.
    ui_comp_button_t* row_of(int index) const;
    // Handles an action of row `row`.
    bool row_action(ui_comp_button_t* row, int code, void* param);
};
