#include <cstring>

#include "engine/win32_record.h"
#include "engine_testing/engine_test.h"

namespace {

using ui_win32_test = engine_test_t;

// Copies `text` to the clipboard the way an edit line does; false at the first failing call.
bool copy_to_clipboard(const char* text)
{
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
    if (!memory) {
        CloseClipboard();
        return false;
    }
    memcpy(GlobalLock(memory), text, strlen(text) + 1);
    GlobalUnlock(memory);
    const bool set = SetClipboardData(CF_TEXT, memory) == memory;
    CloseClipboard();
    return set;
}

TEST_F(ui_win32_test, clipboard_round_trips_text_and_fails_where_told)
{
    EXPECT_TRUE(copy_to_clipboard("convoy"));
    EXPECT_EQ(win32_clipboard_text(), "convoy");
    EXPECT_FALSE(win32_clipboard_is_open());

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr));  // already open
    HANDLE data = GetClipboardData(CF_TEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(data)), "convoy");
    GlobalUnlock(data);
    EXPECT_EQ(GetClipboardData(2), nullptr);  // only text is kept
    CloseClipboard();
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);  // closed clipboards give nothing

    win32_fail_open_clipboard(1);
    EXPECT_FALSE(copy_to_clipboard("lost"));
    EXPECT_EQ(win32_clipboard_text(), "convoy");
    win32_fail_global_alloc(1);
    EXPECT_FALSE(copy_to_clipboard("lost"));
    EXPECT_EQ(win32_clipboard_text(), "");  // emptied before the allocation failed, as on Windows
    EXPECT_TRUE(copy_to_clipboard("again"));
    EXPECT_EQ(win32_clipboard_text(), "again");
}

TEST_F(ui_win32_test, shell_and_message_boxes_are_recorded_with_queued_answers)
{
    EXPECT_GT(reinterpret_cast<unsigned long>(
                  ShellExecuteA(nullptr, "open", "http://example.invalid", nullptr, nullptr, SW_SHOWMAXIMIZED)),
              32ul);
    ASSERT_EQ(win32_shell_calls().size(), 1u);
    EXPECT_EQ(win32_shell_calls()[0].file, "http://example.invalid");
    EXPECT_EQ(win32_shell_calls()[0].show, SW_SHOWMAXIMIZED);

    win32_queue_message_box_answer(IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Overwrite?", "Save", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Done", "Save", MB_OK | MB_ICONINFORMATION), IDOK);
    ASSERT_EQ(win32_message_boxes().size(), 2u);
    EXPECT_EQ(win32_message_boxes()[1].type, MB_OK | MB_ICONINFORMATION);
}

TEST_F(ui_win32_test, cursor_display_count_follows_show_and_hide)
{
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    EXPECT_EQ(arrow, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(SetCursor(arrow), nullptr);
    EXPECT_EQ(win32_current_cursor(), arrow);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_EQ(win32_cursor_display_count(), -1);
}

}  // namespace
