#include "engine/host.h"

namespace {
bool quit_requested = false;
}

host_settings_t& host_settings()
{
    static host_settings_t settings;
    return settings;
}

void host_request_quit() { quit_requested = true; }
bool host_quit_requested() { return quit_requested; }
void host_clear_quit() { quit_requested = false; }

#include "engine/reset.h"
static engine_reset_registrar_t quit_reset_registrar(reset_order_core, host_clear_quit);
