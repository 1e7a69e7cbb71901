#pragma once
#include <cstddef>

// Entry points of the layer-file grammar (".layer.xml"). The parse fills the current layer
// (`psb_current_layer`); one layer parse runs at a time.

// Parses `length` bytes of layer-file text (not necessarily zero-terminated); true when accepted.
bool psb_layer_parse_text(const char* text, size_t length);
// Resets the scanner: line 1, column 0, outside any tag.
void psb_layer_scan_reset();
// Next token of the current text (0 at its end); sets the token value and location.
int psb_layer_scan();
// Runs the parser on the current text: 0 accepted, 1 stopped, 2 parser stack overflow.
int psb_layer_parse();
// Reports a parser message with the location of the current token.
void psb_layer_error(const char* text);
