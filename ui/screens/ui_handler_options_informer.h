#pragma once
#include "engine/ui_handler.h"

// The handler of the key-capture prompt of the options, registered as "ui.handler.options.informer". For now
// only what the type registry needs: UI scripts create, name and destroy it by that type name.
class ui_handler_options_informer_t : public ui_handler_t {
public:
    const char* get_default_name() const override { return "ui.handler.options.informer"; }
};
