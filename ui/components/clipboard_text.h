#pragma once
#include <cstddef>
#include <string>

// Plain text on the system clipboard, each call opening and closing the clipboard within itself.

// Puts `text` on the clipboard; false (clipboard unchanged or emptied) when a clipboard call fails.
bool clipboard_put_text(const char* text);
// Reads the clipboard's text, at most `most` bytes, into `out`; false (`out` untouched) when the clipboard
// cannot be opened or holds no text.
bool clipboard_get_text(std::string& out, size_t most);
