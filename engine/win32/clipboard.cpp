#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "engine/log.h"
#include "engine/reset.h"
#include "engine/win32_record.h"

namespace {

// A block of global memory and its lock count.
struct global_block_t {
    std::vector<char> bytes;
    int locks = 0;
};

std::map<HGLOBAL, std::unique_ptr<global_block_t>> blocks;
bool clipboard_open = false;
HGLOBAL clipboard_text = nullptr;  // owned by the clipboard once set
int open_failures = 0;
int alloc_failures = 0;

global_block_t* find_block(HGLOBAL memory)
{
    const auto found = blocks.find(memory);
    return found == blocks.end() ? nullptr : found->second.get();
}

void clipboard_reset()
{
    blocks.clear();
    clipboard_open = false;
    clipboard_text = nullptr;
    open_failures = alloc_failures = 0;
}

engine_reset_registrar_t clipboard_reset_registrar(reset_order_devices + 30, clipboard_reset);

// Frees the clipboard's text block.
void drop_clipboard_text()
{
    if (clipboard_text)
        blocks.erase(clipboard_text);
    clipboard_text = nullptr;
}

}  // namespace

ENGINE_API BOOL OpenClipboard(HWND)
{
    if (open_failures > 0) {
        --open_failures;
        return FALSE;
    }
    if (clipboard_open)
        return FALSE;
    clipboard_open = true;
    return TRUE;
}

ENGINE_API BOOL EmptyClipboard()
{
    if (!clipboard_open)
        return FALSE;
    drop_clipboard_text();
    return TRUE;
}

ENGINE_API BOOL CloseClipboard()
{
    const BOOL was_open = clipboard_open ? TRUE : FALSE;
    clipboard_open = false;
    return was_open;
}

ENGINE_API HANDLE SetClipboardData(UINT format, HANDLE memory)
{
    if (!clipboard_open || format != CF_TEXT || !find_block(memory))
        return nullptr;
    if (clipboard_text != memory)
        drop_clipboard_text();
    clipboard_text = memory;
    return memory;
}

ENGINE_API HANDLE GetClipboardData(UINT format)
{
    if (!clipboard_open || format != CF_TEXT)
        return nullptr;
    return clipboard_text;
}

ENGINE_API HGLOBAL GlobalAlloc(UINT, SIZE_T bytes)
{
    if (alloc_failures > 0) {
        --alloc_failures;
        return nullptr;
    }
    auto block = std::make_unique<global_block_t>();
    block->bytes.assign(bytes + 1, 0);  // one spare byte keeps a zero-size block addressable
    HGLOBAL handle = block.get();
    blocks[handle] = std::move(block);
    return handle;
}

ENGINE_API LPVOID GlobalLock(HGLOBAL memory)
{
    global_block_t* block = find_block(memory);
    if (!block)
        return nullptr;
    ++block->locks;
    return block->bytes.data();
}

ENGINE_API BOOL GlobalUnlock(HGLOBAL memory)
{
    global_block_t* block = find_block(memory);
    if (!block || block->locks == 0)
        return FALSE;
    return --block->locks > 0 ? TRUE : FALSE;
}

ENGINE_API HGLOBAL GlobalFree(HGLOBAL memory)
{
    if (!find_block(memory) || memory == clipboard_text)
        return memory;  // Windows answers the handle when it cannot free it
    blocks.erase(memory);
    return nullptr;
}

void win32_fail_open_clipboard(int count) { open_failures = count; }
void win32_fail_global_alloc(int count) { alloc_failures = count; }
bool win32_clipboard_is_open() { return clipboard_open; }

void win32_clipboard_put_text(const std::string& text)
{
    drop_clipboard_text();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(find_block(memory)->bytes.data(), text.c_str(), text.size() + 1);
    clipboard_text = memory;
}

std::string win32_clipboard_text()
{
    const global_block_t* block = find_block(clipboard_text);
    if (!block)
        return std::string();
    return std::string(block->bytes.data(), strnlen(block->bytes.data(), block->bytes.size()));
}
