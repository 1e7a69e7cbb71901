#include "ui/components/ui_hud_buttons.h"

#include "ui/components/ui_comp_button.h"

namespace {

// Presses a view that is a button; refuses any other view.
class button_presser_t : public hud_buttons_t {
public:
    bool set_pressed(ui_view_t* view, bool pressed) override
    {
        auto* const button = dynamic_cast<ui_comp_button_t*>(view);
        if (!button)
            return false;
        button->set_pressed(pressed);
        return true;
    }
};

}  // namespace

hud_buttons_t& ui_hud_buttons()
{
    static button_presser_t presser;
    return presser;
}
