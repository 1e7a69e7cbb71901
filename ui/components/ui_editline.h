#pragma once
#include <cstdint>
#include <string>

#include "engine/dstring.h"
#include "engine/evalue.h"
#include "engine/pml.h"
#include "engine/ui_action.h"
#include "engine/ui_event.h"
#include "engine/ui_view.h"

struct c_item_t;

// A one-line text input: a growable text with a cursor, insert and overwrite modes, key repeat, clipboard
// copy and paste, and a markup rendering that shows the typed text literally inside "style". It has no type
// name of its own; the history line and the template input line derive from it.
//
// Actions it sends through its own `action` (sender = the edit line):
//   2 (ui_action_pressed)       the line was accepted (Enter released); no parameter
//   3 (ui_action_propose)       a key proposes a new text (ui_text_param_t, accept byte 1): a handler that
//                               answers true and clears the accept byte refuses the change
//   4 (ui_action_text_changed)  the text changed through a key (ui_text_param_t with the new text)
class ui_editline_t : public ui_view_t {
public:
    // Properties, head first: "style" (markup with "%s" where the text goes), "cursor" (markup of the
    // cursor), "limit" (most bytes of text, 0 for none) and "keep_input" (keeps the input focus when
    // the pointer clicks elsewhere).
    static const evalue_def_t evd_style;
    static const evalue_def_t evd_cursor;
    static const evalue_def_t evd_limit;
    static const evalue_def_t evd_keep_input;

    // Bytes the text buffer holds at construction.
    static constexpr unsigned initial_capacity = 32;
    // Time the cursor stays on (and off) while blinking in insert mode.
    static constexpr float blink_half_period = 0.35f;
    // Key repeat: the wait before the first repeat and between repeats, in seconds.
    static constexpr double repeat_delay = 0.75;
    static constexpr double repeat_interval = 0.05;
    // Most bytes a paste takes from the clipboard.
    static constexpr unsigned paste_limit = 2047;

    ui_editline_t();
    ~ui_editline_t() override;

    const evalue_def_t* get_evalue_root() const override { return &evd_style; }
    // Phase 0: "keep_input" decides whether the view keeps the input focus.
    int init(int phase) override;
    // Per frame: property marks, blinking, key repeat, and the markups rebuilt when stale.
    void handler() override;
    // Draws the cursor over the character at the cursor while the line has the focus.
    void draw() override;
    // Copies the text markup into the window's layer while it is shown.
    void pml_precache() override;
    // Tab handling, pointer placement of the cursor, accept, editing keys and typed characters.
    bool handle_event(ui_event_t* event) override;
    // A negative code rebuilds the markups.
    void notify(int code) override;
    // A moved rectangle or a changed property rebuilds the markups.
    void changed(unsigned mask) override;

    // The text (never null; empty when there is none).
    const char* text() const { return text_ ? text_ : ""; }
    // Bytes of text before the terminator.
    unsigned length() const;
    // Cursor position, 0 to length().
    unsigned cursor_position() const { return cursor_; }
    // True in insert mode, false when typed characters overwrite.
    bool insert_mode() const { return insert_mode_; }
    // The most bytes of text, 0 for no limit.
    uint32_t limit() const { return limit_; }
    // Bytes the text buffer holds (terminator included).
    unsigned capacity() const { return capacity_; }

    // Replaces the text: the buffer grows to hold it when there is no limit, at most "limit" bytes are
    // taken otherwise. The cursor goes to 0, or with `keep_cursor` stays unless it lies beyond the new
    // end (then it goes to the end).
    void set_text(const char* text, bool keep_cursor);
    // Empties the text, cursor at 0.
    void clear();
    // Selects the whole text (a preset the player is likely to replace): the cursor goes to the end, the
    // text is shown highlighted, and the next typed character, Backspace or Delete replaces all of it.
    // Any other editing key, a pointer press on the line and every set_text or clear end the selection.
    void select_all();
    // True while the whole text is selected.
    bool all_selected() const { return all_selected_; }
    // Puts the cursor at `position` (at most the length), or with `from_end` that many bytes before the
    // end (0 when it exceeds the length).
    void set_cursor(unsigned position, bool from_end);
    // Sets the limit, growing the buffer to hold that many bytes and the terminator.
    void set_limit(uint32_t limit);
    // Grows the buffer by doubling until it holds `size` bytes. False, with a message, when it cannot:
    // the old buffer stays and the limit is capped to what it holds.
    bool grow_buffer(unsigned size);

    dstring_t style{"%s"};       // "style": markup around the text, "%s" where the text goes
    dstring_t cursor_look{"_"};  // "cursor": markup of the cursor
    // Changing `style` or `cursor_look` directly takes changed(ui_change_property) to show.

private:
    // Markups, by index.
    enum markup_index_t { markup_text = 0, markup_cursor = 1, markup_measure = 2, markup_count = 3 };

    // Proposes `proposed` (code 3) and, when not refused, sets it, puts the cursor at `new_cursor` and
    // sends code 4. True when applied.
    bool propose(const std::string& proposed, unsigned new_cursor);

    // Edits by key; true when the key belongs to the edit keys (whether or not it changed anything).
    bool handle_key(const ui_event_t& event);
    // A typed character at the cursor.
    void type_character(unsigned char character);
    // With the whole text selected: a typed character replaces it, Backspace and Delete empty it (true,
    // the key is used); any other key ends the selection and is handled as usual (false).
    bool replace_selection(const ui_event_t& event);
    // Ends the selection of the whole text, showing the text plainly again.
    void end_selection();
    // Ctrl+Left and Ctrl+Right: the cursor steps over a run of one character class.
    void word_step(int direction);
    // The whole text to the clipboard, and the clipboard's text as the new text.
    void copy_to_clipboard() const;
    void paste_from_clipboard();
    // The held key repeats once its countdown runs out; losing the focus ends the repeat.
    void run_repeat();
    // Blinks the cursor in insert mode; overwrite mode shows it steadily.
    void run_blink();
    // The cursor at the character under the pointer.
    void place_cursor_at(float x, float y);

    // Renders the text fitted to the view (cutting what does not fit), the cursor and the measuring
    // sample.
    void build_text();
    void build_cursor();
    void build_measure();
    // Sets the rebuild flag of the window's layer entry for this view, with `create` making the entry when
    // missing; false when the window cannot be reached this frame.
    bool invalidate_layer(bool create);
    // Clears the three built flags.
    void unbuild();

    bool built_[markup_count] = {false, false, false};
    pml_buffer_t markups_[markup_count];
    char* text_ = nullptr;     // zero-terminated, from the engine's allocator
    unsigned capacity_ = 0;    // bytes of `text_`
    bool blink_on_ = true;     // the cursor is drawn in this blink phase
    unsigned cursor_ = 0;      // 0 to length()
    double blink_time_ = 0.0;  // seconds since the phase last toggled
    float blink_half_period_ = blink_half_period;
    double repeat_countdown_ = 0.0;  // seconds until the held key repeats
    bool repeat_armed_ = false;
    ui_event_t held_event_;  // the key that repeats
    bool insert_mode_ = true;
    int32_t shown_ = -1;               // -1 hidden, -2 show again, 0 shown
    unsigned text_first_item_ = 0;     // items "style" lays out before the text
    unsigned base_items_ = 0;          // items "style" lays out around an empty text
    uint32_t limit_ = 0;               // "limit"
    bool all_selected_ = false;        // the whole text is selected (select_all)
    bool told_full_ = false;           // the user was told the line is at its limit (until a key is taken)
    bool keep_input_ = true;           // "keep_input"
    uint8_t limit_status_ = 0;         // change mark of "limit"
    c_item_t* window_item_ = nullptr;  // the window that holds the view, once looked up
};
