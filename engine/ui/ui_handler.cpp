#include "engine/ui_handler.h"

bool ui_handler_t::handle(ui_view_t*, int, void*) { return false; }
int ui_handler_t::on_wfocus(ui_view_t*) { return 0; }
int ui_handler_t::on_wunfocus(ui_view_t*) { return 0; }
