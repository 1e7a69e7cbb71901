#include <deque>

#include "engine/log.h"
#include "engine/reset.h"
#include "engine/win32_record.h"

namespace {

std::vector<win32_shell_call_t> shell_calls;
std::vector<win32_message_box_t> message_boxes;
std::deque<int> message_box_answers;

void shell_reset()
{
    shell_calls.clear();
    message_boxes.clear();
    message_box_answers.clear();
}

engine_reset_registrar_t shell_reset_registrar(reset_order_devices + 31, shell_reset);

// Answer of ShellExecuteA for success (Windows answers a value above 32).
HINSTANCE const shell_success = reinterpret_cast<HINSTANCE>(static_cast<unsigned long>(42));
// Answer for a missing file name (Windows' ERROR_FILE_NOT_FOUND).
HINSTANCE const shell_file_not_found = reinterpret_cast<HINSTANCE>(static_cast<unsigned long>(2));

}  // namespace

ENGINE_API HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, int show)
{
    if (!file || !*file)
        return shell_file_not_found;
    shell_calls.push_back({verb ? verb : "", file, show});
    message("[shell] %s \"%s\"", verb ? verb : "open", file);
    return shell_success;
}

ENGINE_API int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type)
{
    message_boxes.push_back({text ? text : "", caption ? caption : "", type});
    message("[message box] %s: %s", caption ? caption : "", text ? text : "");
    if (message_box_answers.empty())
        return IDOK;
    const int answer = message_box_answers.front();
    message_box_answers.pop_front();
    return answer;
}

const std::vector<win32_shell_call_t>& win32_shell_calls() { return shell_calls; }
const std::vector<win32_message_box_t>& win32_message_boxes() { return message_boxes; }
void win32_queue_message_box_answer(int answer) { message_box_answers.push_back(answer); }
