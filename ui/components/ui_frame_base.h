#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ui_view.h"
#include "ui/components/ui_markup_render.h"

struct c_item_t;

// Bytes of a picture name property ("corner", "inside", "vline", "hline"), with its terminating zero.
constexpr size_t ui_frame_name_bytes = 64;

// The size of one picture of a frame, as the frame uses it.
struct ui_frame_picture_t {
    bool present = false;  // the picture was found and has a texture
    int32_t width = 0;     // see the fields of ui_frame_base_t for which halves are kept
    int32_t height = 0;
};

// A resizable frame drawn from pictures: four corners, the left and right lines, the top and bottom
// lines, an optional inside and an optional markup text over it, all tinted with one colour. The frame
// is generated as markup from the view's size and the pictures' sizes, compiled once and copied into
// the window's layer; a plain move shifts it. Derived components give it a type name.
class ui_frame_base_t : public ui_view_t {
public:
    // "color", "corner", "inside", "inside_inset", "inside_tile", "vline", "hline", "tile", "text";
    // chained to the view's own properties.
    static const evalue_def_t evd_color;
    static const evalue_def_t evd_corner;
    static const evalue_def_t evd_inside;
    static const evalue_def_t evd_inside_inset;
    static const evalue_def_t evd_inside_tile;
    static const evalue_def_t evd_vline;
    static const evalue_def_t evd_hline;
    static const evalue_def_t evd_tile;
    static const evalue_def_t evd_text;

    ui_frame_base_t();

    const evalue_def_t* get_evalue_root() const override { return &evd_color; }

    // Per frame: a set property reads the pictures again; a visible frame that needs it is generated
    // and marks its layer for rebuilding.
    void handler() override;
    // Phase 0 reads the pictures' sizes once before the first frame.
    int init(int phase) override;
    // Copies the compiled frame into the window's layer while the window compiles it.
    void pml_precache() override;
    // A plain move (ui_offset_shift) of a generated frame shifts its markup; anything else moves as a view.
    void offset(float dx, float dy, unsigned flags) override;
    // A negative notification asks for the frame to be generated again.
    void notify(int code) override;
    // A moved rectangle or a set property asks for the frame to be generated again; a set property
    // also reads the pictures' sizes again.
    void changed(unsigned mask) override;

    // The markup texts of the frame for the view's size and the pictures, in drawing order: corners,
    // inside, top and bottom lines, left and right lines, the "text".
    std::vector<std::string> markup_pieces() const;
    // Renders the pieces into the compiled frame.
    void generate();

    bool built = false;                       // `markup` holds a generated frame
    pml_buffer_t markup{ui_markup_capacity};  // the compiled frame
    ui_frame_picture_t corner_size;           // half width and half height: one corner is a quarter
    ui_frame_picture_t vline_size;            // half width (one side's line) and height
    ui_frame_picture_t hline_size;            // width and half height (one side's line)
    ui_frame_picture_t inside_size;           // width and height
    bool rebuild_needed = true;               // generate the markup before showing it
    bool shown = false;                       // the markup is in the window's layer buffer
    uint32_t color = 0xFFFFFFFF;              // tint of every picture (0xAABBGGRR)
    char corner[ui_frame_name_bytes] = {};
    char inside[ui_frame_name_bytes] = {};
    bool inside_inset = true;  // the inside starts inside the frame lines
    bool inside_tile = false;  // the inside repeats instead of stretching
    char vline[ui_frame_name_bytes] = {};
    char hline[ui_frame_name_bytes] = {};
    bool tile = true;                 // the lines repeat instead of stretching
    dstring_t text;                   // markup drawn over the frame
    uint8_t frame_status = 0;         // change mark of every property
    c_item_t* window_item = nullptr;  // the window holding the frame, once found

private:
    // Reads the sizes of the four pictures from the resource cache.
    void read_pictures();
};
