#pragma once
#include "engine/entity.h"

struct c_item_t;
class ui_view_t;

// The handler of one window: created by the type its UI script names ("ui.handler.*"), told of the
// window's life and of every action of its components.
class ui_handler_t : public entity_t {
public:
    const char* get_default_name() const override { return "ui.handler"; }

    // An action of a component of the window (sender, code, parameter block); true when consumed.
    virtual bool handle(ui_view_t* view, int code, void* param);
    // The window gained or lost the keyboard focus (the other window's view, or null); 0.
    virtual int on_wfocus(ui_view_t* other);
    virtual int on_wunfocus(ui_view_t* other);
    // The window's tree is built and set up / is about to be destroyed.
    virtual void on_wcreate() {}
    virtual void on_wdestroy() {}
    // The window was shown / hidden.
    virtual void on_wshow() {}
    virtual void on_whide() {}
    // Before and after the window draws (visible windows only).
    virtual void pre_wdraw() {}
    virtual void post_wdraw() {}

    c_item_t* window = nullptr;  // the handler's window
};
