#pragma once
#include <cstdint>

#include "ui/components/ui_editline.h"

// An edit line that remembers what was entered, registered as "ui.comp.historyline": accepting the line
// (code 2) stores its text in a ring of the last entries and empties it; Up and Down bring older and
// newer entries back into the line.
class ui_comp_historyline_t : public ui_editline_t {
public:
    // Entries kept, and the bytes of one (terminator included).
    static constexpr unsigned entry_count = 25;
    static constexpr unsigned entry_bytes = 256;

    const char* get_default_name() const override { return "ui.comp.historyline"; }
    // Up and Down step through the history; every other event goes to the edit line.
    bool handle_event(ui_event_t* event) override;
    // After the base: the line's own accept stores its text and empties the line.
    bool action(ui_view_t* sender, int code, void* param) override;

    // Stores up to 255 bytes of `text` as the newest entry (the oldest goes when all are used); browsing
    // starts again from the newest.
    void add(const char* text);
    // The entry before the one browsed last (wrapping to the newest), or null when the history is empty.
    const char* older();
    // The entry after the one browsed last (wrapping to the oldest kept slot), or null when empty.
    const char* newer();
    // Entries stored, 0 to entry_count.
    unsigned stored() const { return stored_; }

private:
    char entries_[entry_count][entry_bytes] = {};
    unsigned stored_ = 0;  // entries stored
    unsigned write_ = 0;   // slot the next entry goes to
    unsigned browse_ = 0;  // slot browsed last
};
