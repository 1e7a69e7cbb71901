#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "engine/input_queue.h"
#include "engine/log.h"
#include "engine/reset.h"
#include "engine/win32_record.h"
#include "../input/key_names.h"

namespace {

std::vector<win32_file_dialog_t> dialogs;
std::deque<std::string> answers;

engine_reset_registrar_t file_dialog_reset_registrar(reset_order_devices + 33, [] {
    dialogs.clear();
    answers.clear();
});

// Key codes the dialog reacts to.
constexpr uint32_t key_escape = 0x01;
constexpr uint32_t key_backspace = 0x0E;
constexpr uint32_t key_enter = 0x1C;
constexpr uint32_t key_num_enter = 0x9C;
constexpr uint32_t key_left_shift = 0x2A;
constexpr uint32_t key_right_shift = 0x36;
// Seconds of input the dialog takes per step of its loop.
constexpr double dialog_step = 1.0 / 60.0;

// The name the user types: the queued input, step by step, until Enter (true) or Esc (false); false
// too when the input runs out.
bool type_name(std::string& out)
{
    bool shift = false;
    out.clear();
    while (inp_queue_pending() > 0) {
        inp_run_frame(dialog_step);
        for (const inp_change_t& change : inp_frame_changes()) {
            if (change.code == key_left_shift || change.code == key_right_shift) {
                shift = change.down;
                continue;
            }
            if (!change.down)
                continue;
            if (change.code == key_escape)
                return false;
            if (change.code == key_enter || change.code == key_num_enter) {
                if (!out.empty())
                    return true;
                continue;
            }
            if (change.code == key_backspace) {
                if (!out.empty())
                    out.pop_back();
                continue;
            }
            if (const char c = key_character(change.code, shift))
                out += c;
        }
    }
    return false;
}

BOOL run_dialog(OPENFILENAMEA* dialog, const bool open)
{
    if (!dialog || !dialog->lpstrFile || !dialog->lpstrFileTitle)
        return FALSE;
    std::string name;
    bool chosen;
    if (!answers.empty()) {
        name = answers.front();
        answers.pop_front();
        chosen = !name.empty();
    } else {
        chosen = type_name(name);
    }
    // The folder a typed path names is the dialog's business; the title is the name alone.
    const size_t slash = name.find_last_of("/\\");
    std::string title = slash == std::string::npos ? name : name.substr(slash + 1);
    if (chosen && title.empty())
        chosen = false;
    if (chosen && dialog->lpstrDefExt && dialog->lpstrDefExt[0] && title.find('.') == std::string::npos) {
        title += ".";
        title += dialog->lpstrDefExt;
    }
    std::string folder = dialog->lpstrInitialDir ? dialog->lpstrInitialDir : "";
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    const std::string path = folder + title;
    if (chosen && (path.size() >= dialog->nMaxFile || title.size() >= dialog->nMaxFileTitle)) {
        warning("file dialog: the name %s does not fit", title.c_str());
        chosen = false;
    }
    dialogs.push_back({open, dialog->lpstrInitialDir ? dialog->lpstrInitialDir : "",
                       dialog->lpstrDefExt ? dialog->lpstrDefExt : "", dialog->Flags, chosen ? title : ""});
    if (!chosen)
        return FALSE;
    std::memcpy(dialog->lpstrFile, path.c_str(), path.size() + 1);
    std::memcpy(dialog->lpstrFileTitle, title.c_str(), title.size() + 1);
    return TRUE;
}

}  // namespace

ENGINE_API BOOL GetOpenFileNameA(OPENFILENAMEA* dialog) { return run_dialog(dialog, true); }
ENGINE_API BOOL GetSaveFileNameA(OPENFILENAMEA* dialog) { return run_dialog(dialog, false); }

const std::vector<win32_file_dialog_t>& win32_file_dialogs() { return dialogs; }
void win32_queue_file_dialog_answer(const std::string& name) { answers.push_back(name); }
