#pragma once
#include <string>

// Fonts of the markup. A font file (text, read with the engine's scanner) gives fixed metrics, so
// line breaking, fitting and cursor boxes are exact:
//     ascent 12          // pixels above the base line (the first height byte)
//     descent 4          // pixels below it (the second); the line height is their sum
//     advance 8          // width of every character not listed
//     char "W" 12        // the width of one character
// "/fonts/default.font" is the default font; when it is missing built-in metrics (12, 4, 8) serve.

// Metrics of one loaded font.
struct pml_font_t {
    std::string path;
    unsigned char ascent = 12;
    unsigned char descent = 4;
    float widths[256];

    // Height of a line of this font.
    float line_height() const { return static_cast<float>(ascent) + static_cast<float>(descent); }
    // Advance of one character.
    float width(unsigned char c) const { return widths[c]; }
};

// Path of the default font.
constexpr const char* pml_default_font_path = "/fonts/default.font";

// Index of the font named `name` (a path, or a bare name read as "/fonts/<name>.font"), loading it on
// first use; -1 with a message (once per name) when it cannot be read. Index 0 is the default font.
int pml_font_find(const char* name);
// The font of an index from pml_font_find (the default font for a bad index).
const pml_font_t& pml_font_get(int index);
// Forgets every loaded font.
void pml_font_reset();
