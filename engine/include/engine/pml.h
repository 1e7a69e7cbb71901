#pragma once
#include <cstddef>
#include <vector>

#include "engine/dstring.h"

// Markup: every UI text is written in it. A text is rendered inside bounds (a rectangle of the
// 1024 x 768 reference screen, y growing upwards) into items: one per character (its id is the
// character code) and one per image (id -1), each with its box and colour. Views keep the result in
// a `pml_buffer_t` and copy it into their window's per-layer `pml_bin_buffer_t`.

// A rectangle of the reference screen: top is above bottom (y grows upwards).
struct pml_rect_t {
    float left = 0.0f;
    float right = 0.0f;
    float top = 0.0f;
    float bottom = 0.0f;
};

// Bit of `pml_item_t::flags`: the item is laid out but not drawn.
constexpr unsigned pml_item_hidden = 1;
// Id of an item that is not a character (an image or an inserted pin).
constexpr int pml_item_image = -1;
// Bytes one compiled item takes from a buffer's capacity.
constexpr size_t pml_item_bytes = 64;
// Capacity of a buffer constructed without one.
constexpr size_t pml_default_buffer_bytes = 16384;

// One compiled item: a character or an image.
struct pml_item_t {
    pml_rect_t box;
    int id = pml_item_image;      // character code, or pml_item_image
    unsigned color = 0xFFFFFFFF;  // 0xAABBGGRR
    unsigned flags = 0;           // pml_item_hidden
    int font = 0;                 // index of the font (see pml_font.h); 0 is the default font
    dstring_t shader;             // image shader path; empty for characters

    bool is_hidden() const { return (flags & pml_item_hidden) != 0; }
};

// A compiled markup of fixed capacity (in bytes, pml_item_bytes per item). It also records the
// shift applied to it since its position was last set, so a view can move it without re-rendering.
class pml_buffer_t {
public:
    // A buffer for `capacity_bytes` / pml_item_bytes items.
    explicit pml_buffer_t(size_t capacity_bytes = pml_default_buffer_bytes);

    // Forgets every item and the recorded position.
    void reset();
    // Adds an image item with `shader` (null continues the shader of the item before it) and an empty
    // box; null when the buffer is full.
    pml_item_t* insert(const char* shader);
    // Adds a copy of `item`; false (nothing added) when the buffer is full.
    bool push(const pml_item_t& item);
    // Appends every item of `other`; false, appending nothing, when they do not all fit.
    bool append_from(const pml_buffer_t& other);
    // Records `position` (null: 0, 0) as the buffer's position; with `move_items` set the items move
    // by the difference from the old position.
    void set_position(int move_items, const float* position);
    // Shifts every item by (dx, dy) (dy up) and adds the shift to the recorded position.
    void offset(float dx, float dy);
    // Box around every item (hidden ones too); false and an empty box when there are none.
    bool get_bounds(pml_rect_t& out) const;

    // Items held, in order.
    size_t count() const { return items_.size(); }
    const pml_item_t& item(size_t index) const { return items_[index]; }
    pml_item_t& item(size_t index) { return items_[index]; }
    const std::vector<pml_item_t>& items() const { return items_; }
    // Number of items the buffer can hold.
    size_t capacity() const { return capacity_items_; }
    // The recorded position (x, y).
    float position_x() const { return position_[0]; }
    float position_y() const { return position_[1]; }

private:
    std::vector<pml_item_t> items_;
    size_t capacity_items_;
    float position_[2] = {0.0f, 0.0f};
};

// The compiled markup of one layer of a window: the views of the layer copy their buffers into it when
// the window rebuilds the layer, and the window draws it whole.
class pml_bin_buffer_t {
public:
    // Forgets every item.
    void clear() { items_.clear(); }
    // Appends the items of `source` shifted by (dx, dy).
    void precache(const pml_buffer_t& source, float dx, float dy);
    const std::vector<pml_item_t>& items() const { return items_; }

private:
    std::vector<pml_item_t> items_;
};

// Starts and ends the markup system (fonts, render state). pml_init may be called again after
// pml_shutdown.
void pml_init();
void pml_shutdown();
// Turns translation of "@@key@@" texts during rendering on or off, and tells whether it is on.
void pml_localized(bool on);
bool pml_is_localized();

// Sets the bounds the next renders lay out in: reference units, or with `reference_units` false device
// pixels of the current mode (`gfx_get_params`), converted to reference units.
void pml_set_bounds(float left, float right, float top, float bottom, bool reference_units);
void pml_set_bounds(const pml_rect_t& bounds, bool reference_units);
// The current bounds.
pml_rect_t pml_get_render_bounds();
// Renders `text` into the current result, after what is already there; false (with a message and
// nothing added) when the markup is bad or the result would pass its capacity.
bool pml_render(const char* text);
// Copies the current result into `out` (appending with `append`); false when it does not fit.
bool pml_buffer_get(pml_buffer_t& out, bool append);
// Empties the current result.
void pml_reset();
// Measures `text` in the current bounds without touching the current result; false with an empty box
// when it renders nothing.
bool pml_get_bounds(const char* text, pml_rect_t& out);
// Capacity, in items, of the current result.
constexpr size_t pml_result_capacity = 8192;

// Draws a compiled markup at (dx, dy), or a compiled layer, with the current colour modulation.
void pml_buffer_flush(const pml_buffer_t& buffer, float dx, float dy);
void pml_bin_flush(const pml_bin_buffer_t& buffer, float dx, float dy);
// Sets the colour (0xAABBGGRR) every drawn item is multiplied by; 0xFFFFFFFF draws unchanged.
void pml_colormod(unsigned color);
