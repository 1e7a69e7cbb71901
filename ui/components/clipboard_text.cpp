#include "ui/components/clipboard_text.h"

#include <cstring>

#include "engine/win32.h"

bool clipboard_put_text(const char* text)
{
    if (!text || !OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    const size_t bytes = strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool stored = false;
    if (memory) {
        if (void* locked = GlobalLock(memory)) {
            memcpy(locked, text, bytes);
            GlobalUnlock(memory);
            stored = SetClipboardData(CF_TEXT, memory) != nullptr;
        }
        // The clipboard owns the memory once it took it; otherwise it is ours to free.
        if (!stored)
            GlobalFree(memory);
    }
    CloseClipboard();
    return stored;
}

bool clipboard_get_text(std::string& out, size_t most)
{
    if (!OpenClipboard(nullptr))
        return false;
    bool read = false;
    if (HANDLE memory = GetClipboardData(CF_TEXT)) {
        if (const char* locked = static_cast<const char*>(GlobalLock(memory))) {
            out.assign(locked, strnlen(locked, most));
            GlobalUnlock(memory);
            read = true;
        }
    }
    CloseClipboard();
    return read;
}
