#pragma once
#include <string>

#include "engine/entity_reg.h"
#include "engine/ui.h"
#include "engine_testing/engine_test.h"
#include "engine_testing/ui_driver.h"
#include "common/engine_api.h"
#include "frame/type_registry.h"

// A reset engine with the module's pointers bound and its UI types registered (without the model
// library's loader lock), and a window built from a small UI script.
class ui_test_t : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
        const entity_reg_t* const rows = entity_type_rows();
        for (int i = 0; i < entity_type_row_count(); ++i)
            if (std::string(rows[i].type_name).rfind("ui.", 0) == 0 && !entity_find_type(rows[i].type_name))
                entity_register(&rows[i]);
        ui_init();
        ui_driver_register_trace_handler();
        ui_driver_trace_clear();
    }

    // Builds and shows a window whose body (the children of "ui.window") is `body`, with the trace
    // handler; fails the test when it cannot be built.
    c_item_t* make_window(const std::string& body)
    {
        write_data_file("ui/test.esc", "entity ui.handler.test.trace { }\n"
                                       "entity ui.window {\n    rect = 0 1024 768 0;\n" +
                                           body + "}\n");
        c_item_t* const item = ui_winsert("test", "main", 0, "/ui/test.esc", true);
        EXPECT_NE(item, nullptr);
        return item;
    }

    // One frame of `seconds`: the engine's frame, then the UI's frame pass.
    static void frame(double seconds = 0.02)
    {
        engine_run_frames(1, seconds);
        ui_process();
    }
};
