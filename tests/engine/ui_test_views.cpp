#include "ui_test_views.h"

#include "engine/entity_reg.h"
#include "engine/ui_action.h"
#include "engine_testing/test_entity_type.h"
#include "engine_testing/ui_driver.h"

const evalue_def_t ui_test_text_t::evd_text =
    evalue_member("text", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_test_text_t::text>, &ui_view_t::evd_id,
                  nullptr, evalue_bind_status<&ui_test_text_t::text_status>);

ui_test_text_t::ui_test_text_t() { class_flags |= ui_class_markup; }

int ui_test_text_t::init(int phase)
{
    ui_driver_trace_add("init " + std::to_string(id));
    return ui_view_t::init(phase);
}

void ui_test_text_t::ui_setup() { ui_driver_trace_add("setup " + std::to_string(id)); }

void ui_test_text_t::handler()
{
    ui_view_t::handler();
    if (text_status & evalue_changed) {
        text_status &= static_cast<uint8_t>(~evalue_changed);
        built = false;
    }
    if (!is_visible() || built)
        return;
    pml_set_bounds(rect, true);
    pml_reset();
    pml_render(text.c_str());
    pml_buffer_get(markup, false);
    pml_reset();
    built = true;
    ++renders;
    if (ui_window_t* owner = window())
        owner->layer_entry(layer, true)->rebuild = true;
}

void ui_test_text_t::pml_precache()
{
    ui_window_t* owner = window();
    ui_layer_entry_t* entry = owner ? owner->layer_entry(layer, false) : nullptr;
    if (!entry)
        return;
    owner->current_target = &entry->buffer;
    entry->buffer.precache(markup, 0.0f, 0.0f);
    owner->current_target = nullptr;
}

bool ui_test_button_t::handle_event(ui_event_t* event)
{
    if (selected && (ui_get_ctrlcallback()(event) & ui_control_release)) {
        ui_press_param_t param{0};
        action(this, ui_action_pressed, &param);
        event->consume();
        return true;
    }
    return ui_view_t::handle_event(event);
}

namespace {

const entity_reg_t text_type = test_entity_type<ui_test_text_t>("ui.comp.test_text");
const entity_reg_t button_type = test_entity_type<ui_test_button_t>("ui.comp.test_button");
const entity_reg_t input_type = test_entity_type<ui_test_input_t>("ui.comp.test_input");

}  // namespace

void ui_test_views_register()
{
    ui_init();
    ui_driver_register_trace_handler();
    for (const entity_reg_t* type : {&text_type, &button_type, &input_type})
        if (!entity_find_type(type->type_name))
            entity_register(type);
}
