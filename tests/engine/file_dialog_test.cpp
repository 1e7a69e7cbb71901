#include <string>
#include <vector>

#include "engine/input_queue.h"
#include "engine/win32_record.h"
#include "engine_testing/engine_test.h"

namespace {

using file_dialog_test = engine_test_t;

// Key presses and releases 0.05 s apart, as a user types them.
void type_keys(const std::vector<uint32_t>& codes)
{
    std::vector<inp_event_t> events;
    double at = 0.0;
    for (const uint32_t code : codes) {
        inp_event_t down;
        down.time = at;
        down.code = code;
        inp_event_t up = down;
        up.kind = inp_event_kind_t::release;
        up.time = at + 0.02;
        events.push_back(down);
        events.push_back(up);
        at += 0.05;
    }
    inp_queue_events(events);
}

struct dialog_buffers_t {
    char file[64] = "";
    char title[32] = "";
    OPENFILENAMEA dialog;
    dialog_buffers_t()
    {
        dialog.lpstrFile = file;
        dialog.nMaxFile = sizeof file;
        dialog.lpstrFileTitle = title;
        dialog.nMaxFileTitle = sizeof title;
        dialog.lpstrInitialDir = "C:\\game\\maps\\";
        dialog.lpstrDefExt = "mbd";
    }
};

TEST_F(file_dialog_test, a_name_typed_on_the_keyboard_with_backspace_and_enter_is_chosen)
{
    // t, o, x, backspace, w, n, enter.
    type_keys({0x14, 0x18, 0x2D, 0x0E, 0x11, 0x31, 0x1C});
    dialog_buffers_t buffers;
    ASSERT_EQ(GetSaveFileNameA(&buffers.dialog), TRUE);
    EXPECT_STREQ(buffers.title, "town.mbd");
    EXPECT_STREQ(buffers.file, "C:\\game\\maps\\town.mbd");
    ASSERT_EQ(win32_file_dialogs().size(), 1u);
    EXPECT_FALSE(win32_file_dialogs()[0].open);
}

TEST_F(file_dialog_test, esc_an_input_that_runs_out_and_a_name_too_long_cancel)
{
    dialog_buffers_t buffers;
    type_keys({0x14, 0x01});
    EXPECT_EQ(GetOpenFileNameA(&buffers.dialog), FALSE);
    type_keys({0x14, 0x18});
    EXPECT_EQ(GetOpenFileNameA(&buffers.dialog), FALSE);
    win32_queue_file_dialog_answer(std::string(40, 'a'));
    EXPECT_EQ(GetOpenFileNameA(&buffers.dialog), FALSE);
    EXPECT_STREQ(buffers.title, "");
    ASSERT_EQ(win32_file_dialogs().size(), 3u);
    EXPECT_EQ(win32_file_dialogs()[2].answer, "");
}

}  // namespace
