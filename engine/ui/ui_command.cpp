#include <strings.h>

#include <string>

#include "engine/command.h"
#include "engine/log.h"
#include "engine/ui.h"
#include "ui_items.h"

namespace {

// "ui t NAME:GROUP": shows the window NAME of GROUP when it is hidden and hides it when it is shown
// (the console key is bound to it).
void ui_command()
{
    const std::string target = cmd_argc() == 3 ? cmd_argv(2) : "";
    const size_t colon = target.find(':');
    if (strcasecmp(cmd_argv(1), "t") != 0 || colon == std::string::npos || colon == 0 || colon + 1 == target.size()) {
        warning("usage: ui t NAME:GROUP");
        return;
    }
    const std::string name = target.substr(0, colon);
    const std::string group = target.substr(colon + 1);
    c_item_t* item = ui_wget(group.c_str(), name.c_str());
    const ui_window_t* window = ui_item_window(item);
    if (!window) {
        warning("ui: no window %s in group %s", name.c_str(), group.c_str());
        return;
    }
    if (window->visible)
        ui_whide(item);
    else
        ui_wshow(item, 0);
    message("ui: window %s:%s %s", name.c_str(), group.c_str(), window->visible ? "shown" : "hidden");
}

const cmd_builtin_registrar_t ui_command_registrar("ui", ui_command);

}  // namespace
